#pragma once

#include <QString>

#include <optional>

namespace tamo {

// The longest card title or pinboard name a user can type (a line edit's
// own limit); titles and names an import brings over are cut to it too.
inline constexpr int maxTypedLength = 32767;

// `text` cut to maxTypedLength characters, never inside a surrogate pair.
inline QString cappedTypedText(const QString &text)
{
    if (text.size() <= maxTypedLength)
        return text;
    const bool splitsPair = text.at(maxTypedLength - 1).isHighSurrogate();
    return text.left(maxTypedLength - (splitsPair ? 1 : 0));
}

inline std::optional<QString> cappedTypedText(const std::optional<QString> &text)
{
    return text ? std::optional(cappedTypedText(*text)) : std::nullopt;
}

} // namespace tamo
