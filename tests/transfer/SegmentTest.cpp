#include "transfer/Segment.h"

#include "support/HangGuard.h"
#include "support/TempDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tamo {
namespace {

const QString device = QStringLiteral("0f0e0d0c-0b0a-4908-8706-050403020100");
const QString rid = QStringLiteral("11111111-2222-4333-8444-555555555555");
const QByteArray header = R"({"device":"0f0e0d0c-0b0a-4908-8706-050403020100","format":1,"seq":7})";
const QByteArray hlc = "1700000000000-0-0f0e0d0c-0b0a-4908-8706-050403020100";

SyncChange sampleUpsert()
{
    return {HybridTime{1700000000000, 3, device},
            QStringLiteral("ClipItem"),
            rid,
            SyncChange::Operation::upsert,
            {{QStringLiteral("text"), QStringLiteral("hello\nworld")},
             {QStringLiteral("createdAt"), qint64(1700000000000)},
             {QStringLiteral("keywords"), QJsonArray{QStringLiteral("a"), QStringLiteral("b")}},
             {QStringLiteral("title"), QJsonValue::Null},
             {QStringLiteral("linkPreviewFetched"), true}},
            {{QStringLiteral("imageData"), blobNameOf("png")}, {QStringLiteral("rtfData"), QString()}}};
}

// Lines with a footer whose count and checksum fit them.
QByteArray sealed(const QList<QByteArray> &lines, int count = -1)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + '\n';
    const QByteArray sha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return bytes + R"({"count":)" + QByteArray::number(count < 0 ? lines.size() - 1 : count) + R"(,"sha256":")" + sha
           + "\"}\n";
}

QByteArray change(const QByteArray &body)
{
    return R"({"hlc":")" + hlc + R"(","rid":")" + rid.toLatin1() + R"(",)" + body + '}';
}

TEST(Segment, WrittenChangesReadBackUnchanged)
{
    const Segment segment{device, 7, {sampleUpsert(), {HybridTime{1700000000001, 0, device}, QStringLiteral("Pinboard"), rid, SyncChange::Operation::remove, {}, {}}}};
    const SegmentRead read = readSegment(segment.encode(), device, 7);
    ASSERT_EQ(read.result, SegmentRead::Result::complete) << qPrintable(read.reason);
    EXPECT_EQ(read.segment.changes, segment.changes);
}

TEST(Segment, FilesStillArrivingWaitAndNewerFormatsAreToldApart)
{
    const QByteArray whole = Segment{device, 7, {sampleUpsert()}}.encode();
    const struct
    {
        const char *name;
        QByteArray bytes;
        SegmentRead::Result expected;
    } cases[] = {
        {"empty", {}, SegmentRead::Result::incomplete},
        {"header only", header + '\n', SegmentRead::Result::incomplete},
        {"footer missing", whole.first(whole.lastIndexOf('\n', whole.size() - 2) + 1), SegmentRead::Result::incomplete},
        {"cut inside the footer", whole.chopped(5), SegmentRead::Result::incomplete},
        {"newer format, rest unreadable", R"({"format":2,"device":"x","seq":7})" "\n\x01garbage", SegmentRead::Result::newerFormat},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readSegment(c.bytes, device, 7).result, c.expected) << c.name;
}

