#pragma once

#include <QByteArray>
#include <QString>

namespace tamo {

// Why a file was not read.
enum class FileRefusal {
    none,
    missing,    // nothing of that name
    link,       // a symbolic link where none is expected
    notRegular, // a folder, FIFO, socket or device
    tooLarge,   // larger than the caller's cap, or grew past it while read
    unreadable, // no permission, or the system failed to read it
};

// Whether the path's last name may be a symbolic link (to a regular file).
enum class FileLinks { refuse, follow };

// A regular file opened for reading from a folder others can write. Opening
// never blocks (a FIFO or device is refused instead of waited on), the type
// and size are checked on the opened descriptor, so a swap between the check
// and the read changes nothing, and no read goes past the cap.
class RegularFile
{
public:
    RegularFile() = default;
    RegularFile(RegularFile &&other) noexcept;
    RegularFile &operator=(RegularFile &&other) noexcept;
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;
    ~RegularFile();

    static RegularFile open(const QString &path, qint64 maxBytes, FileLinks links = FileLinks::refuse);

    bool isOpen() const { return m_fd >= 0; }
    FileRefusal refusal() const { return m_refusal; }
    // Why it was refused, for a message that names the file; empty while all is well.
    QString errorString() const;
    // The size when opened.
    qint64 size() const { return m_size; }

    // Reads up to `maxBytes` more bytes: their count, 0 at the end, -1 when
    // refused (a read error, or the file grew past the cap).
    qint64 read(char *into, qint64 maxBytes);
    // The rest of the file; empty with a refusal set when it cannot be read.
    QByteArray readAll();
    // Back to the first byte, for another pass; false when refused.
    bool rewind();

private:
    void refuse(FileRefusal refusal, int errorNumber);
    void close();

    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_cap = 0;
    qint64 m_read = 0;
    FileRefusal m_refusal = FileRefusal::none;
    int m_errorNumber = 0;
};

struct FileContents
{
    QByteArray bytes;
    FileRefusal refusal = FileRefusal::none;
    QString error; // why it was refused

    bool ok() const { return refusal == FileRefusal::none; }
};

// The whole of a regular file of at most `maxBytes`, or why it was refused.
FileContents readRegularFile(const QString &path, qint64 maxBytes, FileLinks links = FileLinks::refuse);

} // namespace tamo
