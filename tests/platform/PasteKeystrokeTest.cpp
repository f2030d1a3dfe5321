#include "platform/PasteKeystroke.h"

#include <gtest/gtest.h>

using namespace tamo;

TEST(PasteKeystroke, EachAppFamilyGetsItsOwnClipboardPasteKey)
{
    struct Row
    {
        const char *instance;
        const char *className;
        PasteKeystroke keystroke;
    };
    const Row rows[]{
        {"xterm", "XTerm", PasteKeystroke::ShiftInsert},
        {"gnome-terminal-server", "Gnome-terminal", PasteKeystroke::ControlShiftV},
        {"xfce4-terminal", "Xfce4-terminal", PasteKeystroke::ControlShiftV},
        {"konsole", "konsole", PasteKeystroke::ControlShiftV},
        {"emacs", "Emacs", PasteKeystroke::ControlY},
        {"notes", "Emacs", PasteKeystroke::ControlY}, // started with --name
        {"gvim", "Gvim", PasteKeystroke::ShiftInsert},
        {"Alacritty", "Alacritty", PasteKeystroke::ControlShiftV},
        {"urxvt", "URxvt", PasteKeystroke::ControlAltV},
        {"rxvt", "URxvt", PasteKeystroke::ControlAltV}, // urxvt started by its old name
        {"Navigator", "firefox", PasteKeystroke::ControlV},
        {"xterm-settings", "Xterm-settings", PasteKeystroke::ControlV}, // whole names only
        {"", "", PasteKeystroke::ControlV},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.instance) + " " + row.className);
        EXPECT_EQ(pasteKeystrokeForWindowClass(QString::fromUtf8(row.instance), QString::fromUtf8(row.className)),
                  row.keystroke);
    }
}
