#include "transfer/FolderMirror.h"
#include "transfer/Segment.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ContentHash.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Record.h"
#include "model/Pinboard.h"
#include "model/SourceApp.h"
#include "model/Sqlite.h"
#include "model/StoreMaintenance.h"
#include "support/TempDir.h"
#include "support/WarningLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

namespace tamo {
namespace {

constexpr qint64 now = 1'700'000'000'000;

// One machine: its own store, and a mirror onto the shared folder.
struct Installation
{
    // `copiedFrom`: a store folder copied as it is, as with a home folder
    // restored or copied onto a second computer.
    explicit Installation(const QString &folder, const QString &copiedFrom = {})
        : container((copyStore(copiedFrom, dir.path()), dir.path()))
    {
        container.enableChangeTracking();
        mirror = std::make_unique<FolderMirror>(dir.file(QStringLiteral("Tamo.store")), folder);
        EXPECT_EQ(mirror->prepare(QStringLiteral("host")), QString());
    }

    static void copyStore(const QString &from, const QString &to)
    {
        if (from.isEmpty())
            return;
        for (const QString &name : QDir(from).entryList({QStringLiteral("*.store"), QStringLiteral("*.store-wal")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name))) << qPrintable(name);
    }

    // Every file of the store folder that holds `bytes`.
    QStringList filesHolding(const QByteArray &bytes) const
    {
        QStringList holding;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files)) {
            if (testing::readFile(dir.file(name)).contains(bytes))
                holding.append(name);
        }
        return holding;
    }

    ModelContext &context() { return container.mainContext(); }

    ClipItemPtr clip(const QString &text)
    {
        for (const ClipItemPtr &clip : context().fetch<ClipItem>()) {
            if (clip->text() == text)
                return clip;
        }
        return nullptr;
    }

    // The synced tables without row numbers, in record order.
    QStringList dump()
    {
        sql::Database db;
        db.open(dir.file(QStringLiteral("Tamo.store")));
        QStringList rows;
        for (const char *table : {"ClipItem", "Pinboard", "SourceApp"}) {
            const EntitySpec &entity = *syncedEntity(QString::fromLatin1(table));
            QStringList columns{QStringLiteral("recordID")};
            for (const ColumnSpec &column : entity.columns)
                columns.append(QLatin1String(column.name));
            sql::Statement statement = db.prepare(
                QStringLiteral("SELECT %1 FROM %2 ORDER BY recordID").arg(columns.join(QLatin1Char(',')), QLatin1String(table)));
            while (statement.step()) {
                QStringList row{QLatin1String(table)};
                for (int c = 0; c < columns.size(); ++c)
                    row.append(statement.isNull(c) ? QStringLiteral("NULL") : statement.text(c));
                rows.append(row.join(QLatin1Char('|')));
            }
        }
        return rows;
    }

    testing::TempDir dir;
    ModelContainer container;
    std::unique_ptr<FolderMirror> mirror;
};

class TwoInstallations : public ::testing::Test
{
protected:
    // Both export, then both import and rewrite what deletions left, as a
    // file-sync engine in between would allow.
    void pump(qint64 wallA = now, qint64 wallB = now)
    {
        EXPECT_EQ(a.mirror->exportChanges(wallA).error, QString());
        EXPECT_EQ(b.mirror->exportChanges(wallB).error, QString());
        EXPECT_TRUE(a.mirror->importChanges().failures.isEmpty());
        EXPECT_TRUE(b.mirror->importChanges().failures.isEmpty());
        EXPECT_EQ(a.mirror->eraseDeleted(wallA), QString());
        EXPECT_EQ(b.mirror->eraseDeleted(wallB), QString());
    }

    void addClip(Installation &side, const QString &text)
    {
        side.context().insert(std::make_shared<ClipItem>(ClipDraft::fromText(text), QDateTime::fromMSecsSinceEpoch(now)));
        save(side);
    }

    void setTitle(Installation &side, const QString &text, const QString &title)
    {
        side.clip(text)->setTitle(title);
        save(side);
    }

