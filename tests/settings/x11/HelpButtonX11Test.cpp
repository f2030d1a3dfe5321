#include "settings/HelpButton.h"

#include <QFrame>
#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;

// On the real X server, where a pop-up has no frame of its own.

TEST(HelpButtonX11Test, ThePopoverOpensInsideTheWindowBelowTheButtonOrAboveItNearTheBottom)
{
    const struct {
        const char *where;
        int buttonTop;
        bool above;
    } places[] = {{"near the top", 20, false}, {"near the bottom", 360, true}};
    for (const auto &place : places) {
        QWidget window;
        window.setGeometry(200, 150, 420, 400);
        auto *help = new HelpButton(QStringLiteral("Topic"), [] {
            return QStringList{QStringLiteral("A first paragraph long enough to take two lines or three in the popover."),
                               QStringLiteral("A second one, much as long, so that the popover is well over a hundred "
                                              "pixels high.")};
        }, &window);
        help->move(380, place.buttonTop);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        help->click();
        auto *popover = help->findChild<QFrame *>();
        ASSERT_TRUE(popover && popover->isVisible()) << place.where;
        const QRect shown = popover->geometry();
        const QRect button(help->mapToGlobal(QPoint(0, 0)), help->size());
        EXPECT_TRUE(window.frameGeometry().contains(shown)) << place.where;
        EXPECT_EQ(shown.bottom() < button.top(), place.above) << place.where;
        EXPECT_EQ(shown.top() > button.bottom(), !place.above) << place.where;
    }
}
