#include "app/SecretDetector.h"

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
#include <numeric>
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

// Every token row and structure, compiled once. Those that start with a
// literal run together as one set in one pass over the text; for the
// others, the literal atoms they need (RE2's prefilters) are looked for in
// that pass's twin, a set of the atoms. Only the candidates that leaves run
// on their own, to find and judge their matches.
class Detectors
{
public:
    Detectors()
        : m_literalLed(latin1Options(), RE2::UNANCHORED)
        , m_atoms(atomOptions(), RE2::UNANCHORED)
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
        std::vector<std::string> atoms;
        m_filter.Compile(&atoms);
        for (const std::string &atom : atoms)
            m_atoms.Add(RE2::QuoteMeta(atom), nullptr);
        m_compiled = m_literalLed.Compile() && m_atoms.Compile() && m_listedTokens.Compile();
        Q_ASSERT(m_compiled);
    }

    // Whether a listed row's token starts `latin1`.
    bool startsWithListedToken(std::string_view latin1) const
    {
        std::vector<int> hits;
        return m_compiled && m_listedTokens.Match(re2::StringPiece(latin1.data(), latin1.size()), &hits);
    }

    // The detectors whose pattern may match in `latin1`, in table order.
    std::vector<int> candidates(const std::string &latin1) const
    {
        std::vector<int> candidates;
        std::vector<int> hits;
        RE2::Set::ErrorInfo error{};
        if (!m_compiled || (!m_literalLed.Match(latin1, &hits, &error) && error.kind != RE2::Set::kNoError)
            || (!m_atoms.Match(latin1, &candidates, &error) && error.kind != RE2::Set::kNoError)) {
            candidates.resize(m_detectors.size()); // out of memory: try each
            std::iota(candidates.begin(), candidates.end(), 0);
            return candidates;
        }
        std::vector<int> filtered;
        m_filter.AllPotentials(candidates, &filtered);
        candidates.clear();
        for (int hit : hits)
            candidates.push_back(m_literalLedDetectors[size_t(hit)]);
        for (int potential : filtered)
            candidates.push_back(m_filteredDetectors[size_t(potential)]);
        std::sort(candidates.begin(), candidates.end());
        return candidates;
    }

    const Detector &operator[](int index) const { return m_detectors[size_t(index)]; }

private:
    static RE2::Options atomOptions()
    {
        RE2::Options options = latin1Options();
        options.set_case_sensitive(false); // atoms come lower-cased
        return options;
    }

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

    static constexpr int minAtomLength = 3;
    RE2::Set m_literalLed;
    std::vector<int> m_literalLedDetectors;
    re2::FilteredRE2 m_filter{minAtomLength};
    std::vector<int> m_filteredDetectors;
    RE2::Set m_atoms;
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
    constexpr qsizetype maxDistance = 200;
    qsizetype from = at;
    for (int lineBreaks = 0; from > 0 && at - from < maxDistance; --from) {
        if (text[from - 1] == u'\n' && ++lineBreaks == 2)
            break;
    }
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

    // Whether any match of `detector` holds a secret.
    bool holdsSecret(const Detector &detector)
    {
        constexpr int maxGroups = 4;
        re2::StringPiece groups[maxGroups];
        const int groupCount = std::min(maxGroups, detector.pattern->NumberOfCapturingGroups() + 1);
        const re2::StringPiece input(m_latin1);
        size_t from = 0;
        while (from <= input.size()
               && detector.pattern->Match(input, from, input.size(), RE2::UNANCHORED, groups, groupCount)) {
            const size_t next = detector.rule ? offsetOf(groups[1]) + groups[1].size() : offsetOf(groups[0]) + groups[0].size();
            if (detector.rule ? standsAlone(groups[1]) && tokenHoldsSecret(*detector.rule, groups)
                              : structureHoldsSecret(*detector.structure, groups))
                return true;
            from = std::max(next, offsetOf(groups[0]) + 1);
        }
        return false;
    }

private:
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
    const std::vector<int> hits = all.candidates(latin1);
    Scan scan(text, latin1);
    return std::any_of(hits.begin(), hits.end(), [&](int hit) { return scan.holdsSecret(all[hit]); });
}

} // namespace tamo::SecretDetector
