#include "platform/Edid.h"

#include <gtest/gtest.h>

using tamo::Edid;

namespace {

QByteArray descriptor(char tag, const QByteArray &text)
{
    QByteArray bytes(18, ' ');
    bytes.replace(0, 5, QByteArray("\0\0\0", 3) + tag + '\0');
    bytes.replace(5, text.size(), text);
    return bytes;
}

// A base block: manufacturer "DEL", product 0xA0F1, serial 0x12345678, and a
// serial-text descriptor before the product name.
QByteArray edidBlock(const QByteArray &productName)
{
    QByteArray block(128, '\0');
    block.replace(0, 8, QByteArray::fromHex("00ffffffffffff00"));
    block.replace(8, 8, QByteArray::fromHex("10ac" "f1a0" "78563412"));
    block.replace(72, 18, descriptor(char(0xff), "SERIALTEXT\n"));
    if (!productName.isEmpty())
        block.replace(90, 18, descriptor(char(0xfc), productName + '\n'));
    return block;
}

} // namespace

TEST(Edid, ReadsTheNumbersAndProductName)
{
    const Edid edid = Edid::parse(edidBlock("DELL U2720Q"));
    EXPECT_EQ(edid.vendor, 0x10acu); // "DEL", as macOS reports it
    EXPECT_EQ(edid.model, 0xa0f1u);
    EXPECT_EQ(edid.serial, 0x12345678u);
    EXPECT_EQ(edid.name, QStringLiteral("DELL U2720Q"));
    EXPECT_TRUE(Edid::parse(edidBlock({})).name.isEmpty()) << "no product name descriptor";
}

TEST(Edid, AnythingElseReadsAsUnknown)
{
    const QByteArray valid = edidBlock("X");
    QByteArray badHeader = valid;
    badHeader[1] = 0;
    for (const QByteArray &bytes : {QByteArray(), valid.left(127), badHeader}) {
        const Edid edid = Edid::parse(bytes);
        EXPECT_EQ(edid.vendor, 0u);
        EXPECT_EQ(edid.model, 0u);
        EXPECT_EQ(edid.serial, 0u);
        EXPECT_TRUE(edid.name.isEmpty());
    }
}
