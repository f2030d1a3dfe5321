#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tamo {

// What every token of a row with no literal holds: a separator followed by
// a run of at least `minRun` letters and digits (and dashes and underscores,
// where `dashesInRun`), and, where `capitalInToken`, a capital somewhere in
// the token of letters, digits, dashes and underscores around it.
struct SeparatorRun
{
    std::string_view separators;
    int minRun = 1;
    bool dashesInRun = false;
    bool capitalInToken = false;
};

// Finds where each of a few separator runs occurs in one pass over a text,
// so that the rows needing one run only on the lines that hold it.
class SeparatorRunFinder
{
public:
    explicit SeparatorRunFinder(std::vector<SeparatorRun> shapes);

    // The offsets of the separators that start each shape's run, by shape, ascending.
    std::vector<std::vector<uint32_t>> find(std::string_view text) const;

private:
    class CapitalInToken;
    // The high bit of each byte of the eight at `bytes` that may be a separator.
    uint64_t separatorsIn(const char *bytes) const;
    void takeRuns(std::string_view text, size_t at, std::vector<CapitalInToken> &capitals,
                  std::vector<std::vector<uint32_t>> &found) const;

    static constexpr size_t maxShapes = 8;
    std::vector<SeparatorRun> m_shapes;
    uint8_t m_shapesAt[256] = {}; // a bit for each shape the byte separates
    std::vector<uint64_t> m_broadcasts; // each separator, in every byte of a word
};

} // namespace tamo
