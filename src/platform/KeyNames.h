#pragma once

#include <QString>
#include <QStringList>

namespace tamo {

// Shortcuts are stored in glyph form ("⇧⌘V", "⌃1") since settings and
// pinboard files carry them; people read them as this desktop names keys.
// Modifiers come in Qt's order (Super, Ctrl, Alt, Shift), then the key:
// "⇧⌘V" reads "Ctrl", "Shift", "V".
QStringList keyCapNames(const QString &glyphShortcut);

// The same joined the desktop's way: "Ctrl+Shift+V".
QString keyNames(const QString &glyphShortcut);

// What a key's cap shows for the keysym it types: "`" for grave, "^" for a
// dead circumflex, "ö" for odiaeresis; empty for keys without a printable cap.
QString keysymCap(quint32 keysym);

} // namespace tamo
