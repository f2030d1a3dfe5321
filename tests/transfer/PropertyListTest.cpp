#include "transfer/PasteFixtures.h"
#include "transfer/PropertyList.h"
#include "transfer/PropertyListShape.h"

#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// An array holding `element` `copies` times, `levels` deep: few bytes that
// would unfold into copies^levels objects.
QByteArray sharedElements(int levels, int copies, const QByteArray &element = "x")
{
    RawPlist plist;
    quint32 inner = plist.data(element);
    for (int i = 0; i < levels; ++i)
        inner = plist.array(QList<quint32>(copies, inner));
    return plist.bytes(inner);
}

// A chain of arrays `links` deep, then `wraps` times a chain of that length
// around the one before, all held by one root array: each chain is walked
// once, and only the references between them reach the whole depth.
QByteArray deepThroughWalkedChains(int links, int wraps)
{
    RawPlist plist;
    QList<quint32> chains{plist.array({})};
    for (int i = 1; i < links; ++i)
        chains.last() = plist.array({chains.last()});
    for (int wrap = 0; wrap < wraps; ++wrap) {
        quint32 chain = chains.last();
        for (int i = 0; i < links; ++i)
            chain = plist.array({chain});
        chains.append(chain);
    }
    return plist.bytes(plist.array(chains));
}

QByteArray cycle()
{
    RawPlist plist;
    plist.array({1});
    plist.array({0});
    return plist.bytes(0);
}

QByteArray referencePastTheTable()
{
    RawPlist plist;
    return plist.bytes(plist.array({7}));
}

QByteArray dataClaimingMoreThanItHolds()
{
    RawPlist plist;
    QByteArray bytes = plist.bytes(plist.data("abc"));
    bytes[8] = char(0x4e); // 14 bytes
    return bytes;
}

} // namespace

TEST(PropertyListTest, OnlyBoundedBinaryListsReachTheLibrary)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        bool read;
    } cases[] = {
        {"an array of data", sharedElements(1, 3), true},
        {"nested to the limit", nestedArrays(maxPropertyListDepth), true},
        {"nested one deeper", nestedArrays(maxPropertyListDepth + 1), false},
        {"nested 100,000 deep", nestedArrays(100000), false},
        {"deeper than the limit only through chains already walked", deepThroughWalkedChains(100, 1), false},
        {"32,385 deep through chains already walked", deepThroughWalkedChains(127, 254), false},
        {"one element shared 2^40 times", sharedElements(40, 2), false},
        {"a cycle", cycle(), false},
        {"a reference past the table", referencePastTheTable(), false},
        {"data past its end", dataClaimingMoreThanItHolds(), false},
        {"cut short", sharedElements(1, 3).chopped(1), false},
        {"XML", "<plist version=\"1.0\"><array/></plist>", false},
        {"nothing", {}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PropertyList::parse(c.bytes).has_value(), c.read) << c.name;
}

TEST(PropertyListTest, WhatTheLibraryWouldBuildIsCountedBeforeItIsBuilt)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        bool read;
    } cases[] = {
        {"a million shared objects", sharedElements(2, 1000), true},
        {"16 KB unfolding into four million objects", sharedElements(2, 2000), false},
        {"objects and bytes each within their limit, not together", sharedElements(2, 950, QByteArray(150, 'x')), false},
        {"more bytes in fewer objects", sharedElements(2, 500, QByteArray(600, 'x')), true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(propertyListShape(c.bytes).has_value(), c.read) << c.name;
}
