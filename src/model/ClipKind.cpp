#include "model/ClipKind.h"

#include <array>

namespace tamo {

namespace {

struct KindNames
{
    ClipKind kind;
    QStringView raw;
    QStringView display;
};

constexpr std::array<KindNames, 5> kKindNames{{
    {ClipKind::text, u"text", u"Text"},
    {ClipKind::link, u"link", u"Link"},
    {ClipKind::image, u"image", u"Image"},
    {ClipKind::file, u"file", u"File"},
    {ClipKind::color, u"color", u"Color"},
}};

static_assert([] {
    for (size_t i = 0; i < kKindNames.size(); ++i) {
        if (kKindNames[i].kind != static_cast<ClipKind>(i))
            return false;
    }
    return true;
}(), "kKindNames is indexed by ClipKind");

const KindNames &namesOf(ClipKind kind)
{
    return kKindNames[static_cast<size_t>(kind)];
}

} // namespace

QString rawValue(ClipKind kind)
{
    return namesOf(kind).raw.toString();
}

std::optional<ClipKind> clipKindFromRaw(QStringView raw)
{
    for (const KindNames &names : kKindNames) {
        if (names.raw == raw)
            return names.kind;
    }
    return std::nullopt;
}

QString displayName(ClipKind kind)
{
    return namesOf(kind).display.toString();
}

} // namespace tamo
