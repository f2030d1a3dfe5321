#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tamo {

// Writes a whole file so that a reader, a crash or a file-sync engine never
// sees it half written: the bytes go to a hidden temporary name in the same
// folder, reach the disk, and only then take their name. Returns the error
// text, empty on success; `errorNumber` then receives the system's code.
QString writeFileDurably(const QString &path, const QByteArray &bytes, int *errorNumber = nullptr);

// The same, for a file written a piece at a time: it takes its name only on
// commit, and a file dropped before that leaves nothing behind.
class DurableFile
{
public:
    explicit DurableFile(QString path);
    ~DurableFile();
    DurableFile(const DurableFile &) = delete;
    DurableFile &operator=(const DurableFile &) = delete;

    bool append(QByteArrayView bytes);
    bool commit();
    // The system's code of the first failure, 0 while there is none.
    int error() const { return m_error; }

private:
    void drop();

    QString m_path;
    QByteArray m_temporaryName;
    int m_fd = -1;
    int m_error = 0;
};

// Reads a regular file of at most `limit` bytes (links followed); empty
// optional when it cannot be read, is no regular file or is larger, which
// `error` then describes.
std::optional<QByteArray> readFileBounded(const QString &path, qsizetype limit, QString *error = nullptr);

} // namespace tamo
