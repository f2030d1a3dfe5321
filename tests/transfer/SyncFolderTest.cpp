#include "transfer/DurableFile.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace tamo {
namespace {

const QString device = QStringLiteral("0f0e0d0c-0b0a-4908-8706-050403020100");

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(SyncFolder, DeviceWritesWholeFilesUnderTheirFinalNamesOnly)
{
    testing::TempDir dir;
    const SyncFolder folder(dir.path());
    DeviceWriter writer(folder, device);
    ASSERT_EQ(writer.prepare(QStringLiteral("host")), QString());
    EXPECT_EQ(writer.nextSequence(0), 1);
    ASSERT_EQ(writer.beginSegment(1)->finish(), QString());
    ASSERT_EQ(writer.beginSegment(2)->finish(), QString());
    {
        const std::unique_ptr<SegmentOutput> dropped = writer.beginSegment(3);
        const SyncChange removal{{1, 0, device}, QStringLiteral("ClipItem"), device, SyncChange::Operation::remove, {}, {}};
        ASSERT_EQ(dropped->add(SegmentLines::changeLine(removal)), QString()) << "left unfinished";
    }
    QString blob;
    ASSERT_EQ(writer.writeBlob("image bytes", blob), QString());
    ASSERT_EQ(writer.writeBlob("image bytes", blob), QString()) << "written once, then kept";

    EXPECT_EQ(QDir(folder.deviceFolder(device)).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("device.json"), QStringLiteral("seg-000000001.jsonl"),
                           QStringLiteral("seg-000000002.jsonl")}));
    EXPECT_EQ(writer.nextSequence(0), 3);
    EXPECT_EQ(writer.nextSequence(9), 10) << "the count kept with the store goes on after a rewrite";
    EXPECT_EQ(folder.readBlob(device, blob), QByteArray("image bytes"));
}

TEST(SyncFolder, IgnoresNamesItDidNotWriteAndBlobsNotWhole)
{
    testing::TempDir dir;
    const SyncFolder folder(dir.path());
    DeviceWriter writer(folder, device);
    ASSERT_EQ(writer.prepare(QStringLiteral("host")), QString());
    for (const char *name : {"devices/..hidden", "devices/not-a-device", "devices/" "0F0E0D0C-0B0A-4908-8706-050403020100"})
        QDir(dir.path()).mkpath(QString::fromLatin1(name));
    for (const char *name : {"seg-000000003.jsonl", "seg-3.jsonl", ".seg-000000004.jsonl.partial-1f", "seg-000000000.jsonl"})
        writeRaw(folder.deviceFolder(device) + QLatin1Char('/') + QLatin1String(name), "x");
    EXPECT_EQ(folder.devices(), QStringList{device});
    EXPECT_EQ(folder.segments(device), QList<qint64>{3});

    const QString name = blobNameOf("whole");
    writeRaw(folder.blobFile(device, name), "who");
    EXPECT_FALSE(folder.readBlob(device, name)) << "still arriving";
    EXPECT_FALSE(folder.readBlob(device, QStringLiteral("../device.json")));
    EXPECT_FALSE(folder.readBlob(QStringLiteral(".."), name));
}

TEST(DurableFile, TheOldFileStaysWholeUntilTheNewOneTakesItsName)
{
    testing::TempDir dir;
    const QString path = dir.file(QStringLiteral("settings.json"));
    const QString held = dir.file(QStringLiteral("held"));
    testing::writeFile(path, "old bytes");
    // A second name for the old file: a write in place would change it too.
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(held).constData()), 0);
    ASSERT_EQ(writeFileDurably(path, "new bytes"), QString());
    EXPECT_EQ(testing::readFile(held), "old bytes");
    EXPECT_EQ(testing::readFile(path), "new bytes");

    // A write that fails half-way leaves the file as it was and nothing beside it.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int errorNumber = 0;
    const QString error = writeFileDurably(path, "bytes that do not fit", &errorNumber);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(errorNumber, EFBIG);
    EXPECT_EQ(testing::readFile(path), "new bytes");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("held"), QStringLiteral("settings.json")}));
}

} // namespace
} // namespace tamo
