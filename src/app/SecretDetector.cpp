#include "app/SecretDetector.h"

#include "app/LiteralFinder.h"
#include "app/SecretAssignments.h"
#include "app/SecretProviderKeys.h"
#include "app/SecretRules.h"
#include "app/SecretStructures.h"
#include "app/SecretText.h"

#include <QtGlobal>

#include <re2/filtered_re2.h>
#include <re2/re2.h>
#include <re2/set.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace tamo::SecretDetector {

using namespace secrettext;

namespace {

// A token must stand alone: no word character or dash glued to either end.
constexpr std::string_view tokenEnd = R"((?:[^0-9A-Za-z_-]|$))";
// The set's DFA is built lazily and grows with the rows; past this budget
// RE2 gives up, and the patterns are then run one by one.
constexpr int64_t memoryBudget = 256 << 20;

RE2::Options latin1Options()
{
    RE2::Options options;
    options.set_encoding(RE2::Options::EncodingLatin1);
    options.set_log_errors(false);
    options.set_max_mem(memoryBudget);
    return options;
}

// What a pattern of the set stands for.
struct Detector
{
    std::unique_ptr<RE2> pattern;
    const secretrules::SecretRule *rule = nullptr;             // a token row, or
    const secretstructures::Structure *structure = nullptr;    // a structure
};

// `pattern` with every counted repetition, {n}, {n,m} or {n,}, widened to
// any number of repeats, so it matches wherever `pattern` does: counters
// over overlapping classes would multiply the states of a set's DFA.
std::string widened(std::string_view pattern)
{
    std::string wide;
    wide.reserve(pattern.size());
    for (size_t at = 0; at < pattern.size(); ++at) {
        const char c = pattern[at];
        if (c == '\\' && at + 1 < pattern.size()) {
            wide += pattern.substr(at, 2);
            ++at;
            continue;
        }
        const size_t close = c == '{' ? pattern.find('}', at) : std::string_view::npos;
        const std::string_view counts = close == std::string_view::npos ? std::string_view() : pattern.substr(at + 1, close - at - 1);
        const bool repetition = !counts.empty() && counts.find_first_not_of("0123456789,") == std::string_view::npos
            && counts.front() != ',';
        if (!repetition) {
            wide += c;
            continue;
        }
        wide += counts.front() == '0' && (counts.size() == 1 || counts[1] == ',') ? '*' : '+';
        at = close;
    }
    return wide;
}

// Whether `pattern` starts with two literal characters (after its opening
// groups), so that a set only follows it from where they occur.
bool startsWithLiteral(std::string_view pattern)
{
    while (pattern.starts_with('(') && !pattern.starts_with("(?"))
        pattern.remove_prefix(1);
    const auto literal = [](std::string_view rest) -> size_t {
        if (rest.size() >= 2 && rest[0] == '\\' && std::ispunct(static_cast<unsigned char>(rest[1])))
            return 2;
        return !rest.empty() && (std::isalnum(static_cast<unsigned char>(rest[0])) || rest[0] == '_' || rest[0] == '-') ? 1 : 0;
    };
    const size_t first = literal(pattern);
    return first > 0 && literal(pattern.substr(first)) > 0 && pattern.substr(first + literal(pattern.substr(first))).find_first_of("?*{") != 0;
}

// Where in the text a detector's pattern is run: whole lines, in order.
struct Window
{
    size_t begin;
    size_t end;
};
using Windows = std::vector<Window>;

// The lines of a text, found once, to widen a hit into the lines around it.
class Lines
{
public:
    explicit Lines(std::string_view text) : m_size(text.size())
    {
        for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
            m_breaks.push_back(at);
    }

    // From the start of the line `above` lines above `at`'s to the end of
    // the line `below` lines below it.
    Window around(size_t at, size_t above, size_t below) const
    {
        const size_t line = size_t(std::lower_bound(m_breaks.begin(), m_breaks.end(), at) - m_breaks.begin());
        return {line > above ? m_breaks[line - above - 1] + 1 : 0,
                line + below < m_breaks.size() ? m_breaks[line + below] + 1 : m_size};
    }

private:
    size_t m_size;
    std::vector<size_t> m_breaks;
};

// Every token row and structure, compiled once. Those that start with a
// literal run together as one set in one pass over the text, and then on
// their own over the whole text: RE2 skips to their literal. The others
// need literal atoms (RE2's prefilters); one pass finds where every atom
// occurs, and each candidate the atoms leave runs only on the lines around
// its own atoms, to find and judge its matches.
class Detectors
{
public:
    // A detector that may match, and where.
    struct Candidate
    {
        int detector;
        Windows windows;
    };

