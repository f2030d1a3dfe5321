// The keyboard on a real X server, with keys held as long as a person holds
// them: the main shortcut toggles whatever has the focus, and the drawer keeps
// the keyboard through the preview, a rename, its menus and a tab drag.
#include "X11DrawerFixture.h"

#include "cards/ClipCard.h"
#include "drawer/ClipStrip.h"
#include "drawer/PanelView.h"
#include "drawer/PinboardBar.h"
#include "drawer/PinboardTab.h"
#include "drawer/PinboardTabLabel.h"
#include "drawer/SearchPill.h"
#include "drawer/TamoPanel.h"
#include "model/Pinboards.h"
#include "platform/TrayStatusItem.h"

#include <QApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>

#include "support/QuitsWhile.h"
#include <QToolButton>

using namespace tamo;
using namespace tamo::testing;

namespace {

class X11DrawerKeyboardTest : public X11DrawerFixture
{
protected:
    void SetUp() override
    {
        X11DrawerFixture::SetUp();
        if (HasFatalFailure())
            return;
        assemble(&statusIcon, &platform.clickShield());
        editor = startEditor();
        for (const QString &text : {QStringLiteral("older"), QStringLiteral("newer")}) {
            const int before = clipCount(*model);
            const auto copier = copyText(text);
            ASSERT_TRUE(QTest::qWaitFor([&] { return clipCount(*model) == before + 1; }, 5000));
        }
    }

    // One xdotool run with the event loop going meanwhile, as the user acts
    // while the app runs (a drag runs a loop of its own until the button is up).
    static void act(const QStringList &arguments)
    {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), arguments);
        EXPECT_TRUE(QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 5000));
    }
    // Down for 150 ms, then up.
    static void hold(const QString &chord)
    {
        act({QStringLiteral("keydown"), chord, QStringLiteral("sleep"), QStringLiteral("0.15"), QStringLiteral("keyup"),
             chord});
    }
    static void mouse(const QStringList &arguments) { xdotool(QStringList{QStringLiteral("mousemove")} + arguments); }
    static void pointAt(const QWidget &widget, const QString &then = {})
    {
        const QPoint centre = widget.mapToGlobal(widget.rect().center());
        QStringList arguments{QString::number(centre.x()), QString::number(centre.y())};
        if (!then.isEmpty())
            arguments << then.split(QLatin1Char(' '));
        mouse(arguments);
    }

    // Points at each entry of the path in the open menus and clicks the last,
    // from a timer: a menu may run an event loop of its own.
    static void choose(QStringList path)
    {
        QTimer step;
        step.setInterval(50);
        QObject::connect(&step, &QTimer::timeout, [&] {
            if (path.isEmpty())
                return; // clicked: the menu is closing
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            const QList<QAction *> actions = menu && menu->isVisible() ? menu->actions() : QList<QAction *>();
            const auto found = std::find_if(actions.begin(), actions.end(),
                                            [&](const QAction *action) { return action->text() == path.first(); });
            if (found == actions.end())
                return;
            const QPoint at = menu->mapToGlobal(menu->actionGeometry(*found).center());
            path.removeFirst();
            QStringList arguments{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())};
            if (path.isEmpty())
                arguments << QStringLiteral("click") << QStringLiteral("1");
            QProcess::execute(QStringLiteral("xdotool"), arguments);
        });
        step.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return path.isEmpty() && !QApplication::activePopupWidget(); }, 5000))
            << "no menu entry " << path.value(0).toStdString();
    }

    void openDrawer()
    {
        hold(QStringLiteral("shift+ctrl+v"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return drawerKeyed(); }, 5000)) << "the drawer did not take the keyboard";
        ASSERT_TRUE(QTest::qWaitFor([&] { return panel->stripPanel().windowOpacity() == 1.0; })) << "still sliding in";
    }
    void closeDrawer()
    {
        hold(QStringLiteral("shift+ctrl+v"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return panelsGone(); }, 5000)) << "the drawer stayed";
    }
    bool panelsGone() const
    {
        return !panel->isVisible() && !menuBarClips->isPanelVisible() && !QGuiApplication::focusWindow();
    }
    bool drawerKeyed() const { return panel->stripPanel().isActiveWindow() && strip()->hasFocus(); }
    ClipStrip *strip() const { return drawer->view().strip(); }
    PinboardBar &bar() const { return *drawer->view().bar(); }

    // The drawer answers the keyboard: a held Right moves the selection.
    void expectKeyboardWorks()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return drawerKeyed(); }, 5000)) << "the drawer lost the keyboard";
        const QUuid before = model->selectedItemID();
        expectNoKeyReachesTheEditor([] { hold(QStringLiteral("Right")); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return model->selectedItemID() != before; }, 3000))
            << "the first key went nowhere";
    }
    void expectNoKeyReachesTheEditor(const std::function<void()> &typing)
    {
        const auto keys = [this] { return editor->lines().filter(QRegularExpression(QStringLiteral("^key "))); };
        const QStringList before = keys();
        typing();
        QTest::qWait(100);
        EXPECT_EQ(keys(), before) << "a key reached the app in front";
    }

    PinboardPtr addPinboard(const QString &name)
    {
        const PinboardPtr board = model->newPinboard();
        board->setName(name);
        model->commitPinboardRename(*board);
        return board;
    }

    TrayStatusItem statusIcon{platform.screens()};
    std::unique_ptr<ChildProcess> editor;
};

