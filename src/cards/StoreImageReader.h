#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <optional>

namespace tamo {

class ClipItem;

// Reads one picture of a saved clip straight from the store files, over a
// read-only connection of its own, so it can run on a worker thread: the main
// context stays on the main thread and never holds the bytes.
class StoreImageReader
{
public:
    enum class Picture { image, linkImage };

    // Captures where the clip's picture lives; call on the main thread.
    StoreImageReader(const QString &storeDirectory, const ClipItem &clip, Picture picture);

    // Any thread. Nothing when the clip has no such picture, is not saved,
    // or the store cannot be read.
    std::optional<QByteArray> read() const;

private:
    QString m_storeFile;
    QString m_table;
    QString m_column;
    QString m_keyColumn;
    QUuid m_clipID;
};

} // namespace tamo