    QStringList folderFiles() const
    {
        QStringList files;
        for (QDirIterator it(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            files.append(it.next());
        return files;
    }

    // Writes the segment again with its changes as `change` leaves them.
    static void rewriteSegment(const QString &path, const std::function<void(Segment &)> &change)
    {
        const QString device = QFileInfo(path).dir().dirName();
        const qint64 sequence = QFileInfo(path).completeBaseName().section(QLatin1Char('-'), 1).toLongLong();
        SegmentRead read = readSegment(testing::readFile(path), device, sequence);
        ASSERT_EQ(read.result, SegmentRead::Result::complete);
        change(read.segment);
        testing::writeFile(path, read.segment.encode());
    }

    // The changes of every segment a machine wrote.
    QList<SyncChange> writtenBy(Installation &side) const
    {
        const SyncFolder shared(folder.path());
        const QString device = side.mirror->device();
        QList<SyncChange> changes;
        for (const qint64 sequence : shared.segments(device)) {
            const SegmentRead read =
                readSegment(testing::readFile(shared.segmentFile(device, sequence)), device, sequence);
            EXPECT_EQ(read.result, SegmentRead::Result::complete) << sequence;
            changes += read.segment.changes;
        }
        return changes;
    }

    void save(Installation &side) { ASSERT_TRUE(side.context().save()) << qPrintable(side.context().lastError()); }

    testing::TempDir folder;
    Installation a{folder.path()};
    Installation b{folder.path()};
};

TEST_F(TwoInstallations, EveryKindOfChangeReachesTheOtherMachine)
{
    const struct
    {
        const char *name;
        std::function<void(Installation &)> change;
    } steps[] = {
        {"create", [](Installation &side) {
             side.context().insert(std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("one")), QDateTime::currentDateTime()));
             side.context().insert(std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("two")), QDateTime::currentDateTime()));
         }},
        {"title and keywords", [](Installation &side) {
             side.clip(QStringLiteral("one"))->setTitle(QStringLiteral("First"));
             side.clip(QStringLiteral("one"))->setKeywords({QStringLiteral("k1"), QStringLiteral("k2")});
         }},
        {"pinboard and pin", [](Installation &side) {
             auto board = std::make_shared<Pinboard>(QStringLiteral("Work"), 3, 0);
             side.context().insert(board);
             side.clip(QStringLiteral("two"))->setPin(board->id(), QDateTime::fromMSecsSinceEpoch(now));
         }},
        {"source app with icon", [](Installation &side) {
             side.context().insert(std::make_shared<SourceApp>(QStringLiteral("org.gnome.gedit"), QStringLiteral("Text Editor"),
                                                               QByteArray("icon png"), QStringLiteral("#336699")));
         }},
        {"deletion", [](Installation &side) { side.context().remove(side.clip(QStringLiteral("one"))); }},
    };
    for (const auto &step : steps) {
        step.change(a);
        save(a);
        pump();
        EXPECT_EQ(b.dump(), a.dump()) << step.name;
    }
    EXPECT_EQ(b.dump().size(), 3);
}

TEST_F(TwoInstallations, ClipsSavedWhileSyncWasOffGoOutOnceItIsOn)
{
    addClip(a, QStringLiteral("saved while off"));
    sql::Database db;
    db.open(a.dir.file(QStringLiteral("Tamo.store")));
    db.exec(QStringLiteral("DELETE FROM MirrorOutbox")); // nothing queued them then
    pump();
    EXPECT_TRUE(b.dump().isEmpty());

    ASSERT_EQ(a.mirror->prepare(QStringLiteral("host")), QString()); // the next launch's setup
    pump();
    EXPECT_EQ(b.dump(), a.dump());
    EXPECT_EQ(b.dump().size(), 1);
    ASSERT_EQ(a.mirror->prepare(QStringLiteral("host")), QString());
    EXPECT_EQ(a.mirror->exportChanges(now).changes, 0) << "sent once";
}

TEST_F(TwoInstallations, ConcurrentEditsConvergeAndDeletionsWin)
{
    addClip(a, QStringLiteral("shared"));
    addClip(a, QStringLiteral("doomed"));
    pump();

    setTitle(a, QStringLiteral("shared"), QStringLiteral("from A"));
    setTitle(b, QStringLiteral("shared"), QStringLiteral("from B"));
    setTitle(b, QStringLiteral("doomed"), QStringLiteral("edited"));
    a.context().remove(a.clip(QStringLiteral("doomed")));
    save(a);
    pump(now + 10, now + 20);

    EXPECT_EQ(b.dump(), a.dump());
    EXPECT_EQ(b.dump().size(), 1);
    EXPECT_TRUE(b.dump().constFirst().contains(QStringLiteral("|from B|")));
}

TEST_F(TwoInstallations, ADeletionNotYetExportedWinsOverALaterEditFromElsewhere)
{
    addClip(a, QStringLiteral("doomed"));
    pump();
    a.context().remove(a.clip(QStringLiteral("doomed")));
    save(a);
    setTitle(b, QStringLiteral("doomed"), QStringLiteral("edited later"));
    ASSERT_EQ(b.mirror->exportChanges(now + 10).changes, 1);
    EXPECT_EQ(a.mirror->importChanges().applied, 1) << "imported before the deletion went out";
    EXPECT_TRUE(a.dump().isEmpty());
    pump();
    EXPECT_TRUE(a.dump().isEmpty());
    EXPECT_TRUE(b.dump().isEmpty());
}

