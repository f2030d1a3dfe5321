#include "ChildProcess.h"
#include "WindowManager.h"
#include "support/TempDir.h"
#include "platform/KeyCodes.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11EventPoster.h"
#include "platform/x11/X11GlobalHotKeys.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Properties.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;
using tamo::testing::ChildProcess;
using tamo::testing::startEditor;

namespace {

// Keys the user holds down, as after a hot key; let go when the test ends.
class HeldKeys
{
public:
    explicit HeldKeys(const QStringList &keysyms) : m_keysyms(keysyms)
    {
        QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("keydown")} + m_keysyms);
    }
    ~HeldKeys() { QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("keyup")} + m_keysyms); }

private:
    QStringList m_keysyms;
};

// Pressed one after another, held, and let go in turn, at a person's pace.
void pressAsAPerson(const QStringList &keys)
{
    QStringList steps;
    for (const QString &key : keys)
        steps << QStringLiteral("keydown") << key << QStringLiteral("sleep") << QStringLiteral("0.05");
    steps << QStringLiteral("sleep") << QStringLiteral("0.1");
    for (auto key = keys.crbegin(); key != keys.crend(); ++key)
        steps << QStringLiteral("keyup") << *key << QStringLiteral("sleep") << QStringLiteral("0.05");
    QProcess::execute(QStringLiteral("xdotool"), steps);
}

class X11EventPosterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.isValid()) << "this suite needs an X server";
        ASSERT_TRUE(pasteboard.writeItems({{{PasteboardType::string, "pasted ✓"}}}));
    }

    // Our panel opens over the front window and takes the focus. It stays
    // open, so the focus comes back only if the poster brings it back.
    void openPanel()
    {
        panel.show();
        panel.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&panel));
    }

    tamo::testing::WindowManager windowManager;
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Pasteboard pasteboard{x11};
    x11::X11ActiveWindow activeWindow{x11};
    x11::X11GlobalHotKeys hotKeys{x11};
    x11::X11EventPoster poster{x11, activeWindow, hotKeys};
    QLineEdit panel;
};

TEST_F(X11EventPosterTest, PasteLandsInTheWindowThatWasInFront)
{
    const auto editor = startEditor();
    poster.rememberFrontWindow();
    openPanel();
    QSignalSpy restored(&poster, &EventPoster::frontWindowRestored);

    poster.postPaste();

    EXPECT_TRUE(editor->waitForLine(QStringLiteral("text pasted ✓")));
    EXPECT_TRUE(panel.text().isEmpty());
    ASSERT_EQ(restored.count(), 1);
    EXPECT_TRUE(restored.first().first().toBool());
}

// Noted while one of our panels is in front (the drawer's left the activation
// on it, or a second panel opens over the first), the window before it counts.
TEST_F(X11EventPosterTest, OurOwnWindowInFrontIsNeverThePasteTarget)
{
    // The watch takes in the editor's activation before our panel takes
    // over, as it has long before a person opens one; on a loaded machine
    // the two could otherwise reach it as one change.
    bool otherAppNoted = false;
    QObject::connect(&activeWindow, &x11::X11ActiveWindow::changed, &panel, [&] {
        const quint32 front = activeWindow.activeWindow();
        otherAppNoted = front && !activeWindow.isOwnWindow(front);
    });
    const auto editor = startEditor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return otherAppNoted; }, 5000));
    openPanel();
    poster.rememberFrontWindow();
    QSignalSpy restored(&poster, &EventPoster::frontWindowRestored);

    poster.postPaste();

    // A window manager too loaded to answer within the time allowed leaves
    // the focus on the panel; then nothing is pasted (see the test below).
    ASSERT_TRUE(restored.wait(10000));
    if (restored.first().first().toBool()) {
        EXPECT_TRUE(editor->waitForLine(QStringLiteral("text pasted ✓")));
    }
    EXPECT_TRUE(panel.text().isEmpty());
}

// The window meant for the paste is gone and the focus stays on our panel:
// the paste is not typed into ourselves. A key typed after it shows that
// nothing came before.
TEST_F(X11EventPosterTest, APasteWhoseWindowDidNotComeBackIsNotTypedIntoOurs)
{
    auto editor = startEditor();
    poster.rememberFrontWindow();
    openPanel();
    editor.reset();
    QSignalSpy restored(&poster, &EventPoster::frontWindowRestored);

    poster.postPaste();

    ASSERT_TRUE(restored.wait(10000));
    EXPECT_FALSE(restored.first().first().toBool());
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("x")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.text().isEmpty(); }, 10000));
    EXPECT_EQ(panel.text(), QStringLiteral("x"));
}

TEST_F(X11EventPosterTest, ModifiersTheUserStillHoldsAreReleasedFirst)
{
    const auto editor = startEditor();
    poster.rememberFrontWindow();
    openPanel();
    const HeldKeys held({QStringLiteral("Shift_L"), QStringLiteral("Alt_L")});

    poster.postPaste();

    EXPECT_TRUE(editor->waitForLine(QStringLiteral("text pasted ✓")));
    EXPECT_TRUE(editor->lines().contains(QStringLiteral("key Ctrl+V"))) << editor->lines().join('|').toStdString();
}

