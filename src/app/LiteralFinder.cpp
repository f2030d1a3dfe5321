#include "app/LiteralFinder.h"

#include <cctype>
#include <deque>

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
    m_found.emplace_back();
    for (size_t index = 0; index < literals.size(); ++index) {
        const std::string &literal = literals[index];
        m_lengths.push_back(uint8_t(std::min<size_t>(literal.size(), 255)));
        int state = 0;
        for (char c : literal) {
            const uint8_t symbol = m_symbolOf[static_cast<unsigned char>(c)];
            const size_t move = size_t(state) * m_symbols + symbol;
            if (moves[move] < 0) {
                moves[move] = int(m_found.size());
                m_found.emplace_back();
                moves.resize(moves.size() + m_symbols, -1);
            }
            state = moves[move];
        }
        m_found[size_t(state)].push_back(int(index));
    }

    // Breadth first, each missing move takes its fallback's move, and each
    // state reports what its fallback reports.
    std::vector<int> fallback(m_found.size(), 0);
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
            const std::vector<int> &inherited = m_found[size_t(fallbackMove)];
            m_found[size_t(move)].insert(m_found[size_t(move)].end(), inherited.begin(), inherited.end());
            queue.push_back(move);
        }
    }
    m_moves = std::move(moves);
    for (const std::vector<int> &found : m_found)
        m_reports.push_back(!found.empty());
}

std::vector<std::vector<uint32_t>> LiteralFinder::find(std::string_view text) const
{
    std::vector<std::vector<uint32_t>> found(m_literalCount);
    int state = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        state = next(state, m_symbolOf[static_cast<unsigned char>(text[at])]);
        if (!m_reports[size_t(state)])
            continue;
        for (int literal : m_found[size_t(state)])
            found[size_t(literal)].push_back(uint32_t(at + 1 - m_lengths[size_t(literal)]));
    }
    return found;
}

} // namespace tamo