TEST(Segment, DamagedOrHostileFilesAreRefused)
{
    QByteArray flipped = Segment{device, 7, {sampleUpsert()}}.encode();
    flipped[header.size() + 10] = 'X';
    QByteArray longList = R"("fields":{"keywords":[)";
    for (int i = 0; i <= Segment::largestList; ++i)
        longList += i ? ",\"k\"" : "\"k\"";
    longList += R"(]},"blobs":{})";
    const QByteArray upsert = R"("entity":"ClipItem","op":"upsert",)";
    const struct
    {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"checksum does not match", flipped},
        {"another device's header", sealed({R"({"device":"00000000-0000-4000-8000-000000000000","format":1,"seq":7})"})},
        {"another sequence", sealed({R"({"device":"0f0e0d0c-0b0a-4908-8706-050403020100","format":1,"seq":8})"})},
        {"count does not match", sealed({header}, 1)},
        {"not JSON", sealed({header, "{\"hlc\":"})},
        {"not an object", sealed({header, "[1,2]"})},
        {"unknown entity", sealed({header, change(R"("entity":"LocalImage","op":"upsert","fields":{},"blobs":{})")})},
        {"unknown operation", sealed({header, change(R"("entity":"ClipItem","op":"drop")")})},
        {"unknown field", sealed({header, change(upsert + R"("fields":{"pk":1},"blobs":{})")})},
        {"text as a number", sealed({header, change(upsert + R"("fields":{"text":5},"blobs":{})")})},
        {"fractional integer", sealed({header, change(upsert + R"("fields":{"imageWidth":1.5},"blobs":{})")})},
        {"integer beyond 2^53", sealed({header, change(upsert + R"("fields":{"imageWidth":1e300},"blobs":{})")})},
        {"malformed uuid", sealed({header, change(upsert + R"("fields":{"id":"../x"},"blobs":{})")})},
        {"bytes inline", sealed({header, change(upsert + R"("fields":{"imageData":"AAAA"},"blobs":{})")})},
        {"blob name with a path", sealed({header, change(upsert + R"("fields":{},"blobs":{"imageData":"../../../etc/passwd"})")})},
        {"blob for a text field", sealed({header, change(upsert + R"("fields":{},"blobs":{"text":""})")})},
        {"list too long", sealed({header, change(upsert + longList)})},
        {"record identity with a path", sealed({header, R"({"hlc":")" + hlc + R"(","rid":"../../x","entity":"Pinboard","op":"delete"})"})},
        {"malformed timestamp", sealed({header, R"({"hlc":"soon","rid":")" + rid.toLatin1() + R"(","entity":"Pinboard","op":"delete"})"})},
        {"deletion with fields", sealed({header, change(R"("entity":"Pinboard","op":"delete","fields":{})")})},
        {"extra key", sealed({header, change(upsert + R"("fields":{},"blobs":{},"x":1)")})},
    };
    for (const auto &c : cases) {
        const SegmentRead read = readSegment(c.bytes, device, 7);
        EXPECT_EQ(read.result, SegmentRead::Result::refused) << c.name;
        EXPECT_FALSE(read.reason.isEmpty()) << c.name;
    }
}

TEST(Segment, EveryStringListAndCountHasACapTheReaderStopsAt)
{
    const QByteArray upsert = R"("entity":"ClipItem","op":"upsert",)";
    const auto withFields = [&](const QByteArray &fields) {
        return sealed({header, change(upsert + R"("fields":{)" + fields + R"(},"blobs":{})")});
    };
    const QByteArray longestText = '"' + QByteArray(Segment::largestString, 'x') + '"';
    QByteArray keywords = R"("keywords":[)";
    for (int i = 0; i < 5; ++i)
        keywords += (i ? "," : "") + longestText;
    keywords += ']';
    QByteArray manyLines = header + '\n';
    for (qsizetype i = 0; i <= Segment::largestChanges + 1; ++i)
        manyLines += "{}\n";
    const struct
    {
        const char *name;
        QByteArray bytes;
        bool refused;
        const char *reason;
    } cases[] = {
        {"a text at the cap", withFields(R"("text":)" + longestText), false, ""},
        {"a text past the cap", withFields(R"("text":")" + QByteArray(Segment::largestString + 1, 'x') + '"'), true,
         "longer than"},
        {"texts past what a change holds", withFields(keywords), true, "more text than a change"},
        {"an identity past its cap",
         sealed({header, R"({"hlc":")" + QByteArray(5000, '1') + R"(","rid":")" + rid.toLatin1()
                             + R"(","entity":"Pinboard","op":"delete"})"}),
         true, "longer than"},
        {"a list inside a list", withFields(R"("keywords":[["a"]])"), true, "wrong type"},
        {"an object as a field", withFields(R"("title":{"a":1})"), true, "wrong type"},
        {"more lines than a file holds changes", manyLines, true, "more than"},
    };
    for (const auto &c : cases) {
        const SegmentRead read = readSegment(c.bytes, device, 7);
        EXPECT_EQ(read.result, c.refused ? SegmentRead::Result::refused : SegmentRead::Result::complete) << c.name;
        EXPECT_TRUE(read.reason.contains(QLatin1String(c.reason))) << c.name << ": " << qPrintable(read.reason);
    }
}

