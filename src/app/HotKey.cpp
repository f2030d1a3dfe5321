#include "app/HotKey.h"

#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyCodes.h"

namespace tamo {

namespace {

QString keyName(int keyCode, const QString &characters)
{
    switch (keyCode) {
    case KeyCodes::Return:
        return QStringLiteral("↩");
    case KeyCodes::Tab:
        return QStringLiteral("⇥");
    case KeyCodes::Space:
        return QStringLiteral("Space");
    case KeyCodes::Delete:
        return QStringLiteral("⌫");
    case KeyCodes::LeftArrow:
        return QStringLiteral("←");
    case KeyCodes::RightArrow:
        return QStringLiteral("→");
    case KeyCodes::DownArrow:
        return QStringLiteral("↓");
    case KeyCodes::UpArrow:
        return QStringLiteral("↑");
    default:
        return characters.isEmpty() ? QStringLiteral("?") : characters.toUpper();
    }
}

} // namespace

HotKey::HotKey(GlobalHotKeyRegistry &registry, Defaults &defaults)
    : m_registry(registry)
    , m_defaults(defaults)
{
}

bool HotKey::setShortcut(int keyCode, int modifiers, const QString &display)
{
    if (m_registry.conflicts(MainShortcutSlot, keyCode, modifiers))
        return false;
    m_defaults.setValue(keys::hotKeyCode, keyCode);
    m_defaults.setValue(keys::hotKeyModifiers, modifiers);
    m_defaults.setValue(keys::hotKeyDisplay, display);
    m_registry.registerSlot(MainShortcutSlot, keyCode, modifiers);
    return true;
}

void HotKey::registerFromDefaults()
{
    m_registry.registerSlot(MainShortcutSlot, int(m_defaults.integer(keys::hotKeyCode)),
                            int(m_defaults.integer(keys::hotKeyModifiers)));
}

int HotKey::carbonModifiers(Qt::KeyboardModifiers modifiers)
{
    return KeyCodes::fromQtModifiers(modifiers);
}

QString HotKey::displayString(int keyCode, int carbonModifiers, const QString &characters)
{
    QString display;
    if (carbonModifiers & KeyCodes::ControlKey)
        display += QStringLiteral("⌃");
    if (carbonModifiers & KeyCodes::OptionKey)
        display += QStringLiteral("⌥");
    if (carbonModifiers & KeyCodes::ShiftKey)
        display += QStringLiteral("⇧");
    if (carbonModifiers & KeyCodes::CommandKey)
        display += QStringLiteral("⌘");
    return display + keyName(keyCode, characters);
}

} // namespace tamo
