#include "secrets/SeparatorRuns.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tamo {

namespace {

enum : uint8_t { Alnum = 1, Dash = 2, Capital = 4 };

constexpr std::array<uint8_t, 256> classes = [] {
    std::array<uint8_t, 256> table{};
    for (int c = '0'; c <= '9'; ++c)
        table[size_t(c)] = Alnum;
    for (int c = 'a'; c <= 'z'; ++c)
        table[size_t(c)] = Alnum;
    for (int c = 'A'; c <= 'Z'; ++c)
        table[size_t(c)] = Alnum | Capital;
    table['-'] = table['_'] = Dash;
    return table;
}();

uint8_t classOf(char c)
{
    return classes[static_cast<unsigned char>(c)];
}

bool runFollows(std::string_view text, size_t separator, const SeparatorRun &shape)
{
    const uint8_t inRun = shape.dashesInRun ? Alnum | Dash : Alnum;
    const size_t runEnd = separator + 1 + size_t(shape.minRun);
    if (runEnd > text.size())
        return false;
    for (size_t at = separator + 1; at < runEnd; ++at) {
        if ((classOf(text[at]) & inRun) == 0)
            return false;
    }
    return true;
}

// The high bit of every byte of `word` that is the byte `broadcast`
// repeats, and maybe of some bytes after one that is.
uint64_t bytesEqual(uint64_t word, uint64_t broadcast)
{
    constexpr uint64_t ones = 0x0101010101010101u;
    constexpr uint64_t highs = 0x8080808080808080u;
    const uint64_t diff = word ^ broadcast;
    return (diff - ones) & ~diff & highs;
}

} // namespace

SeparatorRunFinder::SeparatorRunFinder(std::vector<SeparatorRun> shapes) : m_shapes(std::move(shapes))
{
    Q_ASSERT(m_shapes.size() <= maxShapes);
    for (size_t shape = 0; shape < m_shapes.size(); ++shape) {
        for (char separator : m_shapes[shape].separators)
        {
            if (m_shapesAt[static_cast<unsigned char>(separator)] == 0)
                m_broadcasts.push_back(0x0101010101010101u * static_cast<unsigned char>(separator));
            m_shapesAt[static_cast<unsigned char>(separator)] |= uint8_t(1u << shape);
        }
    }
}

// Whether the token holding the separator at an offset has a capital. The
// last token read is kept, as offsets come in order, so a long token is read once.
class SeparatorRunFinder::CapitalInToken
{
public:
    explicit CapitalInToken(std::string_view text) : m_text(text) {}

    bool at(size_t offset)
    {
        if (offset >= m_end) {
            size_t begin = offset;
            while (begin > 0 && classOf(m_text[begin - 1]) != 0)
                --begin;
            m_end = offset + 1;
            while (m_end < m_text.size() && classOf(m_text[m_end]) != 0)
                ++m_end;
            m_capital = std::any_of(m_text.begin() + std::ptrdiff_t(begin), m_text.begin() + std::ptrdiff_t(m_end),
                                    [](char c) { return (classOf(c) & Capital) != 0; });
        }
        return m_capital;
    }

private:
    std::string_view m_text;
    size_t m_end = 0;
    bool m_capital = false;
};

uint64_t SeparatorRunFinder::separatorsIn(const char *bytes) const
{
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    uint64_t separators = 0;
    for (uint64_t broadcast : m_broadcasts)
        separators |= bytesEqual(word, broadcast);
    return separators;
}

void SeparatorRunFinder::takeRuns(std::string_view text, size_t at, std::vector<CapitalInToken> &capitals,
                                  std::vector<std::vector<uint32_t>> &found) const
{
    const uint8_t shapes = m_shapesAt[static_cast<unsigned char>(text[at])];
    for (size_t shape = 0; shape < m_shapes.size(); ++shape) {
        if ((shapes >> shape & 1) != 0 && runFollows(text, at, m_shapes[shape])
            && (!m_shapes[shape].capitalInToken || capitals[shape].at(at)))
            found[shape].push_back(uint32_t(at));
    }
}

std::vector<std::vector<uint32_t>> SeparatorRunFinder::find(std::string_view text) const
{
    std::vector<std::vector<uint32_t>> found(m_shapes.size());
    std::vector<CapitalInToken> capitals(m_shapes.size(), CapitalInToken(text));
    // Eight bytes at a time; a byte the word test flags is checked on its own.
    constexpr size_t wordSize = sizeof(uint64_t);
    size_t word = 0;
    for (; word + wordSize <= text.size(); word += wordSize) {
        for (uint64_t flagged = separatorsIn(text.data() + word); flagged != 0; flagged &= flagged - 1) {
            const size_t at = word + size_t(std::countr_zero(flagged)) / 8;
            if (m_shapesAt[static_cast<unsigned char>(text[at])] != 0)
                takeRuns(text, at, capitals, found);
        }
    }
    for (size_t at = word; at < text.size(); ++at) {
        if (m_shapesAt[static_cast<unsigned char>(text[at])] != 0)
            takeRuns(text, at, capitals, found);
    }
    return found;
}

} // namespace tamo
