#include "platform/KeyNames.h"

#include <QHash>

namespace tamo {

namespace {

struct Modifier
{
    QChar glyph;
    const char *name;
};

// Qt's order of modifiers on this desktop.
constexpr Modifier modifiers[] = {
    {QChar(0x2303), "Super"}, // ⌃
    {QChar(0x2318), "Ctrl"},  // ⌘
    {QChar(0x2325), "Alt"},   // ⌥
    {QChar(0x21E7), "Shift"}, // ⇧
};

QString keyName(const QString &key)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("↩"), QStringLiteral("Return")}, {QStringLiteral("⇥"), QStringLiteral("Tab")},
        {QStringLiteral("⌫"), QStringLiteral("Backspace")}, {QStringLiteral("⌦"), QStringLiteral("Del")},
        {QStringLiteral("⎋"), QStringLiteral("Esc")},       {QStringLiteral("←"), QStringLiteral("Left")},
        {QStringLiteral("→"), QStringLiteral("Right")},     {QStringLiteral("↑"), QStringLiteral("Up")},
        {QStringLiteral("↓"), QStringLiteral("Down")},
    };
    return names.value(key, key);
}

} // namespace

QStringList keyCapNames(const QString &glyphShortcut)
{
    QStringList names;
    QString key = glyphShortcut;
    for (const Modifier &modifier : modifiers) {
        if (key.contains(modifier.glyph)) {
            names.append(QLatin1String(modifier.name));
            key.remove(modifier.glyph);
        }
    }
    if (!key.isEmpty())
        names.append(keyName(key));
    return names;
}

QString keyNames(const QString &glyphShortcut)
{
    return keyCapNames(glyphShortcut).join(QLatin1Char('+'));
}

} // namespace tamo
