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

TEST(KeyNames, AKeysymReadsAsItsKeyCap)
{
    const struct
    {
        quint32 keysym;
        const char *cap;
    } rows[] = {
        {0x60, "`"},          // grave, US
        {0xfe52, "^"},        // dead circumflex, German
        {0xb2, "²"},          // twosuperior, French
        {0xa7, "§"},          // section, where a layout has it there
        {0x10004e9, "ө"},     // a Unicode keysym
        {0x20, ""},           // space has no cap of its own
        {0xff0d, ""},         // Return
        {0x1000000, ""},      // a control character
        {0, ""},              // NoSymbol
    };
    for (const auto &row : rows)
        EXPECT_EQ(tamo::keysymCap(row.keysym), QString::fromUtf8(row.cap)) << std::hex << row.keysym;
}
