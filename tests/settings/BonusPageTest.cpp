#include "SettingsFixture.h"

#include "app/GlobalHotKeyRegistry.h"
#include "model/SettingsKeys.h"
#include "platform/KeyCodes.h"
#include "settings/BonusPage.h"
#include "settings/HelpButton.h"
#include "settings/InputSourceRulesList.h"
#include "settings/StatusBadge.h"
#include "settings/ShortcutRecorder.h"
#include "settings/WindowSizeRows.h"

#include <QAccessible>
#include <QComboBox>
#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QWheelEvent>

using namespace tamo;
using namespace tamo::testing;

TEST_F(SettingsFixture, BonusToolShortcutsAreHeldOnlyWhileTheToolIsOn)
{
    startedModel();
    BonusPage page(environment());
    page.show();
    EXPECT_FALSE(isShown(page, QStringLiteral("Shortcut")));
    EXPECT_EQ(row(page, QStringLiteral("Window Size"))->description(),
              QStringLiteral("Press Super+Ctrl+Z to give the window you're using your favorite size for this screen, centered."));

    click(control<SwitchToggle>(page, QStringLiteral("Window Size")));
    EXPECT_TRUE(defaults.boolValue(keys::windowSizeEnabled));
    ShortcutRecorder *sizer = nullptr;
    for (ShortcutRecorder *recorder : page.findChildren<ShortcutRecorder *>()) {
        if (!recorder->isHidden() && recorder->isVisibleTo(&page))
            sizer = recorder;
    }
    ASSERT_TRUE(sizer);
    sizer->startRecording();
    QTest::keyClick(sizer, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier); // the main shortcut's
    EXPECT_TRUE(sizer->isRecording());
    QTest::keyClick(sizer, Qt::Key_J, Qt::AltModifier);
    EXPECT_FALSE(sizer->isRecording());
    EXPECT_EQ(defaults.string(keys::windowSizeHotKeyDisplay), QStringLiteral("⌥J"));
    EXPECT_EQ(row(page, QStringLiteral("Window Size"))->description(),
              QStringLiteral("Press Alt+J to give the window you're using your favorite size for this screen, centered."));
    EXPECT_EQ(hotKeys.registered(WindowSizerSlot), std::make_pair(38, int(KeyCodes::OptionKey)));

    click(control<SwitchToggle>(page, QStringLiteral("Window Size")));
    for (ShortcutRecorder *recorder : page.findChildren<ShortcutRecorder *>())
        EXPECT_FALSE(recorder->isVisibleTo(&page));
}

TEST_F(SettingsFixture, InputSourceRulesAreAddedWithTheCurrentLayoutAndKeepWhatTheyCannotRead)
{
    ext.layouts = {{QStringLiteral("us"), QStringLiteral("English (US)")}, {QStringLiteral("de"), QStringLiteral("German")}};
    ext.currentLayout = QStringLiteral("de");
    defaults.setValue(keys::inputSourceByApp, true);
    defaults.setValue(keys::inputSourceRules, QVariantMap{{QStringLiteral("org.example.Old"), QStringLiteral("fr")},
                                                          {QStringLiteral("org.example.Bad"), 42}});
    startedModel();
    BonusPage page(environment());
    auto *rules = page.findChild<InputSourceRulesList *>();
    ASSERT_TRUE(rules);

    appChooser.answer(QStringList{QStringLiteral("org.example.New"), QStringLiteral("org.example.Old"),
                                  QStringLiteral("tamocove")});
    rules->addApps();
    const QVariantMap stored = defaults.dictionary(keys::inputSourceRules);
    EXPECT_EQ(stored.value(QStringLiteral("org.example.New")), QStringLiteral("de")) << "the layout in use";
    EXPECT_EQ(stored.value(QStringLiteral("org.example.Old")), QStringLiteral("fr")) << "a rule keeps its layout";
    EXPECT_EQ(stored.value(QStringLiteral("org.example.Bad")), 42) << "an unreadable rule is kept as it was";
    EXPECT_FALSE(stored.contains(QStringLiteral("tamocove")));

    QStringList menus;
    for (QComboBox *menu : rules->findChildren<QComboBox *>())
        menus.append(menu->currentText());
    EXPECT_TRUE(menus.contains(QStringLiteral("Not available"))) << "fr is not configured";

    appChooser.answer(std::nullopt);
    rules->addApps();
    EXPECT_EQ(defaults.dictionary(keys::inputSourceRules), stored) << "a cancelled chooser writes nothing";

    EXPECT_FALSE(rules->removeButton()->isEnabled());
    rules->select(QStringLiteral("org.example.Old"));
    rules->removeSelectedRule();
    EXPECT_FALSE(defaults.dictionary(keys::inputSourceRules).contains(QStringLiteral("org.example.Old")));
    EXPECT_FALSE(rules->removeButton()->isEnabled());
}

