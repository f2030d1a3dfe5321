#pragma once

#include "cards/CardAppearance.h"
#include "cards/CardContext.h"
#include "model/ClipItem.h"
#include "model/Pinboard.h"

#include <QDateTime>
#include <QPalette>

#include <optional>

namespace tamo {

// What a card's users set on it.
struct CardFields
{
    ClipItemPtr item;
    CardSize size;
    bool isSelected = false;
    std::optional<int> quickPasteNumber; // 1 to 9
    std::optional<CardStyle> forcedStyle;
    PinboardPtr pinboardTag;
    CardStyle savedStyle = CardStyle::glass;
    double textScale = 1.0;
    // What the age counts to; cards shown together share one, so two clips
    // copied in the same second never read "now" and "1m" side by side.
    // Unset: the clock's now when the card is drawn.
    QDateTime agesAt;
};

// Resolves what a card shows from its clip, its fields and the panel's
// context: labels, icons, colours, and the picture from the thumbnail cache
// (asked for here, so only cards that are drawn ever read image bytes).
// Main thread only.
class CardAppearanceBuilder
{
public:
    explicit CardAppearanceBuilder(const CardContext &context);

    CardAppearance build(const CardFields &fields, const QPalette &palette, qreal devicePixelRatio) const;

    // The stored "cardStyle", glass when unset or unknown.
    static CardStyle storedStyle(const Defaults &defaults);
    // The stored "cardTextScale", 1.0 when unset or not a number.
    static double storedTextScale(const Defaults &defaults);
    // The stored "linkPreviews", on when unset.
    static bool linkPreviewsShown(const Defaults &defaults);
    // What the card's body shows, without its picture.
    ClipContent content(const ClipItem &clip) const;

private:
    CardHeaderContent header(const CardFields &fields, const CardAppearance &appearance) const;
    std::optional<Thumbnail> picture(const ClipItem &clip, const CardAppearance &appearance) const;
    ThumbnailRequest pictureRequest(const ClipItem &clip) const;
    QImage fileIcon(const ClipItem &clip, const CardAppearance &appearance) const;

    CardContext m_context;
};

} // namespace tamo
