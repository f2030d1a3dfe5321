#pragma once

#include <QRectF>
#include <QString>
#include <QStringView>

#include <optional>

namespace tamo {

// The textual rectangle form "{{x, y}, {w, h}}" in which window frames are
// kept in the settings.
QString rectToString(const QRectF &rect);

// Reads the four numbers of that form in order. Nothing when fewer than four
// finite numbers are found; the caller decides whether the rectangle is usable.
std::optional<QRectF> rectFromString(QStringView text);

} // namespace tamo
