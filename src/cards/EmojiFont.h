#pragma once

#include <QFont>

namespace tamo {

// The UI font at a design size with the colour emoji font in front, for text
// that is one emoji: those that also exist as plain symbols (❤, ☺) come out
// coloured only from the emoji font.
QFont emojiFont(qreal points);

} // namespace tamo
