#include "transfer/Lzfse.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

// Streams written by Apple's own encoder, with the SHA-256 of what they
// decode to, as published in the test data of the dissect.util project
// (github.com/fox-it/dissect.util, tests/compression/test_lzfse.py and
// test_lzvn.py). The large stream is a lorem-ipsum text of 14,047 bytes,
// once as an LZFSE block with packed tables and once as LZVN.
const char abcLzvnStream[] = "6276786e2c01000013000000c803616263f0fff005e163060000000000000062767824";
const char abcDigest[] = "d9f5aeb06abebb3be3f38adec9a2e3b94228d52193be923eb4e24c9b56ee0930";
const char loremFseStream[] =
    "62767832df360000a401200e000d0030b92c8bef56220070a50000003984"
    "70085f00b0000000383e59c0f1090000005fc027710c0000fc031c1f03c7"
    "700cc70000000000000000006c00003600000000005f07000000e7000000"
    "00100060418004120000e06338f9061e8067629dacdf013e836fe041f807"
    "be80fd14fc0e3fc29f704700000000000000000000000000000000000000"
    "000000000000000000000000000000000000101288d24318d9f446277ac6"
    "885a4b5dea360854e4c4616262d667f9f1ff53187e598fe2f5ddf7b768f4"
    "bcc1f6441b9e55e0d1be84b4b91544337f11c4d0d615068c79817f5d19f2"
    "09c83975cf9669b7f3d1024d9cc795e8ac449090696a7660585fac1a891c"
    "40557bb46c1b62a35ab2608d574e82ba9f3956d0f811370c78d69b24240f"
    "fd80ec4eccb6dc1e7f1c6f2f276a71e9c73183844c3dce83088eeed6c77c"
    "3e35316f414db430fcd2e22d0c07998d601addd5907f852df080386fe69e"
    "b78675198704b4bf5361caaf482e9333c6de0d46fbf87b4387fc6ac57116"
    "0300000000000000000066b7fffffff3fffa3ff7ff1fd2273e1f85c5f04f"
    "0f4945ab8462767824";
const char loremLzvnPayload[] =
    "e0514c6f72656d20697073756d20646f6c6f722073697420616d65742063"
    "6f6e73656374657475722061646970697363696e6720656c69742e205175"
    "69737175652066617563696275732065782073617069656e207669746165"
    "2070656c6c656e74651026406473e7706c6163657261003cea496e206964"
    "20637572730038e86d6920707265746900804033740012405b64087dec76"
    "616c6c69732e2054656d700017ed6c656f2065752061656e65616e0052eb"
    "64206469616d2075726e61003aee6d706f722e2050756c76696e61720084"
    "c03576616d80b36672e5696c6c6120007e0010e46e65632000dc000ae662"
    "6962656e640076e665676573746100684022490071eb206d61737361206e"
    "69736c000be66c6573756164103fe6696e6961206900d3e006676572206e"
    "756e6320706f73756572652e2055742068004ee5726572697408ed402270"
    "e676656c20636c004ce420617074010a80432074e8746920736f63696f01"
    "16e52e20416420014c80c06f72e46f7271750824083900fb806b7562e56e"
    "6f7374720872e003636570746f732068696d656e61656f732e0a0a39b7f0"
    "fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0"
    "fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0"
    "fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0fff0"
    "fff0fff0fff0fff0fff01de3732e0a0600000000000000";
const char loremDigest[] = "73d3dd96ca2e2f0144a117019256d770ee7c6febeaee09b24956c723ae22b529";

constexpr qsizetype cap = 1 << 20;

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (8 * i));
    return bytes;
}

QByteArray lzvnBlock(quint32 rawBytes, const QByteArray &payload)
{
    return QByteArray("bvxn") + le32(rawBytes) + le32(quint32(payload.size())) + payload;
}

std::string digest(const std::optional<QByteArray> &bytes)
{
    return bytes ? QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex().toStdString() : "none";
}

} // namespace