TEST_F(TwoInstallations, AMachineWithItsClockBehindStillWinsWithALaterEdit)
{
    addClip(a, QStringLiteral("shared"));
    pump();
    setTitle(b, QStringLiteral("shared"), QStringLiteral("earlier, on time"));
    pump();
    setTitle(a, QStringLiteral("shared"), QStringLiteral("later, an hour behind"));
    pump(now - 3'600'000);
    EXPECT_EQ(b.dump(), a.dump());
    EXPECT_TRUE(b.dump().constFirst().contains(QStringLiteral("|later, an hour behind|")));
}

TEST_F(TwoInstallations, SegmentsAppliedAgainChangeNothingAndDeletedRecordsStayDeleted)
{
    addClip(a, QStringLiteral("kept"));
    addClip(a, QStringLiteral("gone"));
    pump();
    a.context().remove(a.clip(QStringLiteral("gone")));
    save(a);
    pump();
    const QStringList before = b.dump();

    sql::Database db;
    db.open(b.dir.file(QStringLiteral("Tamo.store")));
    db.exec(QStringLiteral("DELETE FROM SyncApplied"));
    EXPECT_EQ(b.mirror->importChanges().applied, 1) << "the snapshot the deletion had A's segments rewritten into";
    EXPECT_EQ(b.dump(), before);
}

TEST_F(TwoInstallations, PartialFilesWaitUntilTheyAreWhole)
{
    auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("rich")), QDateTime::fromMSecsSinceEpoch(now));
    clip->setRtfData(QByteArray("{\\rtf1 rich}"));
    a.context().insert(clip);
    save(a);
    ASSERT_EQ(a.mirror->exportChanges(now).changes, 1);
    const QString segment = SyncFolder(folder.path()).segmentFile(a.mirror->device(), 1);
    const QString blob = SyncFolder(folder.path()).blobFile(a.mirror->device(), blobNameOf("{\\rtf1 rich}"));
    QFile segmentFile(segment);
    ASSERT_TRUE(segmentFile.open(QIODevice::ReadWrite));
    const QByteArray whole = segmentFile.readAll();

    const struct
    {
        const char *name;
        std::function<void()> breakIt;
        std::function<void()> mendIt;
    } cases[] = {
        {"segment without its footer", [&] { segmentFile.resize(whole.size() - 20); },
         [&] { segmentFile.seek(0); segmentFile.write(whole); segmentFile.flush(); }},
        {"blob not arrived", [&] { QFile::rename(blob, blob + QStringLiteral(".away")); },
         [&] { QFile::rename(blob + QStringLiteral(".away"), blob); }},
    };
    for (const auto &c : cases) {
        c.breakIt();
        segmentFile.flush();
        const ChangeImport::Result waiting = b.mirror->importChanges();
        EXPECT_EQ(waiting.applied, 0) << c.name;
        EXPECT_TRUE(waiting.failures.isEmpty()) << c.name;
        c.mendIt();
    }
    EXPECT_EQ(b.mirror->importChanges().applied, 1);
    EXPECT_EQ(b.dump(), a.dump());
}

TEST_F(TwoInstallations, ADeviceOfANewerFormatIsReportedAndNothingOfItApplied)
{
    const QString device = QStringLiteral("99999999-9999-4999-8999-999999999999");
    const SyncFolder shared(folder.path());
    QDir().mkpath(shared.deviceFolder(device));
    QFile file(shared.segmentFile(device, 1));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"format\":2,\"device\":\"99999999-9999-4999-8999-999999999999\",\"seq\":1}\n");
    file.close();

    const ChangeImport::Result result = b.mirror->importChanges();
    EXPECT_EQ(result.failures, QStringList{QStringLiteral("A device uses a newer sync format; update TamoCove.")});
    EXPECT_EQ(result.applied, 0);
}

