#include "platform/TrayStatusItem.h"

#include "support/FakeScreens.h"

#include <QPixmap>
#include <gtest/gtest.h>

// The offscreen platform has no status area, like a desktop without a tray.
TEST(TrayStatusItem, WithoutAStatusAreaItIsUnavailableAndAnchorsAtThePointer)
{
    tamo::testing::FakeScreens screens;
    screens.setPointerLocation(QPointF(640, 1070));
    tamo::TrayStatusItem item(screens);

    EXPECT_FALSE(item.isAvailable());
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::black);
    item.setIcon(QIcon(pixmap));
    item.setVisible(true);
    EXPECT_EQ(item.anchor(), QRectF(640, 1070, 0, 0));
}