// The window's WM_CLASS instance picks the chord its app pastes with.
TEST_F(X11EventPosterTest, EachAppFamilyGetsTheChordItPastesWith)
{
    const struct
    {
        const char *instance;
        const char *chord;
    } rows[] = {
        {"konsole", "Ctrl+Shift+V"},
        {"emacs", "Ctrl+Y"},
        {"gvim", "Shift+Ins"},
        {"Navigator", "Ctrl+V"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.instance);
        const auto app = startEditor(QLatin1String(row.instance));
        poster.rememberFrontWindow();
        openPanel();

        poster.postPaste();

        EXPECT_TRUE(app->waitForLine(QStringLiteral("key ") + QLatin1String(row.chord)))
            << app->lines().join('|').toStdString();
    }
}

// The terminals' paste chord is also our default main shortcut, grabbed on
// the root window: the paste still reaches the terminal, never our shortcut,
// which works again for the next press of the person at the keyboard.
TEST_F(X11EventPosterTest, APasteChordThatIsOurShortcutReachesTheTerminal)
{
    constexpr int ShiftCommand = KeyCodes::ShiftKey | KeyCodes::CommandKey;
    ASSERT_TRUE(hotKeys.registerHotKey(0, KeyCodes::KeyV, ShiftCommand));
    ASSERT_TRUE(hotKeys.registerHotKey(1, 111, ShiftCommand)); // F12, pressed last: all before it has arrived
    QList<int> fired;
    QObject::connect(&hotKeys, &GlobalHotKeys::pressed, &panel, [&](int slot) { fired.append(slot); });
    const auto terminal = startEditor(QStringLiteral("xfce4-terminal"));
    poster.rememberFrontWindow();
    openPanel();

    poster.postPaste();

    EXPECT_TRUE(terminal->waitForLine(QStringLiteral("key Ctrl+Shift+V")))
        << terminal->lines().join('|').toStdString();
    pressAsAPerson({QStringLiteral("Control_L"), QStringLiteral("Shift_L"), QStringLiteral("v")});
    pressAsAPerson({QStringLiteral("Control_L"), QStringLiteral("Shift_L"), QStringLiteral("F12")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired.contains(1); }, 5000));
    EXPECT_EQ(fired, (QList<int>{0, 1})) << "the paste fired the shortcut, or the shortcut was not grabbed again";
    EXPECT_EQ(terminal->lines().count(QStringLiteral("key Ctrl+Shift+V")), 1);
}

// xterm has no key that pastes the clipboard; its Shift+Insert reads PRIMARY.
TEST_F(X11EventPosterTest, APasteArrivesInXterm)
{
    ASSERT_TRUE(pasteboard.writeItems({{{PasteboardType::string, "pasted into xterm\n"}}}));
    const tamo::testing::TempDir dir;
    QFile typed(dir.file(QStringLiteral("typed")));
    const ChildProcess xterm(QStringLiteral("xterm"), {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                                                       QStringLiteral("cat > \"$0\""), typed.fileName()});
    const x11::X11Properties properties(x11.xcb);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const quint32 active = properties.numbers(x11.rootWindow, "_NET_ACTIVE_WINDOW").value(0);
        return active && properties.strings(active, "WM_CLASS").value(0) == u"xterm";
    }, 10000)) << "xterm did not come to the front";
    poster.rememberFrontWindow();
    openPanel();

    poster.postPaste();

    EXPECT_TRUE(QTest::qWaitFor([&] {
        typed.open(QIODevice::ReadOnly);
        const QByteArray text = typed.readAll();
        typed.close();
        return text == "pasted into xterm\n";
    }, 10000));
}

TEST_F(X11EventPosterTest, RestoreFailsWhenTheWindowIsGone)
{
    auto editor = startEditor();
    // The editor has the focus before the window manager names it active;
    // under load the window noted could still be an older one that lives on.
    const x11::X11Properties properties(x11.xcb);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return properties.numbers(activeWindow.activeWindow(), "_NET_WM_PID").value(0) == editor->pid();
    }, 5000));
    poster.rememberFrontWindow();
    editor.reset();
    QSignalSpy restored(&poster, &EventPoster::frontWindowRestored);

    poster.restoreFrontWindow();

    ASSERT_TRUE(restored.wait(5000));
    EXPECT_FALSE(restored.first().first().toBool());
}

TEST_F(X11EventPosterTest, RestoreFailsWhenNothingWasRemembered)
{
    QSignalSpy restored(&poster, &EventPoster::frontWindowRestored);

    poster.restoreFrontWindow();

    ASSERT_TRUE(restored.wait(5000));
    EXPECT_FALSE(restored.first().first().toBool());
}

} // namespace