TEST(Segment, LinesAreReadAsTheyStreamWhateverTheirLengthAndEnds)
{
    // Two- to four-byte characters across every piece boundary.
    QString text;
    while (text.size() < 3 * 1024 * 1024)
        text += QStringLiteral("é€😀 plain run of ascii text ") + QString::number(text.size());
    SyncChange longText = sampleUpsert();
    longText.fields.insert(QStringLiteral("text"), text);
    const QByteArray whole = Segment{device, 7, {longText, sampleUpsert()}}.encode();
    const qsizetype footerAt = whole.lastIndexOf('\n', whole.size() - 2) + 1;
    const QByteArray longLast = sealed({header}) .chopped(1) + change(R"("entity":"ClipItem","op":"upsert","fields":{"text":")"
                                                               + QByteArray(8000, 'x') + R"("},"blobs":{})") + '\n';
    QByteArray crlf = whole;
    crlf.insert(footerAt - 1, '\r');
    const struct
    {
        const char *name;
        QByteArray bytes;
        SegmentRead::Result expected;
    } cases[] = {
        {"a change longer than every buffer", whole, SegmentRead::Result::complete},
        {"a last line longer than any footer", longLast, SegmentRead::Result::incomplete},
        {"a line end with a carriage return", crlf, SegmentRead::Result::refused}, // the checksum covers it
        {"an empty line", sealed({header, ""}), SegmentRead::Result::refused},
        {"garbage after a change", sealed({header, change(R"("entity":"Pinboard","op":"delete")") + "x"}),
         SegmentRead::Result::refused},
        {"a header past the longest", sealed({R"({"device":")" + QByteArray(5000, ' ') + R"(","format":1,"seq":7})"}),
         SegmentRead::Result::refused},
    };
    const std::atomic<bool> running{false};
    testing::TempDir dir;
    const QString path = dir.file(QStringLiteral("seg-000000007.jsonl"));
    for (const auto &c : cases) {
        const SegmentRead read = readSegment(c.bytes, device, 7);
        EXPECT_EQ(read.result, c.expected) << c.name << ": " << qPrintable(read.reason);
        testing::writeFile(path, c.bytes);
        EXPECT_EQ(SegmentFile(path, device, 7).check(running).result, c.expected) << c.name;
    }
    EXPECT_EQ(readSegment(whole, device, 7).segment.changes, (QList<SyncChange>{longText, sampleUpsert()}));
}

