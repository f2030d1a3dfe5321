#include "AppModelFixture.h"
#include "support/FileMode.h"
#include "support/StoreHeldElsewhere.h"
#include "support/WarningLog.h"

#include "app/WaitingCopies.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

using namespace tamo;
using namespace tamo::testing;

namespace {

QString storeFile(const QString &folder)
{
    return QDir(folder).filePath(QLatin1String(ModelContainer::syncedStoreName));
}

QStringList newestFirst(ModelContext &context)
{
    QStringList texts;
    for (const ClipItemPtr &clip : context.fetch<ClipItem>(FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false)))
        texts.append(clip->text().value_or(QString()));
    return texts;
}

qsizetype linesSaying(const WarningLog &log, const QString &words)
{
    return std::count_if(log.messages().cbegin(), log.messages().cend(),
                         [&](const QString &line) { return line.contains(words); });
}

} // namespace

class WaitingCopiesTest : public AppModelFixture
{
protected:
    // Copies as the capture queue hands them on after a busy turn: all at once.
    QStringList copyAtOnce(AppModel &app, int count, qsizetype length = 0)
    {
        QStringList texts;
        for (int i = 0; i < count; ++i) {
            clock.advance(1000);
            QString text = QStringLiteral("copy %1 ").arg(i);
            text += QString(std::max<qsizetype>(0, length - text.size()), QLatin1Char('x'));
            app.ingest(ClipDraft::fromText(text));
            texts.prepend(text);
        }
        return texts;
    }
};

// Each copy behind a held store waited for the lock on the main thread, one
// after the other: thirty copies froze the window for three seconds.
TEST_F(WaitingCopiesTest, CopiesBehindAHeldStoreCostTheMainThreadOneWaitAndArriveInCopyOrder)
{
    ModelContext &context = model().container().mainContext();
    StoreHeldElsewhere other(storeFile(storeDir.path()), QStringLiteral("BEGIN IMMEDIATE;"));
    WarningLog warnings;
    const QStringList copies = copyAtOnce(model(), 12);
    QCoreApplication::processEvents();
    EXPECT_EQ(linesSaying(warnings, QStringLiteral("could not save a copied clip yet")), 1) << warnings.text();
    EXPECT_FALSE(context.hasChanges()) << "a waiting copy is held by the main context";

    other.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return context.fetchCount<ClipItem>() == copies.size(); }, 30'000));
    EXPECT_EQ(newestFirst(context), copies);
    EXPECT_TRUE(alerts.shown().isEmpty());
}

// The main thread's wait for a held store must end long before the holder
// lets go: a wait of seconds there is a frozen window.
TEST_F(WaitingCopiesTest, TheMainThreadStopsWaitingForAHeldStoreLongBeforeItIsLetGo)
{
    ModelContext &context = model().container().mainContext();
    StoreHeldElsewhere other(storeFile(storeDir.path()), QStringLiteral("BEGIN IMMEDIATE;"));
    other.releaseAfter(1.5);
    model().ingest(ClipDraft::fromText(QStringLiteral("copied while held")));
    EXPECT_EQ(context.fetchCount<ClipItem>(), 0) << "the main thread waited until the store was let go";
    EXPECT_TRUE(QTest::qWaitFor([&] { return context.fetchCount<ClipItem>() == 1; }, 30'000));
}

// 18 copies of 15 MB behind a held store took 594 MB; a quit meanwhile lost
// them.
TEST_F(WaitingCopiesTest, CopiesPastTheMemoryBudgetWaitInPrivateFilesThatOutliveAQuit)
{
    constexpr qsizetype length = 6 * 1024 * 1024; // 12 MB each in memory
    constexpr int count = 8;
    const QString folder = QDir(storeDir.path()).filePath(QLatin1String(WaitingCopies::folderName));
    QStringList copies;
    { ModelContainer created(storeDir.path()); }
    {
        StoreHeldElsewhere other(storeFile(storeDir.path()), QStringLiteral("BEGIN IMMEDIATE;"));
        AppModel app(services(), storeDir.path(), ext.extensions());
        copies = copyAtOnce(app, count, length);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !QDir(folder).isEmpty(QDir::Files); }, 30'000));
        EXPECT_EQ(modeOf(folder), 0700u);
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
            EXPECT_EQ(modeOf(file.filePath()), 0600u) << file.fileName().toStdString();
        WarningLog warnings;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        EXPECT_EQ(linesSaying(warnings, QStringLiteral("%1 copied clips still wait for the store").arg(count)), 1)
            << warnings.text();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), count);
    }
    AppModel next(services(), storeDir.path(), ext.extensions());
    ModelContext &context = next.container().mainContext();
    ASSERT_TRUE(QTest::qWaitFor([&] { return context.fetchCount<ClipItem>() == count; }, 60'000));
    EXPECT_EQ(newestFirst(context), copies);
    EXPECT_TRUE(QDir(folder).isEmpty());
}
