#include "platform/PasteboardItems.h"

#include <gtest/gtest.h>

using namespace tamo;

namespace {

TEST(PasteboardItems, SeveralItemsCollapseIntoOne)
{
    const PasteboardItem text1{{PasteboardType::string, "one"}, {PasteboardType::rtf, "{\\rtf1 one}"}};
    const PasteboardItem text2{{PasteboardType::string, "two"}};
    const PasteboardItem file1{{PasteboardType::fileURL, "file:///tmp/a\r\n"}};
    const PasteboardItem file2{{PasteboardType::fileURL, "file:///tmp/b\r\nfile:///tmp/c\r\n"}};
    const PasteboardItem image1{{PasteboardType::png, "png1"}};
    const PasteboardItem image2{{PasteboardType::tiff, "tiff2"}};
    const PasteboardItem secret{{PasteboardType::string, "pw"}, {PasteboardType::concealed, ""}};

    struct Row
    {
        const char *name;
        QList<PasteboardItem> items;
        PasteboardItem merged;
    };
    const QList<Row> rows{
        {"nothing", {}, {}},
        {"one item stands as it is", {text1}, text1},
        {"texts join by newlines, RTF cannot", {text1, text2}, {{PasteboardType::string, "one\ntwo"}}},
        {"files make one list", {file1, file2},
         {{PasteboardType::fileURL, "file:///tmp/a\r\nfile:///tmp/b\r\nfile:///tmp/c\r\n"}}},
        {"files and texts both join", {file1, text2, file2},
         {{PasteboardType::fileURL, "file:///tmp/a\r\nfile:///tmp/b\r\nfile:///tmp/c\r\n"},
          {PasteboardType::string, "two"}}},
        {"an image beside text is dropped", {image1, text2}, text2},
        {"images alone: the first stands", {image1, image2}, image1},
        {"a marker of any item stays", {text2, secret},
         {{PasteboardType::string, "two\npw"}, {PasteboardType::concealed, ""}}},
        {"also when the first item stands",
         {image1, {{PasteboardType::tiff, "tiff"}, {PasteboardType::concealed, ""}}},
         {{PasteboardType::png, "png1"}, {PasteboardType::concealed, ""}}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(mergedPasteboardItem(row.items), row.merged);
    }
}

} // namespace
