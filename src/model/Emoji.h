#pragma once

#include <QStringView>

namespace tamo {

// True when the text is one user-perceived character that shows as an emoji:
// "😀", "❤️", "👍🏽", "👨‍👩‍👧", "#️⃣", "🇫🇷". Characters that only may be drawn
// as emoji ("❤" without U+FE0F, digits, "#") do not count.
bool isSingleEmoji(QStringView text);

} // namespace tamo
