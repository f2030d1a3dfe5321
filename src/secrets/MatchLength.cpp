#include "secrets/MatchLength.h"

#include <algorithm>
#include <cctype>

namespace tamo {

namespace {

size_t plus(size_t a, size_t b)
{
    return a == unbounded || b == unbounded ? unbounded : a + b;
}

size_t times(size_t length, size_t count)
{
    if (count == 0 || length == 0)
        return 0;
    return length == unbounded || count == unbounded || length > unbounded / count ? unbounded : length * count;
}

// A recursive reading of the pattern's alternations, sequences and
// repetitions; any construct it does not know makes the whole unbounded.
class Reading
{
public:
    explicit Reading(std::string_view pattern) : m_pattern(pattern) {}

    size_t whole()
    {
        const size_t longest = alternation();
        return m_at == m_pattern.size() && !m_unknown ? longest : unbounded;
    }

private:
    bool atEnd() const { return m_at >= m_pattern.size(); }
    char peek() const { return atEnd() ? '\0' : m_pattern[m_at]; }

    size_t alternation()
    {
        size_t longest = sequence();
        while (!atEnd() && peek() == '|') {
            ++m_at;
            const size_t branch = sequence();
            longest = longest == unbounded || branch == unbounded ? unbounded : std::max(longest, branch);
        }
        return longest;
    }

    size_t sequence()
    {
        size_t total = 0;
        while (!atEnd() && peek() != '|' && peek() != ')')
            total = plus(total, repeated(atom()));
        return total;
    }

    size_t repeated(size_t length)
    {
        size_t result = length;
        if (peek() == '*' || peek() == '+') {
            ++m_at;
            result = times(length, unbounded);
        } else if (peek() == '?') {
            ++m_at;
        } else if (peek() == '{') {
            const size_t close = m_pattern.find('}', m_at);
            if (close == std::string_view::npos)
                return m_unknown = true, unbounded;
            const std::string_view bounds = m_pattern.substr(m_at + 1, close - m_at - 1);
            const size_t comma = bounds.find(',');
            const std::string_view upper = comma == std::string_view::npos ? bounds : bounds.substr(comma + 1);
            m_at = close + 1;
            result = times(length, upper.empty() ? unbounded : number(upper));
        } else {
            return result;
        }
        if (peek() == '?') // lazy: as long at most
            ++m_at;
        return result;
    }

    size_t number(std::string_view digits)
    {
        size_t value = 0;
        for (char c : digits) {
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return m_unknown = true, unbounded;
            value = value * 10 + size_t(c - '0');
        }
        return value;
    }

    size_t atom()
    {
        const char c = m_pattern[m_at++];
        switch (c) {
        case '(':
            return group();
        case '[':
            return charClass();
        case '\\':
            return escape();
        case '^':
        case '$':
            return 0;
        case '*':
        case '+':
        case '?':
        case '{':
            m_unknown = true;
            return unbounded;
        default:
            return 1;
        }
    }

    size_t group()
    {
        if (peek() == '?') {
            ++m_at;
            while (!atEnd() && (std::isalpha(static_cast<unsigned char>(peek())) || peek() == '-'))
                ++m_at;
            if (peek() == ')') { // flags alone: (?i)
                ++m_at;
                return 0;
            }
            if (peek() != ':')
                return m_unknown = true, unbounded;
            ++m_at;
        }
        const size_t inside = alternation();
        if (peek() != ')')
            return m_unknown = true, unbounded;
        ++m_at;
        return inside;
    }

    size_t charClass()
    {
        if (peek() == '^')
            ++m_at;
        if (peek() == ']')
            ++m_at;
        while (!atEnd() && peek() != ']') {
            if (peek() == '\\')
                ++m_at;
            else if (m_pattern.substr(m_at, 2) == "[:")
                m_at = std::min(m_pattern.find(":]", m_at), m_pattern.size() - 1) + 1;
            ++m_at;
        }
        if (atEnd())
            return m_unknown = true, unbounded;
        ++m_at;
        return 1;
    }

    size_t escape()
    {
        if (atEnd())
            return m_unknown = true, unbounded;
        const char c = m_pattern[m_at++];
        if (c == 'b' || c == 'B' || c == 'A' || c == 'z')
            return 0;
        if (c == 'x' && peek() != '{') {
            m_at += 2;
            return 1;
        }
        if (c == 'Q' || c == 'x' || c == 'p' || c == 'P' || c == 'C' || std::isdigit(static_cast<unsigned char>(c)))
            return m_unknown = true, unbounded;
        return 1;
    }

    std::string_view m_pattern;
    size_t m_at = 0;
    bool m_unknown = false;
};

} // namespace

size_t longestMatch(std::string_view pattern)
{
    return Reading(pattern).whole();
}

} // namespace tamo
