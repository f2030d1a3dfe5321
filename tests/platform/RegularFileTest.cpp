#include "platform/RegularFile.h"

#include "support/HangGuard.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

using tamo::FileLinks;
using tamo::FileRefusal;
using tamo::readRegularFile;
using tamo::RegularFile;

namespace {

struct Case
{
    const char *name;
    FileLinks links;
    FileRefusal refusal;
};

// Each name in the folder `prepare` makes; none of them may block a read.
void prepare(const tamo::testing::TempDir &dir)
{
    tamo::testing::writeFile(dir.file(QStringLiteral("regular")), "twelve bytes");
    tamo::testing::writeFile(dir.file(QStringLiteral("large")), QByteArray(13, 'x'));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file(QStringLiteral("fifo"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("fifo")), dir.file(QStringLiteral("link-to-fifo"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.file(QStringLiteral("link-to-zero"))));
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("regular")), dir.file(QStringLiteral("link-to-regular"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
}

} // namespace

TEST(RegularFile, ReadsOnlyRegularFilesWithinTheCap)
{
    const tamo::testing::HangGuard guard("reading a FIFO");
    const Case cases[] = {
        {"regular", FileLinks::refuse, FileRefusal::none},
        {"large", FileLinks::refuse, FileRefusal::tooLarge},
        {"fifo", FileLinks::refuse, FileRefusal::notRegular},
        {"link-to-fifo", FileLinks::refuse, FileRefusal::link},
        {"link-to-fifo", FileLinks::follow, FileRefusal::notRegular},
        {"link-to-zero", FileLinks::refuse, FileRefusal::link},
        {"link-to-zero", FileLinks::follow, FileRefusal::notRegular},
        {"link-to-regular", FileLinks::refuse, FileRefusal::link},
        {"link-to-regular", FileLinks::follow, FileRefusal::none},
        {"folder", FileLinks::refuse, FileRefusal::notRegular},
        {"missing", FileLinks::refuse, FileRefusal::missing},
        {"missing/below", FileLinks::follow, FileRefusal::missing},
    };
    tamo::testing::TempDir dir;
    prepare(dir);
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.links == FileLinks::follow ? " followed" : ""));
        const QString path = dir.file(QString::fromLatin1(c.name));
        const tamo::FileContents contents = readRegularFile(path, 12, c.links);
        EXPECT_EQ(contents.refusal, c.refusal);
        EXPECT_EQ(contents.ok(), c.refusal == FileRefusal::none);
        if (contents.ok()) {
            EXPECT_EQ(contents.bytes, "twelve bytes");
            EXPECT_TRUE(contents.error.isEmpty());
        } else {
            EXPECT_TRUE(contents.bytes.isEmpty());
            EXPECT_FALSE(contents.error.isEmpty());
        }
    }
}

TEST(RegularFile, StopsAFileThatGrowsPastTheCapWhileRead)
{
    tamo::testing::TempDir dir;
    const QString path = dir.file(QStringLiteral("growing"));
    tamo::testing::writeFile(path, "0123456789");
    RegularFile file = RegularFile::open(path, 12);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.size(), 10);

    QFile writer(path);
    ASSERT_TRUE(writer.open(QIODevice::Append));
    writer.write("abcdef");
    writer.close();

    EXPECT_TRUE(file.readAll().isEmpty());
    EXPECT_EQ(file.refusal(), FileRefusal::tooLarge);
    EXPECT_FALSE(file.isOpen());
    char byte;
    EXPECT_EQ(file.read(&byte, 1), -1);
}

TEST(RegularFile, ReadsInPiecesToTheEnd)
{
    tamo::testing::TempDir dir;
    const QString path = dir.file(QStringLiteral("pieces"));
    tamo::testing::writeFile(path, "abcdefg");
    RegularFile file = RegularFile::open(path, 7);
    char piece[4];
    EXPECT_EQ(file.read(piece, 4), 4);
    EXPECT_EQ(QByteArray(piece, 4), "abcd");
    EXPECT_EQ(file.readAll(), "efg");
    EXPECT_EQ(file.read(piece, 4), 0);
    EXPECT_EQ(file.refusal(), FileRefusal::none);
    ASSERT_TRUE(file.rewind());
    EXPECT_EQ(file.readAll(), "abcdefg");
}
