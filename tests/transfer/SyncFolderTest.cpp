#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
    EXPECT_EQ(writer.nextSequence(), 1);
    ASSERT_EQ(writer.writeSegment(Segment{device, 1, {}}), QString());
    ASSERT_EQ(writer.writeSegment(Segment{device, 2, {}}), QString());
    QString blob;
    ASSERT_EQ(writer.writeBlob("image bytes", blob), QString());
    ASSERT_EQ(writer.writeBlob("image bytes", blob), QString()) << "written once, then kept";

    EXPECT_EQ(QDir(folder.deviceFolder(device)).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("device.json"), QStringLiteral("seg-000000001.jsonl"),
                           QStringLiteral("seg-000000002.jsonl")}));
    EXPECT_EQ(writer.nextSequence(), 3);
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

} // namespace
} // namespace tamo
