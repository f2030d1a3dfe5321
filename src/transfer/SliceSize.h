#pragma once

#include <QtGlobal>

#include <algorithm>

namespace tamo {

// How many items the next slice of a long merge on the main thread takes,
// so that a slice with its save lasts about as long as wanted: the first a
// few, later ones as many as fitted the time of the one before (saves cost
// most).
class SliceSize
{
public:
    int items() const { return m_items; }
    // The slice of items() just ended after `elapsed` of the `wanted` milliseconds.
    void took(qint64 elapsed, int wanted)
    {
        const qint64 fitting = qint64(m_items) * wanted / std::max<qint64>(1, elapsed);
        m_items = int(std::clamp<qint64>(fitting, std::max(fewest, m_items / 2), std::min(most, m_items * 2)));
    }

private:
    static constexpr int first = 50;
    static constexpr int fewest = 10;
    static constexpr int most = 1000;

    int m_items = first;
};

} // namespace tamo
