#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// A decoder of LZFSE streams, the compression macOS apps use for their own
// data: a sequence of blocks ("bvx-" stored, "bvxn" LZVN, "bvx1" and "bvx2"
// LZFSE with plain or packed tables) ended by "bvx$". Strict: a stream that
// is truncated, damaged, or whose blocks do not produce exactly the size
// their headers claim gives nothing.
namespace tamo::lzfse {

// Nothing as well when the output would exceed maxBytes; a header's claimed
// size is checked against it before anything is allocated.
std::optional<QByteArray> decode(QByteArrayView stream, qsizetype maxBytes);

} // namespace tamo::lzfse
