#include "QtPrinters.h"

#include "drawer/KeyPress.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace tamo;

namespace tamo {

inline void PrintTo(const KeyPress &press, std::ostream *out)
{
    *out << "{key " << int(press.key) << ", text \"" << press.text.toStdString() << "\", modifiers "
         << press.modifiers.toInt() << ", repeat " << press.isRepeat << ", digit " << press.digit << '}';
}

} // namespace tamo

namespace {

using Key = KeyPress::Key;
using Modifier = KeyPress::Modifier;

TEST(KeyPress, ClassifiesQtKeyEventsByKeyNotText)
{
    const QString del(QChar(0x7f));
    const struct {
        const char *name;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        QString text;
        KeyPress expected;
    } rows[] = {
        {"Delete types U+007F but deletes forward", Qt::Key_Delete, {}, del, {.key = Key::deleteForward, .text = del}},
        {"Backspace deletes backward", Qt::Key_Backspace, {}, "\b", {.key = Key::deleteBackward, .text = "\b"}},
        {"keypad Enter is Return", Qt::Key_Enter, Qt::KeypadModifier, "\r", {.key = Key::returnKey, .text = "\r"}},
        {"Shift+Tab arrives as Backtab", Qt::Key_Backtab, Qt::ShiftModifier, "",
         {.key = Key::backTab, .modifiers = Modifier::shift}},
        {"Space", Qt::Key_Space, {}, " ", {.key = Key::space, .text = " "}},
        {"Super is ⌃", Qt::Key_Left, Qt::MetaModifier, "", {.key = Key::left, .modifiers = Modifier::control}},
        {"Alt is ⌥ and types", Qt::Key_E, Qt::AltModifier, "e", {.text = "e", .modifiers = Modifier::option}},
        {"a function key types nothing", Qt::Key_F5, {}, "", {}},
        {"Ctrl+C reads c, not its control character", Qt::Key_C, Qt::ControlModifier, "\x03",
         {.text = "c", .modifiers = Modifier::command}},
        {"Ctrl+Shift+C reads C", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, "\x03",
         {.text = "C", .modifiers = Modifier::command | Modifier::shift}},
        {"Ctrl+comma", Qt::Key_Comma, Qt::ControlModifier, ",", {.text = ",", .modifiers = Modifier::command}},
        {"Ctrl+2", Qt::Key_2, Qt::ControlModifier, "2", {.text = "2", .modifiers = Modifier::command, .digit = 2}},
        {"Ctrl+Shift+2 types @ but is digit 2", Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier, "@",
         {.text = "@", .modifiers = Modifier::command | Modifier::shift, .digit = 2}},
        {"Shift+9 alone is digit 9 too", Qt::Key_ParenLeft, Qt::ShiftModifier, "(",
         {.text = "(", .modifiers = Modifier::shift, .digit = 9}},
        {"keypad 3", Qt::Key_3, Qt::ControlModifier | Qt::KeypadModifier, "3",
         {.text = "3", .modifiers = Modifier::command, .digit = 3}},
        {"an Arabic-Indic digit", 0x0664, {}, "\u0664", {.text = "\u0664", .digit = 4}},
        {"0 is no quick-paste digit", Qt::Key_0, Qt::ControlModifier, "0",
         {.text = "0", .modifiers = Modifier::command}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QKeyEvent event(QEvent::KeyPress, row.qtKey, row.modifiers, row.text);
        EXPECT_EQ(fromQKeyEvent(event), row.expected);
    }
}

TEST(KeyPress, AutoRepeatIsTheRepeatPhase)
{
    const QKeyEvent held(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, "\b", true);
    EXPECT_TRUE(fromQKeyEvent(held).isRepeat);
}

} // namespace