TEST(LzfseTest, DecodesStreamsAppleWrote)
{
    EXPECT_EQ(digest(lzfse::decode(QByteArray::fromHex(abcLzvnStream), cap)), abcDigest);
    EXPECT_EQ(lzfse::decode(QByteArray::fromHex(abcLzvnStream), cap), QByteArray("abc").repeated(100));
    EXPECT_EQ(digest(lzfse::decode(QByteArray::fromHex(loremFseStream), cap)), loremDigest);
    const QByteArray lorem = lzvnBlock(14047, QByteArray::fromHex(loremLzvnPayload)) + "bvx$";
    EXPECT_EQ(digest(lzfse::decode(lorem, cap)), loremDigest);
}

TEST(LzfseTest, StoredBlocksAndMatchesReachIntoEarlierBlocks)
{
    // "abc" stored, then an LZVN match of 6 at distance 3 (previous-distance
    // opcodes need a distance first, so a small-distance one: 0x18 0x03).
    const QByteArray stream = QByteArray("bvx-") + le32(3) + "abc"
                              + lzvnBlock(6, QByteArray::fromHex("1803") + QByteArray::fromHex("0600000000000000"))
                              + "bvx$";
    EXPECT_EQ(lzfse::decode(stream, cap), QByteArray("abcabcabc"));
    EXPECT_EQ(lzfse::decode("bvx$", cap), QByteArray());
}

TEST(LzfseTest, RefusesDamagedTruncatedAndOversizedStreams)
{
    const QByteArray good = QByteArray::fromHex(loremFseStream);
    const QByteArray abc = QByteArray::fromHex(abcLzvnStream);
    QByteArray flipped = good;
    for (qsizetype i = 380; i < 400; ++i)
        flipped[i] = char(0xff);
    const qsizetype loremBytes = lzfse::decode(good, cap).value_or(QByteArray()).size();
    ASSERT_GT(loremBytes, 0);
    const QByteArray storedBlock = QByteArray("bvx-") + le32(100) + QByteArray(100, 'x');
    const struct
    {
        const char *name;
        QByteArray stream;
        qsizetype cap;
    } cases[] = {
        {"empty", {}, cap},
        {"no end block", good.chopped(4), cap},
        {"cut in the payload", good.left(300), cap},
        {"cut in the header", good.left(20), cap},
        {"unknown block", QByteArray("bvxZ") + le32(1) + "bvx$", cap},
        {"flipped payload byte", flipped, cap},
        {"raw size beyond the cap", abc, 299},
        // Each block within the cap, together beyond it.
        {"three stored blocks", storedBlock.repeated(3) + "bvx$", 250},
        {"two LZVN blocks", abc.chopped(4) + abc, 500},
        {"two LZFSE blocks", good.chopped(4) + good, loremBytes * 3 / 2},
        {"stored block claiming 4 GB", QByteArray("bvx-") + le32(0xffffffffu) + "abc", qsizetype(1) << 40},
        {"packed block claiming 4 GB", QByteArray("bvx2") + le32(0xffffffffu) + good.mid(8), qsizetype(1) << 40},
        {"LZVN claiming more than it holds", lzvnBlock(1000000, QByteArray::fromHex("e1610600000000000000")) + "bvx$",
         qsizetype(1) << 40},
        {"LZVN match before the start", lzvnBlock(4, QByteArray::fromHex("0805")) + "bvx$", cap},
        {"LZVN distance zero", lzvnBlock(3, QByteArray::fromHex("e1610800")) + "bvx$", cap},
        {"LZVN undefined opcode", lzvnBlock(1, QByteArray::fromHex("70")) + "bvx$", cap},
        {"LZVN short of its size", lzvnBlock(2, QByteArray::fromHex("e1610600000000000000")) + "bvx$", cap},
        {"LZVN literal past the payload", lzvnBlock(15, QByteArray::fromHex("ef6162")) + "bvx$", cap},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lzfse::decode(c.stream, c.cap), std::nullopt) << c.name;
}
