#pragma once

#include "platform/ClipLimits.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// How a copied file's path is kept. A path is a byte string: one that is
// UTF-8 is kept as its text, as it always was; any other is kept as its
// percent-encoded file URL ("file:///tmp/caf%E9.txt"), so its exact bytes
// survive the store, the content hash and the paste.
namespace tamo::StoredFilePath {

inline constexpr qsizetype longest = ClipLimits::longestPath;

QString fromURL(const QUrl &localFile);
QUrl toURL(const QString &stored);
// The path's bytes, as the file system knows it.
QByteArray bytes(const QString &stored);

} // namespace tamo::StoredFilePath
