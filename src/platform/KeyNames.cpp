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

QString keysymCap(quint32 keysym)
{
    // Numbers as in X11/keysymdef.h, kept free of X headers.
    constexpr quint32 unicodeFlag = 0x01000000;
    static const QHash<quint32, QString> deadKeys{
        {0xfe50, QStringLiteral("`")}, {0xfe51, QStringLiteral("´")}, {0xfe52, QStringLiteral("^")},
        {0xfe53, QStringLiteral("~")}, {0xfe57, QStringLiteral("¨")}, {0xfe58, QStringLiteral("°")},
    };
    const bool latin1 = (keysym >= 0x21 && keysym <= 0x7e) || (keysym >= 0xa1 && keysym <= 0xff);
    if (latin1)
        return QString(QChar(char16_t(keysym)));
    if ((keysym & 0xff000000) == unicodeFlag) {
        const char32_t codePoint = keysym & 0x00ffffff;
        if (QChar::isPrint(codePoint) && !QChar::isSpace(codePoint))
            return QString::fromUcs4(&codePoint, 1);
        return {};
    }
    return deadKeys.value(keysym);
}

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
