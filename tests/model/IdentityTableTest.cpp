#include "model/IdentityTable.h"
#include "model/Record.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tamo;

namespace {

// Counts the blocks allocate_shared takes, one per record as with
// make_shared: a block goes back only once no weak reference is left either.
template<typename T>
struct CountingAllocator
{
    using value_type = T;
    explicit CountingAllocator(int &live) : live(&live) {}
    template<typename U>
    CountingAllocator(const CountingAllocator<U> &other) : live(other.live) {}

    T *allocate(std::size_t n)
    {
        ++*live;
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T *p, std::size_t n)
    {
        --*live;
        std::allocator<T>().deallocate(p, n);
    }
    bool operator==(const CountingAllocator &) const = default;

    int *live;
};

constexpr int remembered = 10000;

const EntitySpec rowEntity{"Row", StoreFile::synced, {}, false};

class Row final : public Record
{
public:
    const EntitySpec &entity() const override { return rowEntity; }

private:
    QVariant columnValue(int) const override { return {}; }
    void setColumnValue(int, const QVariant &) override {}
};

} // namespace

TEST(IdentityTable, RecordsNobodyHoldsGiveTheirStorageBackAsMoreAreRemembered)
{
    int liveBlocks = 0;
    IdentityTable table;
    std::vector<std::shared_ptr<Record>> held;
    for (int row = 1; row <= remembered; ++row) {
        auto record = std::allocate_shared<Row>(CountingAllocator<Row>(liveBlocks));
        table.remember(row, record);
        if (row % 100 == 0)
            held.push_back(record);
    }
    EXPECT_LT(liveBlocks, remembered / 10);
    EXPECT_LT(table.size(), remembered / 10);
}

TEST(IdentityTable, HeldRecordsOutliveEverySweepAndForgottenOnesAreNotFound)
{
    IdentityTable table;
    std::vector<std::shared_ptr<Record>> held;
    for (int row = 1; row <= remembered; ++row) {
        auto record = std::make_shared<Row>();
        table.remember(row, record);
        if (row % 2 == 0)
            held.push_back(record);
    }
    for (int row = 1; row <= remembered; ++row) {
        if (row % 2 == 0) {
            EXPECT_EQ(table.find(row), held[row / 2 - 1]) << row;
        } else {
            EXPECT_EQ(table.find(row), nullptr) << row;
        }
    }
}

// Sweeping at every insert made each fetch of a long history quadratic.
TEST(IdentityTable, SweepsLookAtEachEntryAFewTimesAtMost)
{
    const struct
    {
        const char *name;
        int heldEvery; // 0: none held
    } cases[] = {{"every record held", 1}, {"every other one held", 2}, {"none held", 0}};
    for (const auto &c : cases) {
        IdentityTable table;
        std::vector<std::shared_ptr<Record>> held;
        for (int row = 1; row <= remembered; ++row) {
            auto record = std::make_shared<Row>();
            table.remember(row, record);
            if (c.heldEvery > 0 && row % c.heldEvery == 0)
                held.push_back(record);
        }
        EXPECT_LE(table.sweptEntries(), 4 * remembered) << c.name;
    }
}
