#pragma once

#include <QMutex>
#include <QString>
#include <QTemporaryFile>

#include <optional>

namespace tamo {

// Long texts kept in a file of our own until they are used, rather than in
// memory: a read of many long texts would otherwise hold them all at once.
// The file is unnamed, so nothing of it outlives the process. Any thread may
// use it.
class TextSpool
{
public:
    struct Place
    {
        qint64 offset = 0;
        qsizetype length = 0;
    };

    explicit TextSpool(const QString &folder);

    // Where the text went; none when the disk refused it.
    std::optional<Place> put(const QString &text);
    // The text put at `place`; none when it cannot be read back.
    std::optional<QString> text(const Place &place);

private:
    QMutex m_lock;
    QTemporaryFile m_file;
    qint64 m_size = 0;
};

} // namespace tamo
