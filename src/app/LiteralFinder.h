#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamo {

// Finds every occurrence of many lower-case literals, ignoring ASCII case,
// in one pass over a text (Aho–Corasick), so that a pattern needing one of
// them is run only around where it occurs.
class LiteralFinder
{
public:
    explicit LiteralFinder(const std::vector<std::string> &literals);

    // Start offsets of each literal's occurrences in `text`, by literal.
    std::vector<std::vector<uint32_t>> find(std::string_view text) const;

private:
    int next(int state, uint8_t symbol) const { return m_moves[size_t(state) * m_symbols + symbol]; }

    size_t m_literalCount = 0;
    size_t m_symbols = 1;                  // symbol 0 is any byte no literal holds
    uint8_t m_symbolOf[256] = {};
    std::vector<int> m_moves;              // state × symbol → state
    std::vector<std::vector<int>> m_found; // literals ending in a state
    std::vector<uint8_t> m_reports;        // whether a state ends a literal
    std::vector<uint8_t> m_lengths;
};

} // namespace tamo
