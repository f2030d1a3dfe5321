#include "support/FakePasteboard.h"

#include <gtest/gtest.h>

using namespace tamo;
using tamo::testing::FakePasteboard;

namespace {

TEST(Pasteboard, StringDecodesUtf8)
{
    FakePasteboard pasteboard;
    EXPECT_FALSE(pasteboard.contents()->string());

    pasteboard.copy({{PasteboardType::string, "Grüße ✓"}});
    EXPECT_EQ(pasteboard.contents()->string(), QStringLiteral("Grüße ✓"));
}

TEST(Pasteboard, FileURLsKeepLocalFilesInOrder)
{
    FakePasteboard pasteboard;
    pasteboard.copy({{PasteboardType::fileURL, "# a comment\r\n"
                                               "file:///tmp/b%20c.txt\r\n"
                                               "https://example.org/\r\n"
                                               "\n"
                                               "  file:///tmp/a\n"
                                               "not a url with spaces\r\n"}});

    EXPECT_EQ(pasteboard.contents()->fileList().urls,
              (QList<QUrl>{QUrl::fromLocalFile("/tmp/b c.txt"), QUrl::fromLocalFile("/tmp/a")}));
}

} // namespace
