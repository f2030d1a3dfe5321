#include "drawer/SyncIndicator.h"

#include "app/AppModelFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

namespace tamo {
namespace {

using Kind = SyncStatus::Kind;

class SyncIndicatorTest : public testing::AppModelFixture
{
};

TEST_F(SyncIndicatorTest, FollowsTheStatusAndTakesNoSpaceWhileOff)
{
    const QDateTime now = model().clock().now();
    const struct
    {
        SyncStatus status;
        bool shown;
        const char *symbol;
        const char *toolTip;
        bool syncNowEnabled;
    } cases[] = {
        {SyncStatus::of(Kind::off), false, "", "", false},
        {SyncStatus::upToDate(now.addSecs(-40)), true, "checkmark.icloud.fill", "Up to date · synced 40 seconds ago", true},
        {SyncStatus::failed(QStringLiteral("Disk full.")), true, "exclamationmark.icloud.fill", "Sync failed: Disk full.", true},
        {SyncStatus::of(Kind::noAccount), true, "icloud.slash",
         "To sync, have a file-sync engine keep the sync folder ~/Sync/TamoCove in step", false},
        {SyncStatus::of(Kind::syncing), true, "arrow.triangle.2.circlepath.icloud", "Writing to the sync folder · started now\nLast synced now", true},
    };
    QWidget bar;
    SyncIndicator indicator(model(), 30, SyncIndicator::Look::circle, &bar);
    bar.show();
    for (const auto &c : cases) {
        ext.syncStatus = c.status;
        ext.syncChanged();
        EXPECT_EQ(indicator.isVisible(), c.shown) << c.symbol;
        if (!c.shown)
            continue;
        EXPECT_EQ(indicator.symbolName(), QLatin1String(c.symbol));
        EXPECT_EQ(indicator.toolTip(), QString::fromUtf8(c.toolTip));
        emit indicator.menu()->aboutToShow();
        const QList<QAction *> actions = indicator.menu()->actions();
        ASSERT_GE(actions.size(), 3);
        EXPECT_EQ(actions.at(actions.size() - 2)->text(), QStringLiteral("Sync Now"));
        EXPECT_EQ(actions.at(actions.size() - 2)->isEnabled(), c.syncNowEnabled) << c.symbol;
        EXPECT_EQ(actions.last()->text(), QStringLiteral("Sync Settings…"));
    }
    ext.log.clear();
    indicator.menu()->actions().last()->trigger();
    EXPECT_EQ(ext.log, QStringList({"drawer.hide", "settings:0"})) << "the General page, which holds sync";
}

TEST_F(SyncIndicatorTest, ItsMenuLeavesTheKeyboardWhereItWas)
{
    ext.syncStatus = SyncStatus::upToDate(model().clock().now()); // standing still
    QWidget bar;
    auto *field = new QLineEdit(&bar);
    auto *indicator = new SyncIndicator(model(), 30, SyncIndicator::Look::glass, &bar);
    indicator->move(200, 0);
    bar.show();
    bar.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&bar));
    field->setFocus();
    const QImage before = indicator->grab().toImage();
    QTimer::singleShot(100, indicator->menu(), &QMenu::close);
    QTest::mouseClick(indicator, Qt::LeftButton);
    EXPECT_FALSE(indicator->hasFocus());
    EXPECT_TRUE(field->hasFocus());
    // The pointer is still over it when the menu closes: no frame for that either.
    QTest::mouseMove(indicator);
    QCoreApplication::processEvents();
    EXPECT_TRUE(indicator->underMouse());
    EXPECT_EQ(indicator->grab().toImage(), before);
}

TEST_F(SyncIndicatorTest, ALongFailureStaysWhollyOnANarrowScreen)
{
    const QString failure = QStringLiteral("A sync file from “a-host-with-a-long-name” was refused: damaged: its checksum "
                                           "does not match & more. File: devices/0f0e0d0c-0b0a-4908-8706-050403020100/"
                                           "seg-000000042.jsonl");
    ext.syncStatus = SyncStatus::failed(failure);
    QWidget bar;
    SyncIndicator indicator(model(), 30, SyncIndicator::Look::circle, &bar);
    ext.syncChanged();
    emit indicator.menu()->aboutToShow();
    QStringList shown;
    for (QAction *action : indicator.menu()->actions()) {
        if (action->isSeparator())
            break;
        shown.append(action->text().replace(QLatin1String("&&"), QLatin1String("&")));
    }
    EXPECT_GT(shown.size(), 1) << "wrapped";
    const auto withoutSpaces = [](QString text) { return text.remove(QLatin1Char(' ')); };
    EXPECT_EQ(withoutSpaces(shown.join(QString())), withoutSpaces(QStringLiteral("Sync failed: ") + failure))
        << "nothing cut off";
    EXPECT_LT(indicator.menu()->sizeHint().width(), 700);
    for (const QString &line : indicator.toolTip().split(QLatin1Char('\n')))
        EXPECT_LE(QFontMetrics(QToolTip::font()).horizontalAdvance(line), 560) << qPrintable(line);
}

} // namespace
} // namespace tamo
