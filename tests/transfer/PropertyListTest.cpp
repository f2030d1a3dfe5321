#include "transfer/PasteFixtures.h"
#include "transfer/PropertyList.h"
#include "transfer/PropertyListShape.h"

#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

// An array holding `element` `copies` times, `levels` deep: few bytes that
// would unfold into copies^levels objects.
QByteArray sharedElements(int levels, int copies)
{
    RawPlist plist;
    quint32 inner = plist.data("x");
    for (int i = 0; i < levels; ++i)
        inner = plist.array(QList<quint32>(copies, inner));
    return plist.bytes(inner);
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