// Caps Lock stays as the test found it, whatever fails.
class LockKey
{
public:
    explicit LockKey(bool on)
        : m_on(on)
    {
        toggle();
    }
    ~LockKey() { toggle(); }

private:
    void toggle() const
    {
        if (m_on)
            QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Caps_Lock")});
    }
    bool m_on;
};

TEST_F(X11DrawerKeyboardTest, ShortcutTogglesOnEveryPressFromTheAppInFrontAndFromTheOpenPanel)
{
    struct Case
    {
        const char *name;
        ShortcutTarget target;
        bool capsLock;
    };
    for (const Case &c : {Case{"drawer", ShortcutTarget::drawer, false},
                          Case{"drawer, Caps Lock on", ShortcutTarget::drawer, true},
                          Case{"menu-bar panel", ShortcutTarget::menuBar, false}}) {
        SCOPED_TRACE(c.name);
        defaults.setValue(keys::shortcutTarget, rawValue(c.target));
        const LockKey lock(c.capsLock);
        const auto keyed = [&] {
            return c.target == ShortcutTarget::drawer ? panel->stripPanel().isActiveWindow()
                                                      : menuBarClips->panel()->isActiveWindow();
        };
        const auto gone = [&] { return panelsGone(); };
        for (int press = 1; press <= 10; ++press) {
            hold(QStringLiteral("shift+ctrl+v"));
            const bool shown = press % 2;
            ASSERT_TRUE(QTest::qWaitFor(shown ? std::function<bool()>(keyed) : gone, 5000))
                << "press " << press << " left the panel " << (shown ? "hidden" : "shown");
        }
    }
    // Keys typed into the open drawer stay there.
    defaults.setValue(keys::shortcutTarget, rawValue(ShortcutTarget::drawer));
    openDrawer();
    expectNoKeyReachesTheEditor([] { hold(QStringLiteral("x")); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->searchText() == QStringLiteral("x"); }, 3000));
}

TEST_F(X11DrawerKeyboardTest, ClosingThePreviewLeavesTheDrawerWithTheKeyboard)
{
    defaults.setValue(keys::holdToPreview, true);
    const std::pair<const char *, std::function<void()>> closers[] = {
        {"Space", [] { hold(QStringLiteral("space")); }},
        {"Escape", [] { hold(QStringLiteral("Escape")); }},
        {"releasing a held card", [] { xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}); }},
    };
    for (const auto &[name, close] : closers) {
        SCOPED_TRACE(name);
        openDrawer();
        const bool byMouse = std::string_view(name) == "releasing a held card";
        if (byMouse)
            pointAt(*strip()->cardFor(strip()->visibleClips().front()->id()), QStringLiteral("mousedown 1"));
        else
            hold(QStringLiteral("space"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return panel->previewPanel().isActiveWindow(); }, 5000));
        // Away from the drawer, where the window manager would hand the keyboard on.
        if (!byMouse)
            mouse({QStringLiteral("10"), QStringLiteral("10")});
        close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return panel->previewPanel().isHidden(); }, 5000));
        expectKeyboardWorks();
        EXPECT_TRUE(panel->isVisible());
        closeDrawer();
    }
}

