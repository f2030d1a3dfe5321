#include "cards/EmojiFont.h"

#include "cards/ViewStyles.h"

namespace tamo {

QFont emojiFont(qreal points)
{
    QFont font = uiFont(points);
    font.setFamilies({QStringLiteral("Noto Color Emoji"), font.family()});
    return font;
}

} // namespace tamo
