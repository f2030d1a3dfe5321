#include "../SettingsFixture.h"

#include "model/SettingsKeys.h"
#include "settings/PreferencesWindow.h"
#include "settings/PreferencesWindowController.h"
#include "settings/StandardPages.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr int wheelUp = 4;
constexpr int wheelDown = 5;

// The settings window on the real X server, every page long enough to
// scroll, and a mouse wheel turned by xdotool as a person turns it.
class WheelOverSettingsX11Test : public SettingsFixture
{
protected:
    void SetUp() override
    {
        ext.layouts = {{QStringLiteral("us"), QStringLiteral("English (US)")}, {QStringLiteral("de"), QStringLiteral("German")}};
        for (const QLatin1StringView key : {keys::inputSourceByApp, keys::windowSwitcherEnabled, keys::windowSizeEnabled,
                                            keys::threeFingerMiddleClick, keys::showMenuBarIcon, keys::menuBarRecentClips})
            defaults.setValue(key, true);
        defaults.setValue(keys::directPaste, false);
        defaults.setValue(keys::inputSourceRules, QVariantMap{{QStringLiteral("org.example.App"), QStringLiteral("us")}});
        startedModel();
        controller.setPages(standardSettingsPages(environment()));
    }

    // The shown value control with that accessible name on `page`.
    QWidget *openOn(SettingsPage page, const QString &name)
    {
        controller.showPreferences(int(page));
        PreferencesWindow *window = controller.window();
        if (!QTest::qWaitForWindowExposed(window))
            return nullptr;
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            const bool valueControl = qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractSlider *>(widget);
            if (valueControl && widget->accessibleName() == name && widget->isVisible())
                return widget;
        }
        return nullptr;
    }
    QScrollArea *pageArea() const { return controller.window()->findChild<QScrollArea *>(); }

    // One notch with the pointer over the middle of `control`.
    static void turnWheelOver(QWidget *control, int button)
    {
        const QPoint at = control->mapToGlobal(control->rect().center());
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()),
                                                  QString::number(at.y()), QStringLiteral("click"),
                                                  QString::number(button)});
        EXPECT_TRUE(QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 5000));
    }

    static QVariant shown(QWidget *control)
    {
        if (auto *menu = qobject_cast<QComboBox *>(control))
            return menu->currentIndex();
        return qobject_cast<QAbstractSlider *>(control)->value();
    }

    PreferencesWindowController controller;
};

} // namespace

TEST_F(WheelOverSettingsX11Test, TheWheelOverAControlScrollsThePageAndChangesNothing)
{
    const struct {
        SettingsPage page;
        const char *control;
        QLatin1StringView key;
    } controls[] = {
        {SettingsPage::general, "History Capacity", keys::historyCapacity},
        {SettingsPage::general, "Paste Notice", keys::pasteNotice},
        {SettingsPage::tamos, "Card Size", keys::cardScale},
        {SettingsPage::tamos, "Font Size", keys::cardTextScale},
        {SettingsPage::tamos, "Panel Size", keys::menuBarVisibleCards},
        {SettingsPage::shortcuts, "The Shortcut Opens", keys::shortcutTarget},
        {SettingsPage::bonus, "Keyboard Layout", keys::inputSourceRules},
    };
    for (const auto &expected : controls) {
        SCOPED_TRACE(expected.control);
        QWidget *control = openOn(expected.page, QString::fromUtf8(expected.control));
        ASSERT_TRUE(control);
        pageArea()->ensureWidgetVisible(control, 0, 60);
        QScrollBar *bar = pageArea()->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0) << "the page is too short to scroll";
        const int scrolled = bar->value();
        const QVariant before = shown(control);
        const QVariant stored = defaults.value(expected.key);

        turnWheelOver(control, scrolled < bar->maximum() ? wheelDown : wheelUp);
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() != scrolled; }, 5000)) << "the page did not scroll";
        EXPECT_EQ(shown(control), before);
        EXPECT_EQ(defaults.value(expected.key), stored);
    }
}

TEST_F(WheelOverSettingsX11Test, AControlTabbedToTakesTheWheel)
{
    defaults.setValue(keys::cardScale, 1.4); // away from 100%, where small moves snap back
    QWidget *cardSize = openOn(SettingsPage::tamos, QStringLiteral("Card Size"));
    ASSERT_TRUE(cardSize);
    pageArea()->ensureWidgetVisible(cardSize, 0, 60);
    controller.window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller.window()));
    cardSize->setFocus(Qt::TabFocusReason);
    const int scrolled = pageArea()->verticalScrollBar()->value();
    const double stored = defaults.doubleValue(keys::cardScale);

    turnWheelOver(cardSize, wheelUp);
    EXPECT_TRUE(QTest::qWaitFor([&] { return defaults.doubleValue(keys::cardScale) != stored; }, 5000));
    EXPECT_EQ(pageArea()->verticalScrollBar()->value(), scrolled);
}