TEST_F(TwoInstallations, DeletedContentLeavesEveryFileInTheFolder)
{
    const QByteArray marker = "marker-5b0d2e";
    auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("secret marker-5b0d2e")),
                                           QDateTime::fromMSecsSinceEpoch(now));
    clip->setRtfData("{\\rtf1 marker-5b0d2e}");
    a.context().insert(clip);
    save(a);
    addClip(a, QStringLiteral("kept"));
    pump();
    setTitle(b, QStringLiteral("secret marker-5b0d2e"), QStringLiteral("title marker-5b0d2e"));
    pump();

    a.context().remove(a.clip(QStringLiteral("secret marker-5b0d2e")));
    save(a);
    pump();
    for (const QString &file : folderFiles())
        EXPECT_FALSE(testing::readFile(file).contains(marker)) << qPrintable(file);
    EXPECT_EQ(b.dump(), a.dump());
    EXPECT_EQ(b.dump().size(), 1);

    // Later changes carry on from where the rewritten files left off, and a
    // machine that joins now finds the same history in the rewritten files.
    setTitle(a, QStringLiteral("kept"), QStringLiteral("after the rewrite"));
    pump();
    EXPECT_EQ(b.dump(), a.dump());
    Installation c{folder.path()};
    const ChangeImport::Result joined = c.mirror->importChanges();
    EXPECT_TRUE(joined.failures.isEmpty()) << qPrintable(joined.failures.join(u'\n'));
    EXPECT_EQ(c.dump(), a.dump());
}

// After its first rewrite a machine no longer rewrote its files, so a clip
// deleted later stayed readable in its snapshot.
TEST_F(TwoInstallations, EveryLaterDeletionRewritesTheFilesAgain)
{
    const struct
    {
        const char *name;
        bool deletedElsewhere;
    } cases[] = {{"deleted here", false}, {"deleted on the other machine", true}};
    int round = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString first = QStringLiteral("first marker-%1a").arg(round);
        const QString second = QStringLiteral("second marker-%1b").arg(round++);
        addClip(a, first);
        addClip(a, second);
        pump();
        a.context().remove(a.clip(first));
        save(a);
        pump();

        Installation &deleting = c.deletedElsewhere ? b : a;
        deleting.context().remove(deleting.clip(second));
        save(deleting);
        pump();
        for (const QString &file : folderFiles())
            EXPECT_FALSE(testing::readFile(file).contains(second.toUtf8())) << qPrintable(file);
        EXPECT_EQ(a.clip(second), nullptr);
        EXPECT_EQ(b.clip(second), nullptr);
    }
}

// A deletion that came from the other machine left the text and the image in
// this machine's store log until it quit.
TEST_F(TwoInstallations, ADeletionFromTheOtherMachineIsErasedFromThisOnesFiles)
{
    const QByteArray text = "deleted elsewhere 7c1e94";
    QByteArray image;
    for (int i = 0; i < 64 * 1024; ++i)
        image.append(char('a' + (i * 7919) % 26));
    const QByteArray imageMark = image.mid(30'000, 64);
    auto textClip = std::make_shared<ClipItem>(ClipDraft::fromText(QString::fromUtf8(text)), QDateTime::fromMSecsSinceEpoch(now));
    auto imageClip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("picture")), QDateTime::fromMSecsSinceEpoch(now));
    imageClip->setImageData(image);
    b.context().insert(textClip);
    b.context().insert(imageClip);
    save(b);
    addClip(b, QStringLiteral("kept"));
    pump();
    ASSERT_FALSE(a.filesHolding(text).isEmpty()) << "arrived";

    b.context().remove(textClip);
    b.context().remove(imageClip);
    save(b);
    pump();
    addClip(a, QStringLiteral("a later copy"));
    EXPECT_EQ(a.dump().size(), 2);
    EXPECT_EQ(a.filesHolding(text), QStringList());
    EXPECT_EQ(a.filesHolding(imageMark), QStringList());
}

// An erasure a reader held up was taken as done, so the deleted text stayed
// in this machine's store log until the next deletion.
TEST_F(TwoInstallations, AnErasureAReaderHeldUpIsFinishedByTheNextRun)
{
    const QString text = QStringLiteral("held up 3f9a51");
    addClip(b, text);
    addClip(b, QStringLiteral("kept"));
    pump();
    ASSERT_FALSE(a.filesHolding(text.toUtf8()).isEmpty()) << "arrived";
    b.context().remove(b.clip(text));
    save(b);
    EXPECT_EQ(b.mirror->exportChanges(now).error, QString());
    {
        sql::Database backup;
        backup.open(a.dir.file(QStringLiteral("Tamo.store")));
        backup.exec(QStringLiteral("BEGIN"));
        sql::Statement read = backup.prepare(QStringLiteral("SELECT count(*) FROM ClipItem"));
        read.step();
        EXPECT_EQ(a.mirror->importChanges().removed, 1);
        EXPECT_TRUE(a.mirror->logHoldsDeletions());
    }
    EXPECT_TRUE(a.mirror->importChanges().failures.isEmpty()); // nothing new arrived
    EXPECT_FALSE(a.mirror->logHoldsDeletions());
    EXPECT_EQ(a.filesHolding(text.toUtf8()), QStringList());
}