TEST_F(X11DrawerKeyboardTest, ReturnInTheTitleFieldRenamesWithoutPasting)
{
    const std::pair<const char *, std::function<void()>> starters[] = {
        {"Ctrl+R", [] { hold(QStringLiteral("ctrl+r")); }},
        {"Rename…",
         [this] {
             pointAt(*strip()->cardFor(strip()->visibleClips().front()->id()), QStringLiteral("click 3"));
             choose({QStringLiteral("Rename…")});
         }},
    };
    for (const auto &[name, startRename] : starters) {
        SCOPED_TRACE(name);
        openDrawer();
        const ClipItemPtr clip = strip()->visibleClips().front();
        startRename();
        ASSERT_TRUE(QTest::qWaitFor([&] { return model->renamingItemID() == clip->id(); }, 5000));
        xdotool({QStringLiteral("type"), QStringLiteral("named")});
        hold(QStringLiteral("Return"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return model->renamingItemID().isNull(); }, 5000));
        EXPECT_EQ(clip->title(), QStringLiteral("named"));
        QTest::qWait(300); // a paste would be under way by now
        EXPECT_TRUE(panel->isVisible()) << "Return pasted";
        EXPECT_FALSE(editor->lines().join(' ').contains(QStringLiteral("text "))) << "Return pasted";
        expectKeyboardWorks();
        closeDrawer();
    }
}

TEST_F(X11DrawerKeyboardTest, KeyboardStaysWithTheDrawerAfterTabsAndMenus)
{
    addPinboard(QStringLiteral("Work"));
    addPinboard(QStringLiteral("Home"));
    const auto tab = [this](int index) -> const PinboardTabLabel & { return *bar().tabs().at(index)->label(); };
    // The filter menu comes last: the search it opens stays open and covers the tabs.
    const std::pair<const char *, std::function<void()>> actions[] = {
        {"dragging a tab",
         [&] {
             model->setReorderingPinboards(true); // as after a long press
             const QString first = tab(0).text();
             const QPoint from = tab(0).mapToGlobal(tab(0).rect().center());
             const QPoint to = tab(1).mapToGlobal(tab(1).rect().center());
             QStringList drag{QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                              QStringLiteral("mousedown"), QStringLiteral("1")};
             for (int step = 1; step <= 5; ++step) {
                 const QPoint at = from + (to - from) * step / 5;
                 drag << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mousemove")
                      << QString::number(at.x()) << QString::number(at.y());
             }
             act(drag << QStringLiteral("sleep") << QStringLiteral("0.1") << QStringLiteral("mouseup")
                      << QStringLiteral("1"));
             ASSERT_TRUE(QTest::qWaitFor([&] { return tab(0).text() != first; }, 5000)) << "the tabs kept their order";
         }},
        {"Color",
         [&] {
             pointAt(tab(0), QStringLiteral("click 3"));
             choose({QStringLiteral("Color"), QStringLiteral("Green")});
         }},
        {"Delete Pinboard",
         [&] {
             pointAt(tab(0), QStringLiteral("click 3"));
             choose({QStringLiteral("Delete Pinboard")});
             ASSERT_TRUE(QTest::qWaitFor([&] { return bar().tabs().size() == 1; }, 5000));
         }},
        {"filter menu",
         [&] {
             pointAt(*bar().searchButton(), QStringLiteral("click 1"));
             ASSERT_TRUE(QTest::qWaitFor([&] { return bar().searchPill() && bar().searchPill()->isVisible(); }, 5000));
             pointAt(bar().searchPill()->filterButton(), QStringLiteral("click 1"));
             choose({QStringLiteral("Text")});
         }},
    };
    for (const auto &[name, action] : actions) {
        SCOPED_TRACE(name);
        openDrawer();
        action();
        expectKeyboardWorks();
        closeDrawer();
    }
}

} // namespace

// The app menu shows Ctrl+Q; in the drawer it once did nothing.
TEST_F(X11DrawerKeyboardTest, CtrlQQuitsFromTheDrawer)
{
    EXPECT_TRUE(quitsWhile([this] {
        openDrawer();
        hold(QStringLiteral("ctrl+q"));
    }));
}
