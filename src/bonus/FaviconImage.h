#pragma once

#include <QByteArray>

#include <optional>

namespace tamo {

// A downloaded site icon as a PNG of at most side × side pixels; nothing for
// bytes that are no image, or an image claiming more than maxSide pixels a
// side (never decoded). A pure function, safe from any thread.
std::optional<QByteArray> faviconThumbnail(const QByteArray &bytes, int side, int maxSide);

} // namespace tamo