// A home folder copied to a second computer kept its sync identity: both
// wrote into one device folder and skipped it as their own, so neither saw
// the other's clips.
TEST_F(TwoInstallations, TwoComputersFromOneCopiedHomeExchangeTheirClips)
{
    addClip(a, QStringLiteral("before the copy"));
    pump();
    Installation copy{folder.path(), a.dir.path()};
    ASSERT_EQ(copy.mirror->device(), a.mirror->device());

    addClip(a, QStringLiteral("from the first"));
    addClip(copy, QStringLiteral("from the copy"));
    for (int i = 0; i < 2; ++i) {
        for (Installation *side : {&a, &copy, &b})
            EXPECT_EQ(side->mirror->exportChanges(now).error, QString());
        for (Installation *side : {&a, &copy, &b})
            EXPECT_TRUE(side->mirror->importChanges().failures.isEmpty());
        for (Installation *side : {&a, &copy, &b})
            EXPECT_EQ(side->mirror->eraseDeleted(now), QString());
    }
    EXPECT_NE(copy.mirror->device(), a.mirror->device());
    EXPECT_FALSE(copy.mirror->takeNotice().isEmpty()) << "the sync status tells why";
    EXPECT_TRUE(a.mirror->takeNotice().isEmpty());
    EXPECT_EQ(a.dump().size(), 3);
    EXPECT_EQ(copy.dump(), a.dump());
    EXPECT_EQ(b.dump(), a.dump());
}

