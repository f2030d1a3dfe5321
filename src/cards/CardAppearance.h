#pragma once

#include "cards/CardSize.h"
#include "cards/ThumbnailCache.h"
#include "model/ClipKind.h"
#include "model/SettingsEnums.h"

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QString>

#include <optional>

namespace tamo {

// The colours a card is drawn in, taken from the palette of the view that
// shows it, so light and dark themes each get theirs.
struct CardColors
{
    QColor window;         // the glass is made from it
    QColor surface;        // the classic card's body
    QColor label;
    QColor secondaryLabel;
    QColor highlight;      // the selection ring
    QColor link;
    bool isDark = false;

    static CardColors from(const QPalette &palette);
};

struct PinboardTag
{
    QString name;
    QColor color;
};

struct CardHeaderContent
{
    QImage icon;          // the source app's (or the kind's) icon in device pixels
    QString emoji;        // the clip's own icon, shown instead of `icon`
    QString label;
    QString age;
    QColor accent;        // the classic band
    std::optional<int> quickPasteNumber;
    std::optional<PinboardTag> pinboard;
};

struct ClipContent
{
    ClipKind kind = ClipKind::text;
    // The copied text, the URL, the colour's text, the link's title or the
    // first file's name.
    QString text;
    // The link's host under its title, or "+ N more" under the file name.
    QString detail;
    bool isLinkPreview = false;     // the page's title (and image) instead of the URL
    std::optional<Thumbnail> picture; // none while it is being made
    QImage fileIcon;                // the file type's icon, device pixels
    QColor color;                   // invalid when the colour text does not parse
};

// Everything a card shows, resolved: painting it needs no clip, store or
// settings, so strips, previews, tests and the sample sheet all draw the
// same card from it.
struct CardAppearance
{
    CardSize size;
    CardStyle style = CardStyle::glass;
    double textScale = 1.0;
    bool isSelected = false;
    bool isCompact = false;          // the menu-bar panel's header
    bool isTranslucent = true;       // the glass may let the panel show through
    qreal devicePixelRatio = 1.0;
    CardColors colors;
    CardHeaderContent header;
    ClipContent content;
};

} // namespace tamo
