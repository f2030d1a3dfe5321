#include "drawer/KeyPress.h"

#include "platform/KeyCodes.h"

#include <QKeyEvent>

namespace tamo {

namespace {

KeyPress::Key keyOf(int qtKey)
{
    using Key = KeyPress::Key;
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::returnKey;
    case Qt::Key_Escape:
        return Key::escape;
    case Qt::Key_Tab:
        return Key::tab;
    case Qt::Key_Backtab:
        return Key::backTab;
    case Qt::Key_Backspace:
        return Key::deleteBackward;
    case Qt::Key_Delete:
        return Key::deleteForward;
    case Qt::Key_Left:
        return Key::left;
    case Qt::Key_Right:
        return Key::right;
    case Qt::Key_Up:
        return Key::up;
    case Qt::Key_Down:
        return Key::down;
    case Qt::Key_Space:
        return Key::space;
    default:
        return Key::other;
    }
}

KeyPress::Modifiers modifiersOf(Qt::KeyboardModifiers qtModifiers)
{
    using Modifier = KeyPress::Modifier;
    const int carbon = KeyCodes::fromQtModifiers(qtModifiers);
    KeyPress::Modifiers modifiers;
    modifiers.setFlag(Modifier::command, carbon & KeyCodes::CommandKey);
    modifiers.setFlag(Modifier::shift, carbon & KeyCodes::ShiftKey);
    modifiers.setFlag(Modifier::option, carbon & KeyCodes::OptionKey);
    modifiers.setFlag(Modifier::control, carbon & KeyCodes::ControlKey);
    return modifiers;
}

QString typedText(const QKeyEvent &event)
{
    // With Ctrl held X11 types control characters for letters, and on
    // non-Latin layouts Qt names the Latin key of the chord: read the key.
    const int qtKey = event.key();
    if (!event.modifiers().testFlag(Qt::ControlModifier) || qtKey < Qt::Key_Space || qtKey > Qt::Key_AsciiTilde)
        return event.text();
    const QChar character(qtKey); // Qt names letter keys by their capital
    return QString(event.modifiers().testFlag(Qt::ShiftModifier) ? character : character.toLower());
}

int digitOf(const QKeyEvent &event)
{
    auto digitKey = [](int qtKey) { return qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9 ? qtKey - Qt::Key_0 : 0; };
    if (const int digit = digitKey(event.key()))
        return digit;
    // ⇧ turned the digit into a symbol; the key table knows which key types it.
    if (const std::optional<int> keyCode = KeyCodes::fromQtKey(event.key(), event.modifiers())) {
        if (const int digit = digitKey(KeyCodes::toQtKey(*keyCode)))
            return digit;
    }
    // Digits of other scripts.
    const QString text = event.text();
    const int value = text.size() == 1 ? text.front().digitValue() : -1;
    return value >= 1 && value <= 9 ? value : 0;
}

} // namespace

KeyPress fromQKeyEvent(const QKeyEvent &event)
{
    KeyPress press;
    press.key = keyOf(event.key());
    press.text = typedText(event);
    press.modifiers = modifiersOf(event.modifiers());
    press.isRepeat = event.isAutoRepeat();
    press.digit = digitOf(event);
    return press;
}

} // namespace tamo
