#pragma once

#include "model/ClipKind.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tamo {

// The de-duplication key of a clip: SHA-256 over its kind and content, as 64
// lowercase hex digits. The hashes are stored, so the byte layout is frozen:
//   u32be length + kind raw value (UTF-8)
//   u32be length + text (UTF-8; absent text hashes as empty)
//   u64be length + image bytes (absent hashes as empty)
//   u32be path count, then per path u32be length + path (UTF-8)
// Lone UTF-16 surrogates encode as U+FFFD.
QString makeContentHash(ClipKind kind, const std::optional<QString> &text,
                        const std::optional<QByteArray> &imageData, const QStringList &filePaths);

} // namespace tamo
