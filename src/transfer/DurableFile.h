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

// Reads at most `limit` bytes; a larger file yields limit + 1 bytes so the
// caller can refuse it without holding all of it. Empty optional on error,
// which `error` then describes.
std::optional<QByteArray> readFileBounded(const QString &path, qsizetype limit, QString *error = nullptr);

} // namespace tamo