// One refused file stopped its machine's sync for good: none of its later
// files was read.
TEST_F(TwoInstallations, ARefusedFileIsNamedOnceAndTheMachinesLaterFilesStillArrive)
{
    const auto stampPastTheLimit = [](Segment &segment) {
        for (SyncChange &change : segment.changes)
            change.time.counter = 1'000'000'000;
    };
    const struct
    {
        const char *name;
        std::function<void(const QString &segment)> spoil;
        const char *reason;
    } cases[] = {
        {"damaged",
         [](const QString &segment) {
             QByteArray bytes = testing::readFile(segment);
             bytes[bytes.indexOf("first")] = 'j';
             testing::writeFile(segment, bytes);
         },
         "checksum"},
        {"larger than readers take",
         [](const QString &segment) { QFile(segment).resize(Segment::largestFile + 1); }, "larger than"},
        {"stamped past what readers take",
         [&](const QString &segment) { rewriteSegment(segment, stampPastTheLimit); }, "timestamp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const testing::TempDir shared;
        Installation writer{shared.path()};
        Installation reader{shared.path()};
        addClip(writer, QStringLiteral("first"));
        ASSERT_EQ(writer.mirror->exportChanges(now).changes, 1);
        const QString segment = SyncFolder(shared.path()).segmentFile(writer.mirror->device(), 1);
        const QString name = QDir(shared.path()).relativeFilePath(segment);
        c.spoil(segment);
        addClip(writer, QStringLiteral("second"));
        ASSERT_EQ(writer.mirror->exportChanges(now).changes, 1);

        const testing::WarningLog log;
        const ChangeImport::Result result = reader.mirror->importChanges();
        ASSERT_EQ(result.failures.size(), 1);
        EXPECT_TRUE(result.failures[0].contains(QLatin1String(c.reason))) << qPrintable(result.failures[0]);
        EXPECT_TRUE(result.failures[0].contains(QStringLiteral("“host”"))) << qPrintable(result.failures[0]);
        EXPECT_TRUE(result.failures[0].contains(name)) << qPrintable(result.failures[0]);
        EXPECT_TRUE(reader.clip(QStringLiteral("second")));
        addClip(writer, QStringLiteral("doomed"));
        ASSERT_EQ(writer.mirror->exportChanges(now).changes, 1);
        writer.context().remove(writer.clip(QStringLiteral("doomed")));
        save(writer);
        ASSERT_EQ(writer.mirror->exportChanges(now).changes, 1);
        EXPECT_TRUE(reader.mirror->importChanges().failures.isEmpty()) << "named once";
        EXPECT_EQ(log.messages().filter(name).size(), 1) << log.text();

        // The snapshot the deletion has the writer's files rewritten into
        // brings what the refused file held, though the reader read past it.
        ASSERT_EQ(writer.mirror->eraseDeleted(now), QString());
        EXPECT_TRUE(reader.mirror->importChanges().failures.isEmpty());
        EXPECT_EQ(reader.dump(), writer.dump());
    }
}

// Files written before they were cut by size stopped every reader; the
// machine that wrote one writes it again in parts, which every reader reads.
TEST_F(TwoInstallations, AFileOfThisMachineReadersRefuseIsWrittenAgainInParts)
{
    addClip(a, QStringLiteral("one"));
    ASSERT_EQ(a.mirror->exportChanges(now).changes, 1);
    addClip(a, QStringLiteral("two"));
    ASSERT_EQ(a.mirror->exportChanges(now).changes, 1);
    const SyncFolder shared(folder.path());
    const QString oversized = shared.segmentFile(a.mirror->device(), 1);
    QFile(oversized).resize(Segment::largestFile + 1);
    b.mirror->importChanges();
    ASSERT_TRUE(b.clip(QStringLiteral("two")));

    ASSERT_EQ(a.mirror->exportChanges(now).error, QString());
    ASSERT_EQ(a.mirror->eraseDeleted(now), QString());
    EXPECT_TRUE(b.mirror->importChanges().failures.isEmpty());
    EXPECT_EQ(b.dump(), a.dump());
    EXPECT_FALSE(QFile::exists(oversized));
    Installation c{folder.path()};
    EXPECT_TRUE(c.mirror->importChanges().failures.isEmpty());
    EXPECT_EQ(c.dump(), a.dump());
}

// Segments were cut at a thousand changes only, and a snapshot held all a
// machine ever synced in one file: past what readers take.
TEST_F(TwoInstallations, LargeHistoriesGoOutInFilesEachWithinTheSizeWritersCutAt)
{
    // Control characters take six bytes each in JSON: 18 MB a line.
    for (int i = 0; i < 4; ++i)
        addClip(a, QString(3'000'000, QChar(1 + i)));
    addClip(a, QStringLiteral("small"));
    pump();
    a.context().remove(a.clip(QStringLiteral("small")));
    save(a);
    pump();

    const SyncFolder shared(folder.path());
    EXPECT_EQ(shared.snapshots(a.mirror->device()).size(), 1);
    EXPECT_GE(shared.segments(a.mirror->device()).size(), 1) << "the snapshot's later parts";
    for (const QString &file : folderFiles())
        EXPECT_LE(QFileInfo(file).size(), Segment::largestWrittenBytes) << qPrintable(file);
    EXPECT_EQ(b.dump(), a.dump());
    Installation c{folder.path()};
    EXPECT_TRUE(c.mirror->importChanges().failures.isEmpty());
    EXPECT_EQ(c.dump(), a.dump());
    EXPECT_EQ(c.dump().size(), 4);
}

// A quit during the first export of a large history waited for all of it.
TEST_F(TwoInstallations, ExportAndRewriteStopWhenAskedAndGoOnAtTheNextRun)
{
    const std::atomic<bool> stopped{true};
    addClip(a, QStringLiteral("kept"));
    addClip(a, QStringLiteral("gone"));
    EXPECT_EQ(a.mirror->exportChanges(now, stopped).changes, 0);
    EXPECT_TRUE(folderFiles().filter(QStringLiteral("seg-")).isEmpty());
    pump();
    EXPECT_EQ(b.dump(), a.dump());

    a.context().remove(a.clip(QStringLiteral("gone")));
    save(a);
    ASSERT_EQ(a.mirror->exportChanges(now).error, QString());
    EXPECT_EQ(a.mirror->eraseDeleted(now, stopped), QString());
    EXPECT_FALSE(folderFiles().filter(QStringLiteral("seg-")).isEmpty()) << "not rewritten yet";
    EXPECT_EQ(a.mirror->eraseDeleted(now), QString());
    for (const QString &file : folderFiles())
        EXPECT_FALSE(testing::readFile(file).contains("gone")) << qPrintable(file);
}

// A peer change stamped at the clock's limit moved this clock there, and no
// reader took this machine's later changes.
TEST_F(TwoInstallations, APeerChangeStampedFarAheadIsSetAsideAndMovesNoClock)
{
    const QString peer = QStringLiteral("99999999-9999-4999-8999-999999999999");
    const SyncFolder shared(folder.path());
    ASSERT_TRUE(QDir().mkpath(shared.deviceFolder(peer)));
    addClip(a, QStringLiteral("shared"));
    pump();
    const auto edit = [&](const HybridTime &time, const QString &title) {
        return SyncChange{time, QStringLiteral("ClipItem"), writtenBy(a).constFirst().recordID,
                          SyncChange::Operation::upsert, {{QStringLiteral("title"), title}}, {}};
    };
    const QDateTime wall = QDateTime::currentDateTimeUtc();
    const struct
    {
        const char *name;
        HybridTime time;
    } cases[] = {
        {"the largest stamp a reader takes", {999'999'999'999'999, 999'999'998, peer}},
        {"two days ahead", {wall.addDays(2).toMSecsSinceEpoch(), 0, peer}},
    };
    const testing::WarningLog log;
    qint64 sequence = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ++sequence;
        testing::writeFile(shared.segmentFile(peer, sequence),
                           Segment{peer, sequence, {edit(c.time, QStringLiteral("from the future"))}}.encode());
        const ChangeImport::Result imported = a.mirror->importChanges();
        EXPECT_TRUE(imported.failures.isEmpty());
        EXPECT_EQ(imported.setAside, 1);
        EXPECT_EQ(a.dump(), b.dump());

        setTitle(a, QStringLiteral("shared"), QStringLiteral("later, here %1").arg(sequence));
        addClip(a, QStringLiteral("later %1").arg(sequence));
        pump(wall.toMSecsSinceEpoch(), wall.toMSecsSinceEpoch());
        EXPECT_EQ(b.dump(), a.dump());
        EXPECT_TRUE(b.clip(QStringLiteral("later %1").arg(sequence)));
    }
    EXPECT_EQ(log.messages().filter(peer).size(), 2) << "once for the peer on each machine: " << log.text();
}

