#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tamo {

// Writes a whole file so that a reader, a crash or a file-sync engine never
// sees it half written: the bytes go to a hidden temporary name in the same
// folder, reach the disk, and only then take their name. Returns the error
// text, empty on success; `errorNumber` then receives the system's code.
QString writeFileDurably(const QString &path, const QByteArray &bytes, int *errorNumber = nullptr);

// Reads a regular file of at most `limit` bytes (links followed); empty
// optional when it cannot be read, is no regular file or is larger, which
// `error` then describes.
std::optional<QByteArray> readFileBounded(const QString &path, qsizetype limit, QString *error = nullptr);

} // namespace tamo