    Detectors()
        : m_literalLed(latin1Options(), RE2::UNANCHORED)
        , m_listedTokens(latin1Options(), RE2::ANCHOR_START)
    {
        for (const secretrules::SecretRule &rule : secretrules::rules()) {
            if (rule.where != secretrules::Where::anywhere)
                continue;
            const std::string standingAlone = std::string(rule.pattern).append(tokenEnd);
            add(std::string("(").append(rule.pattern).append(")").append(tokenEnd), &rule, nullptr);
            if (!secretrules::isAnyIssuer(rule))
                m_listedTokens.Add(standingAlone, nullptr);
        }
        for (const secretstructures::Structure &structure : secretstructures::structures())
            add(std::string(structure.pattern), nullptr, &structure);
        m_filter.Compile(&m_literals);
        m_filterAtoms = m_literals.size();
        for (int detector : m_filteredDetectors)
            m_anchorsOfFiltered.push_back(anchorsOf(m_detectors[size_t(detector)]));
        m_literalFinder = std::make_unique<LiteralFinder>(m_literals);
        m_compiled = m_literalLed.Compile() && m_listedTokens.Compile();
        Q_ASSERT(m_compiled);
    }

    // Whether a listed row's token starts `latin1`.
    bool startsWithListedToken(std::string_view latin1) const
    {
        std::vector<int> hits;
        return m_compiled && m_listedTokens.Match(re2::StringPiece(latin1.data(), latin1.size()), &hits);
    }

    // The detectors whose pattern may match in `latin1`, in table order.
    std::vector<Candidate> candidates(const std::string &latin1) const
    {
        const Windows whole{{0, latin1.size()}};
        std::vector<Candidate> candidates;
        std::vector<int> hits;
        RE2::Set::ErrorInfo error{};
        if (!m_compiled || (!m_literalLed.Match(latin1, &hits, &error) && error.kind != RE2::Set::kNoError)) {
            for (int detector = 0; detector < int(m_detectors.size()); ++detector) // out of memory: try each
                candidates.push_back({detector, whole});
            return candidates;
        }
        for (int hit : hits)
            candidates.push_back({m_literalLedDetectors[size_t(hit)], whole});

        const std::vector<std::vector<uint32_t>> occurrences = m_literalFinder->find(latin1);
        std::vector<int> foundAtoms;
        for (size_t atom = 0; atom < m_filterAtoms; ++atom) {
            if (!occurrences[atom].empty())
                foundAtoms.push_back(int(atom));
        }
        std::vector<int> filtered;
        m_filter.AllPotentials(foundAtoms, &filtered);
        const Lines lines(latin1);
        for (int potential : filtered) {
            const Anchors &anchors = m_anchorsOfFiltered[size_t(potential)];
            Windows windows = anchors.literals.empty() ? whole : windowsAround(anchors, occurrences, lines);
            if (!windows.empty())
                candidates.push_back({m_filteredDetectors[size_t(potential)], std::move(windows)});
        }
        std::sort(candidates.begin(), candidates.end(),
                  [](const Candidate &a, const Candidate &b) { return a.detector < b.detector; });
        return candidates;
    }

    const Detector &operator[](int index) const { return m_detectors[size_t(index)]; }

private:
    void add(const std::string &pattern, const secretrules::SecretRule *rule, const secretstructures::Structure *structure)
    {
        auto compiled = std::make_unique<RE2>(pattern, latin1Options());
        Q_ASSERT_X(compiled->ok(), "secret pattern", pattern.c_str());
        const int detector = int(m_detectors.size());
        if (startsWithLiteral(pattern)) {
            m_literalLed.Add(widened(pattern), nullptr);
            m_literalLedDetectors.push_back(detector);
        } else {
            int index = -1;
            m_filter.Add(pattern, latin1Options(), &index);
            m_filteredDetectors.push_back(detector);
        }
        m_detectors.push_back({std::move(compiled), rule, structure});
    }

    // Literals of which one occurs in every match of a filtered pattern, or
    // near it, and how many lines around one the match may reach.
    struct Anchors
    {
        std::vector<int> literals; // none: the pattern runs on the whole text
        size_t above = 0;
        size_t below = 0;
    };