// Under an earlier version such a stamp had this machine stamp its own
// changes past what readers take; they are sent again, readable.
TEST_F(TwoInstallations, ChangesThisMachineStampedPastTheLimitAreWrittenAgainReadable)
{
    addClip(a, QStringLiteral("stamped past the limit"));
    ASSERT_EQ(a.mirror->exportChanges(now).changes, 1);
    const QString device = a.mirror->device();
    const HybridTime broken{999'999'999'999'999, 1'000'000'001, device};
    rewriteSegment(SyncFolder(folder.path()).segmentFile(device, 1), [&](Segment &segment) {
        for (SyncChange &change : segment.changes)
            change.time = broken;
    });
    a.mirror.reset();
    {
        sql::Database db;
        db.open(a.dir.file(QStringLiteral("Tamo.store")));
        sql::Statement stamp = db.prepare(QStringLiteral("UPDATE SyncField SET hlc = ?1"));
        stamp.bindText(1, broken.toString());
        stamp.run();
        sql::Statement clock = db.prepare(QStringLiteral("UPDATE SyncValue SET value = ?1 WHERE key = 'clock'"));
        clock.bindText(1, broken.toString());
        clock.run();
    }
    a.mirror = std::make_unique<FolderMirror>(a.dir.file(QStringLiteral("Tamo.store")), folder.path());

    ASSERT_EQ(a.mirror->exportChanges(now).changes, 1);
    ASSERT_EQ(a.mirror->eraseDeleted(now), QString());
    EXPECT_TRUE(b.mirror->importChanges().failures.isEmpty());
    EXPECT_EQ(b.dump(), a.dump());
    EXPECT_EQ(b.dump().size(), 1);
    for (const QString &file : folderFiles())
        EXPECT_FALSE(testing::readFile(file).contains("999999999999999-")) << qPrintable(file);
}

TEST_F(TwoInstallations, ClipsAPeerSentWithoutTheHashOfTheirContentAreKept)
{
    addClip(a, QStringLiteral("mine"));
    const QString peer = QStringLiteral("99999999-9999-4999-8999-999999999999");
    Segment segment{peer, 1, {}};
    const auto upsert = [&](int i, const QString &text, QJsonObject fields) {
        fields.insert(QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces));
        fields.insert(QStringLiteral("createdAt"), now + 1000 + i);
        fields.insert(QStringLiteral("kindRaw"), QStringLiteral("text"));
        fields.insert(QStringLiteral("text"), text);
        segment.changes.append({HybridTime{now + i, 0, peer}, QStringLiteral("ClipItem"),
                                QUuid::createUuid().toString(QUuid::WithoutBraces), SyncChange::Operation::upsert,
                                fields, {}});
    };
    for (int i = 0; i < 50; ++i)
        upsert(i, QStringLiteral("from the peer %1").arg(i), {});
    upsert(50, QStringLiteral("not mine"),
           {{QStringLiteral("contentHash"), makeContentHash(ClipKind::text, QStringLiteral("mine"), {}, {})}});
    const SyncFolder shared(folder.path());
    ASSERT_TRUE(QDir().mkpath(shared.deviceFolder(peer)));
    testing::writeFile(shared.segmentFile(peer, 1), segment.encode());

    const testing::WarningLog log;
    const ChangeImport::Result imported = a.mirror->importChanges();
    EXPECT_EQ(imported.applied, 1);
    EXPECT_EQ(imported.repairedHashes, 51);
    // In this run's log, as every line of ours.
    EXPECT_EQ(log.messages().filter(QStringLiteral("51 clips from “%1”").arg(peer)).size(), 1) << log.text();

    // A later change of the hash alone, to that of another clip's content.
    const SyncChange onlyTheHash{HybridTime{now + 100, 0, peer}, QStringLiteral("ClipItem"), segment.changes[7].recordID,
                                 SyncChange::Operation::upsert,
                                 {{QStringLiteral("contentHash"), makeContentHash(ClipKind::text, QStringLiteral("mine"), {}, {})}},
                                 {}};
    testing::writeFile(shared.segmentFile(peer, 2), Segment{peer, 2, {onlyTheHash}}.encode());
    EXPECT_EQ(a.mirror->importChanges().repairedHashes, 1);
    // As the app does after every import.
    EXPECT_TRUE(StoreMaintenance(a.context()).mergeDuplicates().isEmpty());
    EXPECT_EQ(a.mirror->exportChanges(now).error, QString());

    EXPECT_EQ(a.context().fetchCount<ClipItem>(), 52);
    EXPECT_TRUE(a.clip(QStringLiteral("mine")));
    for (const SyncChange &change : writtenBy(a))
        EXPECT_EQ(change.operation, SyncChange::Operation::upsert) << qPrintable(change.recordID);

    // Their hashes are those of their content: copied here too, one folds.
    addClip(a, QStringLiteral("from the peer 7"));
    EXPECT_EQ(StoreMaintenance(a.context()).mergeDuplicates().size(), 1);
    EXPECT_EQ(a.context().fetchCount<ClipItem>(), 52);
}

