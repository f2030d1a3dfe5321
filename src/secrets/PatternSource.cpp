#include "secrets/PatternSource.h"

#include <re2/re2.h>

#include <algorithm>
#include <cctype>

namespace tamo {

namespace {

// Passes over the inline flags opening `pattern`, as (?i) and (?m); false
// where a group of flags is not closed.
bool skipFlags(std::string_view &pattern)
{
    while (pattern.starts_with("(?") && !pattern.starts_with("(?:")) {
        const size_t close = pattern.find_first_not_of("imsU", 2);
        if (close == std::string_view::npos || pattern[close] != ')')
            return false;
        pattern.remove_prefix(close + 1);
    }
    return true;
}

// The ']' closing the class opened at `open`: a ']' first is a member.
size_t classEnd(std::string_view pattern, size_t open)
{
    size_t at = open + 1;
    at += at < pattern.size() && pattern[at] == '^';
    at += at < pattern.size() && pattern[at] == ']';
    for (; at < pattern.size() && pattern[at] != ']'; ++at)
        at += pattern[at] == '\\';
    return at;
}

// Where the alternative going on at `at` ends: at the '|' or ')' outside
// any group or class of its own, or at the pattern's end.
size_t alternativeEnd(std::string_view pattern, size_t at)
{
    int depth = 0;
    for (; at < pattern.size(); ++at) {
        switch (pattern[at]) {
        case '\\':
            ++at;
            break;
        case '[':
            at = classEnd(pattern, at);
            break;
        case '(':
            ++depth;
            break;
        case ')':
            if (depth-- == 0)
                return at;
            break;
        case '|':
            if (depth == 0)
                return at;
            break;
        }
    }
    return pattern.size();
}

constexpr std::string_view quantifiers = "?*+{";

bool isQuantifier(std::string_view pattern, size_t at)
{
    return at < pattern.size() && quantifiers.find(pattern[at]) != std::string_view::npos;
}

bool takesBreak(std::string_view escape)
{
    return escape == "\\s" || escape == "\\n" || escape == "\\W" || escape == "\\D";
}

} // namespace

bool patternMayCrossLines(std::string_view pattern)
{
    if (pattern.find("(?s") != std::string_view::npos)
        return true;
    for (size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == '\\') {
            if (takesBreak(pattern.substr(at, 2)))
                return true;
            ++at;
            continue;
        }
        if (pattern[at] != '[')
            continue;
        const size_t end = classEnd(pattern, at);
        const bool negated = pattern.substr(at + 1, 1) == "^";
        bool holdsBreak = false;
        for (size_t member = at + 1 + negated; member < end; ++member) {
            if (pattern[member] == '\\')
                holdsBreak = takesBreak(pattern.substr(member++, 2)) || holdsBreak;
            else
                holdsBreak = holdsBreak || pattern[member] == '\n';
        }
        if (holdsBreak != negated)
            return true;
        at = end;
    }
    return false;
}

bool patternMayCrossLinesBefore(std::string_view pattern, const std::vector<std::string> &atoms)
{
    std::string lower(pattern);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    size_t lastAtom = 0;
    for (const std::string &atom : atoms) {
        const size_t at = lower.rfind(atom);
        if (at == std::string::npos)
            return true;
        lastAtom = std::max(lastAtom, at);
    }
    return patternMayCrossLines(pattern.substr(0, lastAtom));
}

std::optional<std::vector<std::string_view>> patternOpenings(std::string_view pattern)
{
    constexpr std::string_view special = "\\^$.|?*+()[]{}";
    if (!skipFlags(pattern))
        return std::nullopt;
    const bool grouped = pattern.starts_with("(?:") || (pattern.starts_with("(") && !pattern.starts_with("(?"));
    pattern.remove_prefix(pattern.starts_with("(?:") ? 3 : grouped);
    std::vector<std::string_view> openings;
    for (size_t at = 0;;) {
        const size_t plainEnd = std::min(pattern.find_first_of(special, at), pattern.size());
        std::string_view opening = pattern.substr(at, plainEnd - at);
        if (isQuantifier(pattern, plainEnd) && !opening.empty())
            opening.remove_suffix(1); // the last character may be left out
        if (opening.empty())
            return std::nullopt;
        openings.push_back(opening);
        const size_t end = alternativeEnd(pattern, plainEnd);
        if (end < pattern.size() && pattern[end] == '|') {
            at = end + 1;
            continue;
        }
        // The group ends, neither left out nor followed by other alternatives; or the pattern does.
        const bool closed = end < pattern.size();
        if (closed != grouped || (closed && (isQuantifier(pattern, end + 1) || alternativeEnd(pattern, end + 1) != pattern.size())))
            return std::nullopt;
        return openings;
    }
}

std::optional<std::string> withLastRunOpen(std::string_view pattern)
{
    static const RE2 boundedRunLast(R"((.*\((?:\\[A-Za-z]|\[\^?\]?[^\]]*\])\{[0-9]+,)[0-9]+(\}\)))");
    std::string head, tail;
    std::string_view body = pattern;
    if (!RE2::FullMatch(re2::StringPiece(pattern.data(), pattern.size()), boundedRunLast, &head, &tail)
        || !skipFlags(body) || alternativeEnd(body, 0) != body.size())
        return std::nullopt;
    return head + tail;
}

} // namespace tamo