    // The pattern's own atoms, down to two characters where three leave
    // none, or else the keywords its row needs on the token's line or the
    // line above.
    Anchors anchorsOf(const Detector &detector)
    {
        const std::string &pattern = detector.pattern->pattern();
        // A token's end may take the line break after it, which its window holds.
        const size_t reach = mayCrossLines(detector.rule ? detector.rule->pattern : detector.structure->pattern) ? 2 : 0;
        for (int atomLength : {minAtomLength, minAtomLength - 1}) {
            re2::FilteredRE2 alone(atomLength);
            int index = -1;
            alone.Add(pattern, latin1Options(), &index);
            std::vector<std::string> atoms;
            alone.Compile(&atoms);
            if (!atoms.empty())
                return {literalIndices(atoms), reach, reach};
        }
        if (detector.rule && !detector.rule->keywords.empty()) {
            // Split by hand: clang's <ranges> does not take libstdc++ 12's views::split.
            std::vector<std::string> keywords;
            std::string_view rest = detector.rule->keywords;
            while (!rest.empty()) {
                const std::size_t space = std::min(rest.find(' '), rest.size());
                keywords.emplace_back(rest.substr(0, space));
                rest.remove_prefix(std::min(space + 1, rest.size()));
            }
            return {literalIndices(keywords), 0, 1 + reach};
        }
        return {};
    }

    // Where `literals` are among those the one pass looks for, added if new.
    std::vector<int> literalIndices(const std::vector<std::string> &literals)
    {
        std::vector<int> indices;
        for (const std::string &literal : literals) {
            if (literal.empty())
                continue;
            const auto found = std::find(m_literals.begin(), m_literals.end(), literal);
            indices.push_back(int(found - m_literals.begin()));
            if (found == m_literals.end())
                m_literals.push_back(literal);
        }
        return indices;
    }

    // Whether a match may hold a line break: conservative, any class or
    // escape that takes one.
    static bool mayCrossLines(std::string_view pattern)
    {
        for (std::string_view takesBreak : {"\\s", "\\n", "\\W", "\\D", "[^", "(?s"}) {
            if (pattern.find(takesBreak) != std::string_view::npos)
                return true;
        }
        return false;
    }

    // The lines around every occurrence of the anchors, overlaps joined.
    static Windows windowsAround(const Anchors &anchors, const std::vector<std::vector<uint32_t>> &occurrences,
                                 const Lines &lines)
    {
        std::vector<uint32_t> at;
        for (int literal : anchors.literals)
            at.insert(at.end(), occurrences[size_t(literal)].begin(), occurrences[size_t(literal)].end());
        std::sort(at.begin(), at.end());
        Windows windows;
        for (uint32_t offset : at) {
            const Window window = lines.around(offset, anchors.above, anchors.below);
            if (!windows.empty() && window.begin <= windows.back().end)
                windows.back().end = std::max(windows.back().end, window.end);
            else
                windows.push_back(window);
        }
        return windows;
    }

    static constexpr int minAtomLength = 3;
    RE2::Set m_literalLed;
    std::vector<int> m_literalLedDetectors;
    re2::FilteredRE2 m_filter{minAtomLength};
    std::vector<int> m_filteredDetectors;
    std::vector<std::string> m_literals; // the filter's atoms first, then other anchors
    size_t m_filterAtoms = 0;
    std::vector<Anchors> m_anchorsOfFiltered;
    std::unique_ptr<LiteralFinder> m_literalFinder;
    RE2::Set m_listedTokens;
    std::vector<Detector> m_detectors;
    bool m_compiled = false;
};

const Detectors &detectors()
{
    static const Detectors compiled;
    return compiled;
}

// The text as one byte per UTF-16 unit, so offsets agree; every non-ASCII
// unit reads as a byte no pattern asks for.
std::string latin1Of(QStringView text)
{
    std::string bytes(size_t(text.size()), '\0');
    const char16_t *units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[size_t(i)] = units[i] < 0x80 ? char(units[i]) : char(0x80);
    return bytes;
}

// Whether one of the space-separated lower-case `keywords` is on the line
// of `at` or the line above, before `at`.
bool keywordNear(QStringView text, qsizetype at, std::string_view keywords)
{
    const qsizetype from = startOfLineAbove(text, at, 200);
    const QStringView before = text.sliced(from, at - from);
    for (QLatin1StringView keyword : QLatin1StringView(keywords.data(), qsizetype(keywords.size())).tokenize(u' ', Qt::SkipEmptyParts)) {
        const std::u16string word = QString(keyword).toStdU16String();
        if (containsIgnoringCase(before, word))
            return true;
    }
    return false;
}

// One scan's reading of the text, in both forms, and what the structures
// share. One per thread: the headings are read as the scan goes.
class Scan
{
public:
    Scan(QStringView text, const std::string &latin1) : m_text(text), m_latin1(latin1), m_headings(text) {}