// Their images are not here to hash: hashed without them, different images
// would look the same and fold into one.
TEST_F(TwoInstallations, ImagesKeptOnTheirMachineKeepTheHashesTheyCameWith)
{
    for (const char fill : {'x', 'y'}) {
        ClipDraft draft;
        draft.kind = ClipKind::image;
        draft.imageData = QByteArray(ClipLibrary::largestSyncedImage + 1, fill);
        auto clip = std::make_shared<ClipItem>(draft, QDateTime::fromMSecsSinceEpoch(now));
        clip->setImageData(std::nullopt);
        clip->setImageIsLocalOnly(true);
        a.context().insert(clip);
    }
    save(a);
    pump();
    EXPECT_EQ(b.dump(), a.dump());
    EXPECT_TRUE(StoreMaintenance(b.context()).mergeDuplicates().isEmpty());
    EXPECT_EQ(b.context().fetchCount<ClipItem>(), 2);
}

TEST_F(TwoInstallations, AnImageTooLargeToSyncStaysOnItsMachine)
{
    auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("big")), QDateTime::fromMSecsSinceEpoch(now));
    clip->setImageData(QByteArray(12 * 1024 * 1024, 'x'));
    a.context().insert(clip);
    save(a);
    pump();
    for (const QString &file : folderFiles())
        EXPECT_LT(QFileInfo(file).size(), 1024 * 1024) << qPrintable(file);
    EXPECT_EQ(b.dump().size(), 1);
}

TEST_F(TwoInstallations, ImagesMoreThanABatchHoldsArriveAFewAtATime)
{
    for (int i = 0; i < 6; ++i) {
        ClipDraft draft = ClipDraft::fromText(QStringLiteral("image %1").arg(i));
        draft.imageData = QByteArray(4 * 1024 * 1024, char('a' + i));
        a.context().insert(std::make_shared<ClipItem>(draft, QDateTime::fromMSecsSinceEpoch(now + i)));
    }
    save(a);
    pump();
    EXPECT_EQ(b.dump().size(), 6);
    EXPECT_EQ(b.dump(), a.dump());
}

TEST_F(TwoInstallations, ABlobLargerThanAnyDeviceWritesIsRefusedAndItsChangeNotApplied)
{
    auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("rich")), QDateTime::fromMSecsSinceEpoch(now));
    clip->setRtfData(QByteArray("{\\rtf1 rich}"));
    a.context().insert(clip);
    save(a);
    ASSERT_EQ(a.mirror->exportChanges(now).changes, 1);
    const QString blob = SyncFolder(folder.path()).blobFile(a.mirror->device(), blobNameOf("{\\rtf1 rich}"));
    testing::writeFile(blob, QByteArray(ClipLibrary::largestSyncedImage + 1, 'x'));

    const ChangeImport::Result result = b.mirror->importChanges();
    ASSERT_EQ(result.failures.size(), 1);
    EXPECT_TRUE(result.failures[0].contains(QStringLiteral("blob larger"))) << qPrintable(result.failures[0]);
    EXPECT_EQ(result.applied, 0);
    EXPECT_TRUE(b.dump().isEmpty());
}

} // namespace
} // namespace tamo
