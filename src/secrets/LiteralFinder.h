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

    // Where the literals occur in one text. Kept from one text to the next,
    // a short text pays for the few literals it holds, not for every one.
    class Found
    {
    public:
        // Start offsets of each literal's occurrences, by literal.
        const std::vector<std::vector<uint32_t>> &byLiteral() const { return m_byLiteral; }
        // The literals that occur, in ascending order.
        const std::vector<int> &literals() const { return m_literals; }
        // Empties what was found, giving back what a long text took.
        void clear();

    private:
        friend class LiteralFinder;
        std::vector<std::vector<uint32_t>> m_byLiteral;
        std::vector<int> m_literals;
    };

    // Where the literals occur in `text`, in `found`.
    void find(std::string_view text, Found &found) const;

    // Whether any of the literals occurs in `text`.
    bool occursIn(std::string_view text) const;

private:
    using State = uint32_t;
    struct Occurrence
    {
        uint32_t end;
        State state;
    };

    State next(State state, char byte) const
    {
        return m_moves[size_t(state) * m_symbols + m_symbolOf[static_cast<unsigned char>(byte)]];
    }
    static constexpr size_t maxStripes = 4;
    void findInStripes(std::string_view text, std::vector<Occurrence> *stripes, size_t stripeCount) const;

    size_t m_literalCount = 0;
    size_t m_longest = 0;
    size_t m_symbols = 1;                  // symbol 0 is any byte no literal holds
    uint8_t m_symbolOf[256] = {};
    std::vector<State> m_moves;            // state × symbol → state
    State m_firstReporting = 0;            // states from here on end a literal
    std::vector<std::vector<int>> m_found; // literals ending in a state
    std::vector<uint8_t> m_lengths;
};

} // namespace tamo