TEST_F(SettingsFixture, ALayoutChosenInARulesPopUpIsStoredOnceAndThePopUpLives)
{
    ext.layouts = {{QStringLiteral("us"), QStringLiteral("English (US)")}, {QStringLiteral("de"), QStringLiteral("German")}};
    defaults.setValue(keys::inputSourceByApp, true);
    const QStringList apps{QStringLiteral("org.example.A"), QStringLiteral("org.example.B")};
    defaults.setValue(keys::inputSourceRules, QVariantMap{{apps[0], QStringLiteral("us")}, {apps[1], QStringLiteral("us")}});
    startedModel();
    BonusPage page(environment());
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    const QList<QComboBox *> menus = page.findChild<InputSourceRulesList *>()->findChildren<QComboBox *>();
    ASSERT_EQ(menus.size(), 2);

    const struct {
        const char *how;
        std::function<void(QComboBox *)> choose;
    } ways[] = {
        {"chosen in the open pop-up",
         [](QComboBox *menu) {
             menu->showPopup();
             QTest::keyClick(menu->view(), Qt::Key_Down);
             QTest::keyClick(menu->view(), Qt::Key_Return);
         }},
        {"a wheel notch over the pop-up it was tabbed to",
         [](QComboBox *menu) {
             menu->setFocus(Qt::TabFocusReason);
             const QPointF at = menu->rect().center();
             QWheelEvent notch(at, menu->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
             QApplication::sendEvent(menu, &notch);
         }},
    };
    for (int i = 0; i < 2; ++i) {
        QSignalSpy writes(&defaults, &Defaults::valueChanged);
        ways[i].choose(menus[i]);
        EXPECT_EQ(defaults.dictionary(keys::inputSourceRules).value(apps[i]), QStringLiteral("de")) << ways[i].how;
        EXPECT_EQ(writes.count(), 1) << ways[i].how;
        EXPECT_EQ(menus[i]->currentText(), QStringLiteral("German")) << ways[i].how;
    }
    EXPECT_EQ(defaults.dictionary(keys::inputSourceRules).size(), 2);
}

TEST_F(SettingsFixture, TheMiddleClickStatusSaysWhatItWaitsFor)
{
    const struct
    {
        int unreadable;
        int read;
        const char *status;
        const char *description;
    } cases[] = {
        {1, 0, "Waiting for access to the touchpad", "input group"},
        {0, 0, "Waiting for a touchpad", "Connect a touchpad"},
        {0, 1, "Waiting for the display", ""},
    };
    defaults.setValue(keys::threeFingerMiddleClick, true);
    startedModel();
    for (const auto &c : cases) {
        ext.unreadableTouch = c.unreadable;
        ext.readTouch = c.read;
        BonusPage page(environment());
        page.show();
        ASSERT_TRUE(isShown(page, QStringLiteral("Status"))) << c.status;
        EXPECT_EQ(control<StatusBadge>(page, QStringLiteral("Status"))->text(), QString::fromUtf8(c.status));
        const QString description = row(page, QStringLiteral("Status"))->description();
        EXPECT_EQ(description.isEmpty(), !*c.description) << c.status;
        EXPECT_TRUE(description.contains(QString::fromUtf8(c.description))) << c.status;
        click(control<SwitchToggle>(page, QStringLiteral("Three-Finger Middle Click")));
        EXPECT_FALSE(isShown(page, QStringLiteral("Status"))) << c.status;
        click(control<SwitchToggle>(page, QStringLiteral("Three-Finger Middle Click")));
    }
}

namespace {

WindowSizerScreen sizerScreen(const char *id, const char *name, std::optional<QSizeF> size = {}, bool captured = false,
                              bool connected = true)
{
    return {QString::fromUtf8(id), QString::fromUtf8(name), 1920, 1080, size, captured, connected};
}

class BonusPageTest : public PageFixture<BonusPage>
{
protected:
    void SetUp() override { defaults.setValue(keys::windowSizeEnabled, true); }

    BonusPage &shownPage()
    {
        startedModel();
        page().show();
        return page();
    }

    // The row's status line, or why there is none.
    QString status(const char *title) { return row(page(), QString::fromUtf8(title))->description(); }

    template<typename Button>
    Button *rowButton(const char *title)
    {
        FormRow *found = row(page(), QString::fromUtf8(title));
        return found ? found->findChild<Button *>() : nullptr;
    }

    // A row's button acts once the click is over, as it rebuilds the rows.
    void clickRowButton(QAbstractButton *button)
    {
        click(button);
        QCoreApplication::processEvents();
    }

    QList<HelpButton *> helpButtons() { return page().findChildren<HelpButton *>(); }

    FormSection *accessibilitySection()
    {
        FormRow *needed = row(page(), QStringLiteral("Accessibility Needed"));
        return needed ? qobject_cast<FormSection *>(needed->parentWidget()->parentWidget()) : nullptr;
    }
};

constexpr const char *screenA = "Fake Display, 1920 × 1080";

} // namespace

TEST_F(BonusPageTest, AFreshInstallationShowsFourSwitchesOffAndNothingElse)
{
    defaults.setValue(keys::windowSizeEnabled, false);
    ext.sizerScreens = {sizerScreen("A", "Fake Display")};
    shownPage();
    for (const char *title : {"Window Switcher", "Window Size", "Three-Finger Middle Click", "Switch Keyboard Layout by App"})
        EXPECT_FALSE(control<SwitchToggle>(page(), QString::fromUtf8(title))->isChecked()) << title;
    for (const char *title : {"Shortcut", "Show Tabs", "Status", screenA})
        EXPECT_FALSE(isShown(page(), QString::fromUtf8(title))) << title;
    EXPECT_FALSE(page().findChild<InputSourceRulesList *>()->isVisibleTo(&page()));
    EXPECT_FALSE(accessibilitySection()->isVisibleTo(&page()));
    EXPECT_EQ(helpButtons().size(), 4);
}

TEST_F(BonusPageTest, EachSwitchStoresItsKeyAndSwitchesItsTool)
{
    const struct {
        const char *title;
        QLatin1StringView key;
        const char *on; // what the tool is told, "" for nothing
        const char *off;
    } switches[] = {
        {"Window Switcher", keys::windowSwitcherEnabled, "switcher.create", "switcher.destroy"},
        {"Show Tabs", keys::windowSwitcherBrowserTabs, "", ""},
        {"Window Size", keys::windowSizeEnabled, "sizer:1", "sizer:0"},
        {"Three-Finger Middle Click", keys::threeFingerMiddleClick, "middleClick:1", "middleClick:0"},
        {"Switch Keyboard Layout by App", keys::inputSourceByApp, "inputSources:1", "inputSources:0"},
    };
    defaults.setValue(keys::windowSizeEnabled, false);
    shownPage();
    for (const auto &expected : switches) {
        for (const bool on : {true, false}) {
            ext.log.clear();
            click(control<SwitchToggle>(page(), QString::fromUtf8(expected.title)));
            EXPECT_EQ(defaults.boolValue(expected.key), on) << expected.title;
            EXPECT_EQ(control<SwitchToggle>(page(), QString::fromUtf8(expected.title))->isChecked(), on) << expected.title;
            const QString told = QString::fromUtf8(on ? expected.on : expected.off);
            if (!told.isEmpty()) {
                EXPECT_TRUE(ext.log.contains(told)) << expected.title << ext.log.join(u' ').toStdString();
            }
        }
        if (expected.key == keys::windowSwitcherEnabled)
            click(control<SwitchToggle>(page(), QString::fromUtf8(expected.title))); // on, for Show Tabs
    }
}

TEST_F(BonusPageTest, TheAccessibilitySectionShowsOnlyForAToolThatNeedsWhatIsMissing)
{
    const struct {
        QLatin1StringView key;
        bool trusted;
        bool shown;
    } cases[] = {
        {keys::windowSwitcherEnabled, false, true},
        {keys::threeFingerMiddleClick, false, true},
        {keys::windowSizeEnabled, false, true},
        {keys::inputSourceByApp, false, false},
        {keys::windowSwitcherEnabled, true, false},
    };
    defaults.setValue(keys::windowSizeEnabled, false);
    shownPage();
    for (const auto &tool : cases) {
        accessibility.trusted = tool.trusted;
        model().refreshPermissions();
        defaults.setValue(tool.key, true);
        EXPECT_EQ(accessibilitySection()->isVisibleTo(&page()), tool.shown) << tool.key.data() << tool.trusted;
        defaults.setValue(tool.key, false);
        EXPECT_FALSE(accessibilitySection()->isVisibleTo(&page()));
    }
    defaults.setValue(keys::windowSizeEnabled, true);
    accessibility.trusted = false;
    model().refreshPermissions();
    ASSERT_TRUE(accessibilitySection()->isVisibleTo(&page()));
    accessibility.trusted = true;
    model().refreshPermissions(); // the one-second poll
    EXPECT_FALSE(accessibilitySection()->isVisibleTo(&page()));
}

TEST_F(BonusPageTest, EachScreenRowSaysWhichSizeTheSizerGives)
{
    const struct {
        WindowSizerScreen screen;
        const char *title;
        const char *status;
        bool canUse;
        bool canReset;
    } rows[] = {
        {sizerScreen("A", "Built-in", QSizeF(1200.7, 800.2), true), "Built-in, 1920 × 1080", "1200 × 800", true, true},
        {sizerScreen("B", "Left", QSizeF(1152, 944)), "Left, 1920 × 1080", "1152 × 944, fitted", true, true},
        {sizerScreen("C", "Right"), "Right, 1920 × 1080", "Fitted size", true, false},
        {sizerScreen("D", "Projector", QSizeF(qInf(), 10), true, false), "Projector, 1920 × 1080", "Fitted size", false, true},
    };
    for (const auto &expected : rows)
        ext.sizerScreens.append(expected.screen);
    shownPage();
    for (const auto &expected : rows) {
        EXPECT_EQ(status(expected.title), QString::fromUtf8(expected.status)) << expected.title;
        EXPECT_EQ(rowButton<QPushButton>(expected.title)->isEnabled(), expected.canUse) << expected.title;
        EXPECT_EQ(rowButton<QToolButton>(expected.title)->isEnabled(), expected.canReset) << expected.title;
    }

    clickRowButton(rowButton<QToolButton>("Projector, 1920 × 1080"));
    EXPECT_EQ(page().windowSizeRows().screens().size(), 3) << "a forgotten screen that is not attached leaves the list";
    clickRowButton(rowButton<QToolButton>("Left, 1920 × 1080"));
    EXPECT_EQ(status("Left, 1920 × 1080"), QStringLiteral("Fitted size"));
    EXPECT_FALSE(rowButton<QToolButton>("Left, 1920 × 1080")->isEnabled());

    click(control<SwitchToggle>(page(), QStringLiteral("Window Size")));
    EXPECT_FALSE(isShown(page(), QStringLiteral("Built-in, 1920 × 1080")));
    EXPECT_FALSE(ext.log.filter(QStringLiteral("sizer.forget")).contains(QStringLiteral("sizer.forget:A")))
        << "switching the sizer off keeps its sizes";
}

TEST_F(BonusPageTest, AFailedCaptureNotesWhyOnItsRowForThreeSeconds)
{
    ext.sizerScreens = {sizerScreen("A", "Fake Display"), sizerScreen("B", "Side")};
    constexpr const char *screenB = "Side, 1920 × 1080";
    shownPage();
    accessibility.trusted = false;
    model().refreshPermissions();
    QElapsedTimer sinceA;
    sinceA.start();
    clickRowButton(rowButton<QPushButton>(screenA));
    EXPECT_EQ(status(screenA), QStringLiteral("This display lacks the XTest extension TamoCove needs"));
    accessibility.trusted = true;
    model().refreshPermissions();
    EXPECT_EQ(status(screenA), QStringLiteral("No window on this screen to take the size from"));

    // B fails two thirds of the way through A's note, which leaves a wide
    // margin between the end of A's note and that of B's.
    QTest::qWait(WindowSizeRows::noteMs * 2 / 3);
    clickRowButton(rowButton<QPushButton>(screenB));
    EXPECT_EQ(status(screenA), QStringLiteral("Fitted size")) << "the note moved";
    EXPECT_EQ(status(screenB), QStringLiteral("No window on this screen to take the size from"));
    QTest::qWait(int(WindowSizeRows::noteMs + 100 - sinceA.elapsed()));
    EXPECT_EQ(status(screenB), QStringLiteral("No window on this screen to take the size from"))
        << "the first failure's clearing leaves the second note";
    EXPECT_TRUE(QTest::qWaitFor([&] { return status(screenB) == QStringLiteral("Fitted size"); }, WindowSizeRows::noteMs));

    clickRowButton(rowButton<QPushButton>(screenA));
    ext.windowToCapture = QSizeF(1000, 700);
    clickRowButton(rowButton<QPushButton>(screenA));
    EXPECT_EQ(status(screenA), QStringLiteral("1000 × 700")) << "a capture clears the note at once";
    EXPECT_EQ(ext.log.filter(QStringLiteral("sizer.capture")).size(), 4);
}

TEST_F(BonusPageTest, TheRowsFollowTheScreens)
{
    ext.sizerScreens = {sizerScreen("A", "Fake Display")};
    shownPage();
    ext.sizerScreens.append(sizerScreen("B", "Side"));
    screens.setScreens({FakeScreens::oneScreen(), FakeScreens::oneScreen()});
    EXPECT_TRUE(isShown(page(), QStringLiteral("Side, 1920 × 1080")));
}

TEST_F(BonusPageTest, HelpNamesTheShortcutOfNowAndClosesOnASecondClick)
{
    defaults.setValue(keys::windowSwitcherHotKeyDisplay, QStringLiteral("⌃⌥K"));
    shownPage();
    const struct {
        const char *topic;
        int texts;
        const char *first;
    } sections[] = {
        {"Window Switcher Help", 3, "Press Super+Alt+K to list every open window"},
        {"Window Size Help", 3, "Size a window the way you like it"},
        {"Middle Click Help", 2, "On a touchpad or multitouch mouse"},
        {"Keyboard Layout by App Help", 3, "Give an app its own keyboard language"},
    };
    const QList<HelpButton *> buttons = helpButtons();
    ASSERT_EQ(buttons.size(), 4);
    for (int i = 0; i < 4; ++i) {
        HelpButton *help = buttons[i];
        EXPECT_EQ(help->accessibleName(), QString::fromUtf8(sections[i].topic));
        click(help);
        ASSERT_TRUE(help->isShowingHelp()) << sections[i].topic;
        const QStringList texts = help->shownTexts();
        EXPECT_EQ(texts.size(), sections[i].texts) << sections[i].topic;
        EXPECT_TRUE(texts.value(0).startsWith(QString::fromUtf8(sections[i].first))) << texts.value(0).toStdString();
        click(help);
        EXPECT_FALSE(help->isShowingHelp()) << sections[i].topic;
    }
    EXPECT_TRUE(buttons[0]->isVisibleTo(&page())) << "help is there while the tool is off";
}

TEST_F(BonusPageTest, EveryControlOfTheFullPageHasAName)
{
    for (const QLatin1StringView key : {keys::windowSwitcherEnabled, keys::threeFingerMiddleClick, keys::inputSourceByApp})
        defaults.setValue(key, true);
    ext.sizerScreens = {sizerScreen("A", "Fake Display", QSizeF(800, 600))};
    ext.layouts = {{QStringLiteral("us"), QStringLiteral("English (US)")}};
    defaults.setValue(keys::inputSourceRules, QVariantMap{{QStringLiteral("org.example.App"), QStringLiteral("us")}});
    shownPage();
    int named = 0;
    for (QWidget *widget : page().findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(&page()) || !(qobject_cast<QAbstractButton *>(widget) || qobject_cast<QComboBox *>(widget)))
            continue;
        // The name a screen reader is given, as the accessibility bridge reads it.
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_TRUE(accessible);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << widget->metaObject()->className();
        ++named;
    }
    EXPECT_GE(named, 14);
}