TEST(Segment, ABatchEndsAtItsBytesAndAlwaysHoldsOneChange)
{
    SyncChange large = sampleUpsert();
    large.fields.insert(QStringLiteral("text"), QString(100'000, u'x'));
    testing::TempDir dir;
    const QString path = dir.file(QStringLiteral("seg-000000007.jsonl"));
    testing::writeFile(path, Segment{device, 7, QList<SyncChange>(10, large)}.encode());
    const std::atomic<bool> running{false};
    SegmentFile file(path, device, 7);
    ASSERT_EQ(file.check(running).result, SegmentRead::Result::complete);
    const struct
    {
        qint64 bytes;
        qsizetype expected;
    } batches[] = {{1, 1}, {250'000, 3}, {1'000'000'000, 6}};
    for (const auto &batch : batches)
        EXPECT_EQ(file.nextChanges(Segment::largestBatch, batch.bytes).value_or(QList<SyncChange>()).size(), batch.expected)
            << batch.bytes;
    EXPECT_TRUE(file.handedOutAll());
}

TEST(Segment, DamageThatLeavesEveryLineValidIsCaughtByTheChecksum)
{
    QByteArray damaged = Segment{device, 7, {sampleUpsert()}}.encode();
    const qsizetype text = damaged.indexOf("hello");
    ASSERT_GT(text, 0);
    damaged[text] = 'j';
    const SegmentRead read = readSegment(damaged, device, 7);
    EXPECT_EQ(read.result, SegmentRead::Result::refused);
    EXPECT_TRUE(read.reason.contains(QLatin1String("checksum"))) << qPrintable(read.reason);
}

TEST(Segment, AFileReadInTwoPassesGivesTheVerdictOfItsBytesAndItsChangesInBatches)
{
    const SyncChange removal{HybridTime{1700000000001, 0, device}, QStringLiteral("Pinboard"), rid,
                             SyncChange::Operation::remove, {}, {}};
    const QByteArray whole = Segment{device, 7, {sampleUpsert(), removal, removal}}.encode();
    QByteArray flipped = whole;
    flipped[header.size() + 10] = 'X';
    const QByteArray cases[] = {
        whole,
        whole.chopped(5),
        header + '\n',
        R"({"format":2,"device":"x","seq":7})" "\n\x01garbage",
        flipped,
        sealed({header}, 1),
        sealed({header, "[1,2]"}),
    };
    const std::atomic<bool> running{false};
    testing::TempDir dir;
    const QString path = dir.file(QStringLiteral("seg-000000007.jsonl"));
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        testing::writeFile(path, bytes);
        const SegmentRead expected = readSegment(bytes, device, 7);
        SegmentFile file(path, device, 7);
        const SegmentRead read = file.check(running);
        EXPECT_EQ(read.result, expected.result);
        EXPECT_EQ(read.reason, expected.reason);
        QList<SyncChange> changes;
        while (const std::optional<QList<SyncChange>> batch = file.nextChanges(2)) {
            changes += *batch;
            if (batch->size() < 2)
                break;
        }
        EXPECT_EQ(changes, expected.segment.changes);
    }
}

TEST(Segment, AFileReadInTwoPassesStopsWhenAskedAndWhenItChangesBetweenThem)
{
    testing::TempDir dir;
    const QString path = dir.file(QStringLiteral("seg-000000007.jsonl"));
    // Larger than the piece read at a time, so the second pass still reads from the file.
    const QByteArray whole = Segment{device, 7, QList<SyncChange>(8000, sampleUpsert())}.encode();
    ASSERT_GT(whole.size(), 2 * 1024 * 1024);
    testing::writeFile(path, whole);
    const std::atomic<bool> stopped{true};
    EXPECT_EQ(SegmentFile(path, device, 7).check(stopped).result, SegmentRead::Result::incomplete);

    const std::atomic<bool> running{false};
    SegmentFile file(path, device, 7);
    ASSERT_EQ(file.check(running).result, SegmentRead::Result::complete);
    ASSERT_TRUE(QFile::resize(path, whole.size() / 2));
    std::optional<QList<SyncChange>> batch;
    qsizetype handedOut = 0;
    while ((batch = file.nextChanges(Segment::largestBatch)) && !batch->isEmpty())
        handedOut += batch->size();
    EXPECT_EQ(batch, std::nullopt);
    EXPECT_LT(handedOut, 8000);
}

TEST(Segment, AFileThatIsNoRegularFileIsNotOpened)
{
    const tamo::testing::HangGuard guard("a segment that is a FIFO");
    testing::TempDir dir;
    const QString fifo = dir.file(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString link = dir.file(QStringLiteral("seg-000000007.jsonl"));
    ASSERT_TRUE(QFile::link(fifo, link));
    EXPECT_EQ(SegmentFile(fifo, device, 7).refusal(), FileRefusal::notRegular);
    EXPECT_EQ(SegmentFile(link, device, 7).refusal(), FileRefusal::link);
}

TEST(HybridClock, OrdersLaterEditsAfterEverythingSeenWhateverTheWallClock)
{
    const QString other = QStringLiteral("ffffffff-ffff-4fff-8fff-ffffffffffff");
    HybridClock clock(device);
    const HybridTime first = clock.tick(1000);
    const HybridTime second = clock.tick(1000);
    EXPECT_LT(first, second) << "same millisecond";
    EXPECT_LT(second, clock.tick(500)) << "wall clock stepped back";

    // An hour behind, this device still orders its next edit after the other's.
    const HybridTime remote{1000 + 3'600'000, 4, other};
    EXPECT_TRUE(clock.observe(remote, 1200));
    EXPECT_LT(remote, clock.tick(1200));

    EXPECT_EQ(HybridTime::parse(remote.toString()), remote);
    for (const char *bad : {"", "1-2", "1-2-x", "-1-2-ffffffff-ffff-4fff-8fff-ffffffffffff",
                            "99999999999999999-0-ffffffff-ffff-4fff-8fff-ffffffffffff"})
        EXPECT_FALSE(HybridTime::parse(QString::fromLatin1(bad))) << bad;
}

// One peer stamp at the limit moved this clock, and every stamp it gave
// after that was past what readers take.
TEST(HybridClock, AStampFarAheadNeverMovesTheClockAndItsOwnStampsStayReadable)
{
    const QString other = QStringLiteral("ffffffff-ffff-4fff-8fff-ffffffffffff");
    constexpr qint64 wall = 1'700'000'000'000;
    const struct
    {
        const char *name;
        HybridTime remote;
    } farAhead[] = {
        {"the largest stamp a reader takes", {999'999'999'999'999, 999'999'998, other}},
        {"a day and a second ahead", {wall + HybridClock::largestDriftMillis + 1000, 0, other}},
        {"a counter near the limit", {wall, 999'999'990, other}},
    };
    for (const auto &c : farAhead) {
        SCOPED_TRACE(c.name);
        HybridClock clock(device);
        const HybridTime before = clock.tick(wall);
        EXPECT_FALSE(clock.observe(c.remote, wall));
        EXPECT_EQ(clock.last(), before);
        EXPECT_TRUE(HybridClock::isFarAhead(c.remote, wall));
    }

    // A wall clock set back a year (a flat clock battery) still takes what
    // comes from the time this clock last stood at.
    HybridClock restarted(device, {wall, 5, device});
    EXPECT_TRUE(restarted.observe({wall + 60'000, 0, other}, wall - 365 * HybridClock::largestDriftMillis));

    // Within the bound, a clock that runs through its counter goes on readable and in order.
    HybridClock clock(device, {wall, 0, device});
    EXPECT_TRUE(clock.observe({wall + 3'600'000, 499'999'998, other}, wall));
    HybridTime previous = clock.last();
    for (int i = 0; i < 3; ++i) {
        const HybridTime next = clock.tick(wall);
        EXPECT_LT(previous, next);
        EXPECT_EQ(HybridTime::parse(next.toString()), next);
        EXPECT_FALSE(HybridClock::isFarAhead(next, wall));
        previous = next;
    }
}

} // namespace
} // namespace tamo
