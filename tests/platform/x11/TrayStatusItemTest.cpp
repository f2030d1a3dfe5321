#include "RunCommand.h"
#include "platform/TrayStatusItem.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Screens.h"

#include <QPixmap>
#include <QSignalSpy>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace tamo;

// trayer is an XEmbed status area, which tells its icons where they sit.
TEST(TrayStatusItemOnX11, AnchorsAtTheIconAndReportsClicks)
{
    if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
        GTEST_SKIP() << "needs trayer";
    const x11::X11Screens screens(x11::X11Connection::fromApplication());
    TrayStatusItem item(screens);
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkGreen);
    item.setIcon(QIcon(pixmap));

    const tamo::testing::ChildProcess trayer(
        QStringLiteral("trayer"),
        QProcess::splitCommand(QStringLiteral("--edge top --align right --widthtype request --height 24")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return item.isAvailable(); }, 10000));
    item.setVisible(true);
    // Qt learns where the host put the icon a moment after embedding it.
    const QRectF screen = screens.screens().first().frame;
    ASSERT_TRUE(QTest::qWaitFor([&] { return item.anchor().left() > screen.center().x(); }, 10000))
        << "never embedded in the status area at the top right";

    const QRectF anchor = item.anchor();
    EXPECT_EQ(anchor.size(), QSizeF(22, 22));
    EXPECT_TRUE(screen.contains(anchor));
    EXPECT_GT(anchor.bottom(), screen.bottom() - 30) << "the status area is at the top";

    QSignalSpy clicked(&item, &StatusItem::clicked);
    const QPointF centre = screens.geometry().toQt(anchor).center();
    tamo::testing::runCommand(
        QStringLiteral("xdotool mousemove %1 %2 click 1").arg(int(centre.x())).arg(int(centre.y())));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !clicked.isEmpty(); }, 5000));
    item.setVisible(false);
}
