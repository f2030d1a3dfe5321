#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tamo {

// What a clip holds. Stored by raw value, so the names are a file format.
enum class ClipKind { text, link, image, file, color };

QString rawValue(ClipKind kind);
std::optional<ClipKind> clipKindFromRaw(QStringView raw);
QString displayName(ClipKind kind);

} // namespace tamo
