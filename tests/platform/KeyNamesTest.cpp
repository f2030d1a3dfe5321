#include "platform/KeyNames.h"

#include <gtest/gtest.h>

TEST(KeyNames, StoredGlyphsReadAsThisDesktopNamesKeys)
{
    struct Row
    {
        const char *stored;
        const char *shown;
    };
    const Row rows[] = {
        {"⇧⌘V", "Ctrl+Shift+V"}, {"⌘1", "Ctrl+1"},          {"⌃1", "Super+1"},
        {"⌃⌘Z", "Super+Ctrl+Z"}, {"⌥⇧⌘↩", "Ctrl+Alt+Shift+Return"}, {"⌘,", "Ctrl+,"},
        {"⌥Space", "Alt+Space"}, {"", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(tamo::keyNames(QString::fromUtf8(row.stored)), QString::fromUtf8(row.shown)) << row.stored;
    EXPECT_EQ(tamo::keyCapNames(QStringLiteral("⇧⌘V")),
              (QStringList{QStringLiteral("Ctrl"), QStringLiteral("Shift"), QStringLiteral("V")}));
}