    // Whether any match of `detector` inside `windows` holds a secret.
    bool holdsSecret(const Detector &detector, const Windows &windows)
    {
        return std::any_of(windows.begin(), windows.end(),
                           [&](const Window &window) { return holdsSecret(detector, window); });
    }

private:
    bool holdsSecret(const Detector &detector, const Window &window)
    {
        constexpr int maxGroups = 4;
        re2::StringPiece groups[maxGroups];
        const int groupCount = std::min(maxGroups, detector.pattern->NumberOfCapturingGroups() + 1);
        const re2::StringPiece input(m_latin1);
        size_t from = window.begin;
        while (from <= window.end
               && detector.pattern->Match(input, from, window.end, RE2::UNANCHORED, groups, groupCount)) {
            const size_t next = detector.rule ? offsetOf(groups[1]) + groups[1].size() : offsetOf(groups[0]) + groups[0].size();
            if (detector.rule ? standsAlone(groups[1]) && tokenHoldsSecret(*detector.rule, groups)
                              : structureHoldsSecret(*detector.structure, groups))
                return true;
            from = std::max(next, offsetOf(groups[0]) + 1);
        }
        return false;
    }

    size_t offsetOf(const re2::StringPiece &piece) const { return size_t(piece.data() - m_latin1.data()); }

    bool standsAlone(const re2::StringPiece &token) const
    {
        const size_t at = offsetOf(token);
        return at == 0 || !is(QChar(uchar(m_latin1[at - 1])), TokenChar);
    }

    QStringView viewOf(const re2::StringPiece &piece) const
    {
        return piece.data() ? m_text.sliced(qsizetype(offsetOf(piece)), qsizetype(piece.size())) : QStringView();
    }

    bool tokenHoldsSecret(const secretrules::SecretRule &rule, const re2::StringPiece *groups) const
    {
        const QStringView token = viewOf(groups[1]);
        const QStringView random = viewOf(groups[2]);
        return secretrules::passes(rule, token, random.isNull() ? token : random)
            && (rule.keywords.empty() || keywordNear(m_text, token.data() - m_text.data(), rule.keywords))
            && !(secretrules::isAnyIssuer(rule)
                 && (gluedToWord(groups[1], random.data() - token.data())
                     || secretassignments::isGivenToNonSecretName(m_text, token.data() - m_text.data())));
    }

    // Whether a listed token starts inside `token`'s prefix, as ghp_… in xghp_….
    bool gluedToWord(const re2::StringPiece &token, qsizetype prefixLength) const
    {
        constexpr size_t maxListedToken = 1024;
        const size_t start = offsetOf(token);
        for (qsizetype skipped = 1; skipped < prefixLength; ++skipped) {
            const size_t from = start + size_t(skipped);
            const std::string_view rest(m_latin1.data() + from, std::min(maxListedToken, m_latin1.size() - from));
            if (detectors().startsWithListedToken(rest))
                return true;
        }
        return false;
    }

    bool structureHoldsSecret(const secretstructures::Structure &structure, const re2::StringPiece *groups)
    {
        const secretstructures::Found found{m_text,
                                            qsizetype(offsetOf(groups[0])),
                                            qsizetype(offsetOf(groups[0]) + groups[0].size()),
                                            {viewOf(groups[1]), viewOf(groups[2]), viewOf(groups[3])},
                                            m_headings};
        return structure.holdsSecret(found);
    }

    QStringView m_text;
    const std::string &m_latin1;
    secretproviders::Headings m_headings;
};

} // namespace

bool containsSecret(QStringView text)
{
    if (text.isEmpty())
        return false;
    const Detectors &all = detectors();
    const std::string latin1 = latin1Of(text);
    const std::vector<Detectors::Candidate> candidates = all.candidates(latin1);
    Scan scan(text, latin1);
    return std::any_of(candidates.begin(), candidates.end(), [&](const Detectors::Candidate &candidate) {
        return scan.holdsSecret(all[candidate.detector], candidate.windows);
    });
}

} // namespace tamo::SecretDetector
