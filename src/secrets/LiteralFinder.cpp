#include "secrets/LiteralFinder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <deque>
#include <limits>
#include <numeric>

namespace tamo {

LiteralFinder::LiteralFinder(const std::vector<std::string> &literals) : m_literalCount(literals.size())
{
    for (const std::string &literal : literals) {
        for (char c : literal) {
            const auto lower = uint8_t(std::tolower(static_cast<unsigned char>(c)));
            if (m_symbolOf[lower] == 0)
                m_symbolOf[lower] = uint8_t(m_symbols++);
        }
    }
    for (int c = 'A'; c <= 'Z'; ++c)
        m_symbolOf[c] = m_symbolOf[std::tolower(c)];

    // The trie, with -1 for a missing move.
    std::vector<int> moves(m_symbols, -1);
    std::vector<std::vector<int>> found(1);
    for (size_t index = 0; index < literals.size(); ++index) {
        const std::string &literal = literals[index];
        m_lengths.push_back(uint8_t(std::min<size_t>(literal.size(), 255)));
        m_longest = std::max<size_t>(m_longest, m_lengths.back());
        if (literal.empty())
            continue; // found nowhere rather than everywhere
        int state = 0;
        for (char c : literal) {
            const uint8_t symbol = m_symbolOf[static_cast<unsigned char>(c)];
            const size_t move = size_t(state) * m_symbols + symbol;
            if (moves[move] < 0) {
                moves[move] = int(found.size());
                found.emplace_back();
                moves.resize(moves.size() + m_symbols, -1);
            }
            state = moves[move];
        }
        found[size_t(state)].push_back(int(index));
    }

    // Breadth first, each missing move takes its fallback's move, and each
    // state reports what its fallback reports.
    std::vector<int> fallback(found.size(), 0);
    std::deque<int> queue;
    for (size_t symbol = 0; symbol < m_symbols; ++symbol) {
        int &move = moves[symbol];
        if (move < 0)
            move = 0;
        else
            queue.push_back(move);
    }
    while (!queue.empty()) {
        const int state = queue.front();
        queue.pop_front();
        for (size_t symbol = 0; symbol < m_symbols; ++symbol) {
            int &move = moves[size_t(state) * m_symbols + symbol];
            const int fallbackMove = moves[size_t(fallback[size_t(state)]) * m_symbols + symbol];
            if (move < 0) {
                move = fallbackMove;
                continue;
            }
            fallback[size_t(move)] = fallbackMove;
            const std::vector<int> &inherited = found[size_t(fallbackMove)];
            found[size_t(move)].insert(found[size_t(move)].end(), inherited.begin(), inherited.end());
            queue.push_back(move);
        }
    }

    // Numbered so that the states ending a literal come last: the scan then
    // tells them by one comparison.
    std::vector<int> order(found.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_partition(order.begin(), order.end(), [&found](int state) { return found[size_t(state)].empty(); });
    std::vector<State> renumbered(found.size());
    for (size_t number = 0; number < order.size(); ++number)
        renumbered[size_t(order[number])] = State(number);
    m_firstReporting = State(std::count_if(found.begin(), found.end(), [](const auto &f) { return f.empty(); }));
    m_moves.resize(moves.size());
    m_found.resize(found.size());
    for (size_t state = 0; state < found.size(); ++state) {
        const size_t to = renumbered[state];
        for (size_t symbol = 0; symbol < m_symbols; ++symbol)
            m_moves[to * m_symbols + symbol] = renumbered[size_t(moves[state * m_symbols + symbol])];
        m_found[to] = std::move(found[state]);
    }
}

// The text is read as a few stripes at once: the moves of one stripe wait
// on the table, and the others' hide that wait. Each stripe starts early by
// the longest literal, so a literal crossing into it is found whole; it
// keeps only what ends inside it.
void LiteralFinder::findInStripes(std::string_view text, std::vector<Occurrence> *stripes, size_t stripeCount) const
{
    const size_t stripe = text.size() / stripeCount;
    const size_t lead = m_longest;
    std::array<size_t, maxStripes> at{}, begin{}, end{};
    std::array<State, maxStripes> state{};
    for (size_t s = 0; s < stripeCount; ++s) {
        begin[s] = s * stripe;
        end[s] = s + 1 == stripeCount ? text.size() : begin[s] + stripe;
        at[s] = begin[s] - std::min(begin[s], lead);
    }
    const auto step = [&](size_t s) {
        state[s] = next(state[s], text[at[s]]);
        if (state[s] >= m_firstReporting && at[s] >= begin[s])
            stripes[s].push_back({uint32_t(at[s]), state[s]});
        ++at[s];
    };
    // Every stripe has at least `stripe` bytes to read; the last may have more.
    for (size_t i = 0; i < stripe; ++i) {
        for (size_t s = 0; s < stripeCount; ++s)
            step(s);
    }
    for (size_t s = 0; s < stripeCount; ++s) {
        while (at[s] < end[s])
            step(s);
    }
}

bool LiteralFinder::occursIn(std::string_view text) const
{
    State state = 0;
    for (char byte : text) {
        state = next(state, byte);
        if (state >= m_firstReporting)
            return true;
    }
    return false;
}

void LiteralFinder::Found::clear()
{
    constexpr size_t maxKept = 16 * 1024;
    for (int literal : m_literals) {
        std::vector<uint32_t> &offsets = m_byLiteral[size_t(literal)];
        if (offsets.capacity() > maxKept)
            offsets = {};
        else
            offsets.clear();
    }
    m_literals.clear();
}

void LiteralFinder::find(std::string_view text, Found &found) const
{
    constexpr size_t minStripe = 16 * 1024;
    const size_t stripeCount = std::clamp<size_t>(text.size() / minStripe, 1, maxStripes);
    std::array<std::vector<Occurrence>, maxStripes> stripes;
    findInStripes(text, stripes.data(), stripeCount);
    found.clear();
    found.m_byLiteral.resize(m_literalCount);
    for (size_t s = 0; s < stripeCount; ++s) {
        for (const Occurrence &occurrence : stripes[s]) {
            for (int literal : m_found[occurrence.state]) {
                std::vector<uint32_t> &offsets = found.m_byLiteral[size_t(literal)];
                if (offsets.empty())
                    found.m_literals.push_back(literal);
                offsets.push_back(occurrence.end + 1 - m_lengths[size_t(literal)]);
            }
        }
    }
    std::sort(found.m_literals.begin(), found.m_literals.end());
}

} // namespace tamo
