#include "secrets/SecretDetector.h"

#include "secrets/LiteralFinder.h"
#include "secrets/MatchLength.h"
#include "secrets/PatternSource.h"
#include "secrets/SecretAssignments.h"
#include "secrets/SecretProviderKeys.h"
#include "secrets/SecretRules.h"
#include "secrets/SecretStructures.h"
#include "secrets/SecretText.h"

#include <QtGlobal>

#include <re2/filtered_re2.h>
#include <re2/re2.h>
#include <re2/set.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
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
    // A row's token alone, its groups numbered as in `pattern`: where the
    // token's end is known, its groups are read from it, which RE2 does in
    // one quick pass where the token's end alone decides every group.
    std::unique_ptr<RE2> token;
    // A structure's pattern that reads the same groups from a match found,
    // in a smaller program; none where the pattern is read itself.
    std::unique_ptr<RE2> groups;
};

// Where in the text a detector's pattern is run: whole lines, in order.
struct Window
{
    size_t begin;
    size_t end;
};
using Windows = std::vector<Window>;

// Adds a window after those in `windows`, joined with the last where they overlap.
void join(Windows &windows, const Window &window)
{
    if (!windows.empty() && window.begin <= windows.back().end)
        windows.back().end = std::max(windows.back().end, window.end);
    else
        windows.push_back(window);
}

// The lines of a text, found once, to widen a hit into the lines around it.
class Lines
{
public:
    explicit Lines(std::string_view text) : m_size(text.size()), m_lineAtStep((text.size() >> stepBits) + 1)
    {
        for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
            m_breaks.push_back(uint32_t(at));
        size_t line = 0;
        for (size_t step = 0; step < m_lineAtStep.size(); ++step) {
            while (line < m_breaks.size() && m_breaks[line] < step << stepBits)
                ++line;
            m_lineAtStep[step] = uint32_t(line);
        }
    }

    // The line holding `offset`.
    size_t lineOf(size_t offset) const
    {
        size_t line = m_lineAtStep[offset >> stepBits];
        while (line < m_breaks.size() && m_breaks[line] < offset)
            ++line;
        return line;
    }

    // The lines holding the offsets, sorted as they are, each line once.
    std::vector<uint32_t> holding(const std::vector<uint32_t> &offsets) const
    {
        std::vector<uint32_t> holding;
        for (uint32_t offset : offsets) {
            const auto line = uint32_t(lineOf(offset));
            if (holding.empty() || holding.back() != line)
                holding.push_back(line);
        }
        return holding;
    }

    // From the start of the line `above` lines above `first` to the end of
    // the line `below` lines below `last`.
    Window around(size_t first, size_t last, size_t above, size_t below) const
    {
        return {first > above ? m_breaks[first - above - 1] + 1 : 0,
                last + below < m_breaks.size() ? m_breaks[last + below] + 1 : m_size};
    }

private:
    static constexpr int stepBits = 6;
    size_t m_size;
    std::vector<uint32_t> m_breaks;     // where each line ends
    std::vector<uint32_t> m_lineAtStep; // the line of every 64th offset, to start a look-up from
};

// Every token row and structure, compiled once. RE2's prefilter gives each
// pattern the literal atoms one of which every match holds; one pass finds
// where every atom occurs, and a pattern runs only on the lines around its
// own atoms, to find and judge its matches. Patterns with no literal at all
// run together as one set over the text, block by block, and on their own
// only on the blocks where the set finds them.
class Detectors
{
public:
    // Literals of which one occurs in every match of a pattern, or near it,
    // and how many lines around one the match may reach.
    struct Anchors
    {
        std::vector<int> literals;
        size_t above = 0;
        size_t below = 0;
        size_t longestMatch = unbounded; // where the literals are the pattern's own

        bool operator==(const Anchors &) const = default;
    };

    // The detectors anchored alike, which share their windows.
    struct Anchoring
    {
        Anchors anchors;
        std::vector<int> detectors;
        // Every match starts with the one literal: a token glued to a word
        // there is none, so only the literal's occurrences that stand alone count.
        bool startsTokens = false;
        // Every match of its detectors starts where one of its literals does.
        bool startsAtLiterals = false;
    };

    // Where the matches of an anchoring's detectors may start, where they
    // start at its literals: their occurrences, merged when first asked for.
    class MatchStartOffsets
    {
    public:
        MatchStartOffsets(const Anchoring &anchoring, const std::vector<std::vector<uint32_t>> &occurrences)
            : m_literals(anchoring.startsAtLiterals ? &anchoring.anchors.literals : nullptr), m_occurrences(occurrences)
        {
        }

        bool known() const { return m_literals; }

        const std::vector<uint32_t> &offsets()
        {
            if (!m_ready) {
                const std::vector<uint32_t> &offsets = merged(*m_literals, m_occurrences, m_merged);
                m_one = &offsets == &m_merged ? nullptr : &offsets;
                m_ready = true;
            }
            return m_one ? *m_one : m_merged;
        }

    private:
        const std::vector<int> *m_literals;
        const std::vector<std::vector<uint32_t>> &m_occurrences;
        bool m_ready = false;
        const std::vector<uint32_t> *m_one = nullptr; // where one literal's occurrences are all
        std::vector<uint32_t> m_merged;
    };

    // Detectors anchored alike and the windows they run in.
    struct Anchored
    {
        const Anchoring *anchoring;
        Windows windows;
        std::optional<MatchStartOffsets> starts;
    };

    // What may match in a text, and where.
    struct Candidates
    {
        std::vector<int> everywhere; // run over the whole text: all, where a set ran out of memory
        std::vector<Anchored> anchored;
    };

    Detectors()
        : m_unanchored(latin1Options(), RE2::UNANCHORED)
        , m_listedTokens(latin1Options(), RE2::ANCHOR_START)
    {
        for (const secretrules::SecretRule &rule : secretrules::rules()) {
            if (rule.where != secretrules::Where::anywhere)
                continue;
            add(std::string("(").append(rule.pattern).append(")").append(tokenEnd), &rule, nullptr);
            if (!secretrules::isAnyIssuer(rule))
                m_listedTokens.Add(std::string(rule.pattern).append(tokenEnd), nullptr);
        }
        for (const secretstructures::Structure &structure : secretstructures::structures())
            add(std::string(structure.pattern), nullptr, &structure);
        m_filter.Compile(&m_literals);
        m_filterAtoms = m_literals.size();
        std::vector<SeparatorRun> runs; // what the detectors no literal anchors need
        for (int detector = 0; detector < int(m_detectors.size()); ++detector) {
            Anchors anchors = anchorsOf(m_detectors[size_t(detector)]);
            const SeparatorRun *run = m_detectors[size_t(detector)].rule
                ? secretrules::separatorRunOf(*m_detectors[size_t(detector)].rule)
                : nullptr;
            if (anchors.literals.empty() && run) {
                m_runAnchorings.push_back({std::move(anchors), {detector}});
                runs.push_back(*run);
                continue;
            }
            if (anchors.literals.empty()) {
                m_unanchored.Add(m_detectors[size_t(detector)].pattern->pattern(), nullptr);
                m_unanchoredReach = std::max(m_unanchoredReach, anchors.below);
                m_unanchoredAnchorings.push_back({std::move(anchors), {detector}});
                continue;
            }
            std::sort(anchors.literals.begin(), anchors.literals.end());
            auto alike = std::find_if(m_anchorings.begin(), m_anchorings.end(),
                                      [&anchors](const Anchoring &anchoring) { return anchoring.anchors == anchors; });
            if (alike == m_anchorings.end())
                alike = m_anchorings.insert(alike, {std::move(anchors), {}});
            alike->detectors.push_back(detector);
        }
        m_anchoringsOf.resize(m_literals.size());
        for (size_t anchoring = 0; anchoring < m_anchorings.size(); ++anchoring) {
            for (int literal : m_anchorings[anchoring].anchors.literals)
                m_anchoringsOf[size_t(literal)].push_back(anchoring);
            m_anchorings[anchoring].startsTokens = startsTokens(m_anchorings[anchoring]);
            m_anchorings[anchoring].startsAtLiterals = startsAtLiterals(m_anchorings[anchoring]);
        }
        m_literalFinder = std::make_unique<LiteralFinder>(m_literals);
        m_runFinder = std::make_unique<SeparatorRunFinder>(std::move(runs));
        m_compiled = m_unanchored.Compile() && m_listedTokens.Compile();
        Q_ASSERT(m_compiled);
    }

    // Whether a listed row's token starts `latin1`.
    bool startsWithListedToken(std::string_view latin1) const
    {
        std::vector<int> hits;
        return m_compiled && m_listedTokens.Match(re2::StringPiece(latin1.data(), latin1.size()), &hits);
    }

    // The detectors whose pattern may match in `latin1`, and where, with
    // where their literals occur in `found`, which the candidates use.
    Candidates candidates(const std::string &latin1, LiteralFinder::Found &found) const
    {
        Candidates candidates;
        const Lines lines(latin1);
        std::optional<std::vector<Windows>> unanchored;
        if (m_compiled)
            unanchored = m_unanchoredAnchorings.empty() ? std::vector<Windows>() : unanchoredWindows(latin1, lines);
        if (!unanchored) {
            for (int detector = 0; detector < int(m_detectors.size()); ++detector) // out of memory: try each
                candidates.everywhere.push_back(detector);
            return candidates;
        }
        for (size_t index = 0; index < unanchored->size(); ++index) {
            if (!(*unanchored)[index].empty())
                candidates.anchored.push_back({&m_unanchoredAnchorings[index], std::move((*unanchored)[index]), std::nullopt});
        }
        const std::vector<std::vector<uint32_t>> runs = m_runFinder->find(latin1);
        for (size_t run = 0; run < runs.size(); ++run) {
            Windows windows = windowsAt(lines.holding(runs[run]), m_runAnchorings[run].anchors, lines);
            if (!windows.empty())
                candidates.anchored.push_back({&m_runAnchorings[run], std::move(windows), std::nullopt});
        }

        // Only what the literals found reach is looked at: a short text pays
        // for the few it holds, not for every row.
        // Kept per thread, emptied after each text.
        thread_local std::vector<std::vector<uint32_t>> linesOf;
        m_literalFinder->find(latin1, found);
        const std::vector<std::vector<uint32_t>> &occurrences = found.byLiteral();
        linesOf.resize(occurrences.size());
        std::vector<int> foundAtoms;
        std::vector<size_t> reached;
        for (int literal : found.literals()) {
            if (size_t(literal) < m_filterAtoms)
                foundAtoms.push_back(literal);
            linesOf[size_t(literal)] = lines.holding(occurrences[size_t(literal)]);
            reached.insert(reached.end(), m_anchoringsOf[size_t(literal)].begin(), m_anchoringsOf[size_t(literal)].end());
        }
        std::sort(reached.begin(), reached.end());
        reached.erase(std::unique(reached.begin(), reached.end()), reached.end());
        std::vector<int> potentials;
        m_filter.AllPotentials(foundAtoms, &potentials);
        std::vector<bool> potential(m_detectors.size(), false);
        for (int detector : potentials)
            potential[size_t(detector)] = true;
        for (size_t index : reached) {
            const Anchoring &anchoring = m_anchorings[index];
            const bool anyPotential = std::any_of(anchoring.detectors.begin(), anchoring.detectors.end(),
                                                  [&potential](int detector) { return potential[size_t(detector)]; });
            if (!anyPotential)
                continue;
            Windows windows = anchoring.startsTokens
                ? windowsAt(lines.holding(standingAlone(occurrences[size_t(anchoring.anchors.literals.front())], latin1)),
                            anchoring.anchors, lines)
                : windowsAround(anchoring.anchors, occurrences, linesOf, lines);
            if (!windows.empty())
                candidates.anchored.push_back({&anchoring, std::move(windows), MatchStartOffsets(anchoring, occurrences)});
        }
        for (int literal : found.literals())
            linesOf[size_t(literal)] = {};
        return candidates;
    }

    const Detector &operator[](int index) const { return m_detectors[size_t(index)]; }
    int indexOf(const Detector &detector) const { return int(&detector - m_detectors.data()); }
    size_t count() const { return m_detectors.size(); }

private:
    void add(const std::string &pattern, const secretrules::SecretRule *rule, const secretstructures::Structure *structure)
    {
        auto compiled = std::make_unique<RE2>(pattern, latin1Options());
        Q_ASSERT_X(compiled->ok(), "secret pattern", pattern.c_str());
        int index = -1;
        m_filter.Add(pattern, latin1Options(), &index);
        Q_ASSERT(index == int(m_detectors.size()));
        auto token = rule ? std::make_unique<RE2>(std::string("(").append(rule->pattern).append(")"), latin1Options()) : nullptr;
        m_detectors.push_back({std::move(compiled), rule, structure, std::move(token), groupReader(structure)});
    }

    // A structure's pattern reading its groups in a smaller program, where there is one.
    static std::unique_ptr<RE2> groupReader(const secretstructures::Structure *structure)
    {
        const std::optional<std::string> pattern = structure ? withLastRunOpen(structure->pattern) : std::nullopt;
        return pattern ? std::make_unique<RE2>(*pattern, latin1Options()) : nullptr;
    }

    // The pattern's own atoms, down to two characters where three leave
    // none, or else the keywords its row needs on the token's line or the
    // line above.
    Anchors anchorsOf(const Detector &detector)
    {
        const std::string &pattern = detector.pattern->pattern();
        const std::string_view source = detector.rule ? detector.rule->pattern : detector.structure->pattern;
        // A token's end may take the line break after it, which its window holds.
        const size_t reach = patternMayCrossLines(source) ? 2 : 0;
        for (int atomLength : {minAtomLength, minAtomLength - 1}) {
            re2::FilteredRE2 alone(atomLength);
            int index = -1;
            alone.Add(pattern, latin1Options(), &index);
            std::vector<std::string> atoms;
            alone.Compile(&atoms);
            if (!atoms.empty())
                return {literalIndices(atoms), reach > 0 && patternMayCrossLinesBefore(source, atoms) ? reach : 0, reach,
                        longestMatch(pattern)};
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
        return {{}, reach, reach};
    }

    // Whether every match of the anchoring's rows starts with its one
    // literal: each row's pattern spells it out first, in plain characters.
    bool startsTokens(const Anchoring &anchoring) const
    {
        if (anchoring.anchors.literals.size() != 1)
            return false;
        const std::string &literal = m_literals[size_t(anchoring.anchors.literals.front())];
        return std::all_of(anchoring.detectors.begin(), anchoring.detectors.end(), [&](int detector) {
            const secretrules::SecretRule *rule = m_detectors[size_t(detector)].rule;
            return rule && rule->pattern.size() >= literal.size()
                && std::equal(literal.begin(), literal.end(), rule->pattern.begin(), [](char lower, char c) {
                       return is(QChar(uchar(c)), TokenChar) && std::tolower(static_cast<unsigned char>(c)) == lower;
                   });
        });
    }

    // Whether every match of the anchoring's detectors starts with one of its
    // literals: each pattern opens the same way whichever way it matches,
    // with characters one of the literals begins.
    bool startsAtLiterals(const Anchoring &anchoring) const
    {
        return std::all_of(anchoring.detectors.begin(), anchoring.detectors.end(), [&](int detector) {
            const Detector &d = m_detectors[size_t(detector)];
            const std::optional<std::vector<std::string_view>> openings =
                patternOpenings(d.rule ? d.rule->pattern : d.structure->pattern);
            return openings && std::all_of(openings->begin(), openings->end(), [&](std::string_view opening) {
                       return std::any_of(anchoring.anchors.literals.begin(), anchoring.anchors.literals.end(),
                                          [&](int literal) { return startsIgnoringCase(opening, m_literals[size_t(literal)]); });
                   });
        });
    }

    static bool startsIgnoringCase(std::string_view text, std::string_view lowerPrefix)
    {
        return text.size() >= lowerPrefix.size()
            && std::equal(lowerPrefix.begin(), lowerPrefix.end(), text.begin(), [](char lower, char c) {
                   return std::tolower(static_cast<unsigned char>(c)) == lower;
               });
    }

    // The offsets not glued to a word character or dash before them.
    static std::vector<uint32_t> standingAlone(const std::vector<uint32_t> &offsets, std::string_view latin1)
    {
        std::vector<uint32_t> alone;
        std::copy_if(offsets.begin(), offsets.end(), std::back_inserter(alone), [latin1](uint32_t offset) {
            return offset == 0 || !is(QChar(uchar(latin1[offset - 1])), TokenChar);
        });
        return alone;
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

    // Where each pattern of the unanchored set may match: the set runs block
    // by block, each block whole lines (at least 64 KB of them, or one longer
    // line) taken with the lines a match may reach past it, so a pattern
    // found in one block runs only there and no line is read more than a few
    // times. None where the set runs out of memory.
    std::optional<std::vector<Windows>> unanchoredWindows(const std::string &latin1, const Lines &lines) const
    {
        constexpr size_t blockSize = 64 * 1024;
        std::vector<Windows> windows(m_unanchoredAnchorings.size());
        std::vector<int> hits;
        for (size_t begin = 0; begin < latin1.size();) {
            const size_t first = lines.lineOf(begin);
            const size_t last = lines.lineOf(std::min(latin1.size(), begin + blockSize) - 1);
            const Window block = lines.around(first, last, m_unanchoredReach, m_unanchoredReach);
            begin = lines.around(last, last, 0, 0).end;
            RE2::Set::ErrorInfo error{};
            const re2::StringPiece inside(latin1.data() + block.begin, block.end - block.begin);
            if (!m_unanchored.Match(inside, &hits, &error) && error.kind != RE2::Set::kNoError)
                return std::nullopt;
            for (int hit : hits)
                join(windows[size_t(hit)], block);
        }
        return windows;
    }

    // The lines around every occurrence of the anchors, overlaps joined;
    // where a match is no longer than a bound, only as far from the
    // occurrence as a match holding it reaches, so a long line is not read
    // whole for every pattern whose literal it holds.
    static Windows windowsAround(const Anchors &anchors, const std::vector<std::vector<uint32_t>> &occurrences,
                                 const std::vector<std::vector<uint32_t>> &linesOf, const Lines &lines)
    {
        if (anchors.longestMatch != unbounded)
            return windowsNear(anchors, occurrences, lines);
        std::vector<uint32_t> scratch;
        return windowsAt(merged(anchors.literals, linesOf, scratch), anchors, lines);
    }

    // The sorted positions of `literals` in `positions` as one sorted list:
    // the one list where only one literal has any, else merged into `scratch`.
    static const std::vector<uint32_t> &merged(const std::vector<int> &literals,
                                               const std::vector<std::vector<uint32_t>> &positions,
                                               std::vector<uint32_t> &scratch)
    {
        const std::vector<uint32_t> *only = &scratch;
        for (int literal : literals) {
            const std::vector<uint32_t> &more = positions[size_t(literal)];
            if (more.empty())
                continue;
            if (only->empty()) {
                only = &more;
                continue;
            }
            if (only != &scratch)
                scratch = *only;
            const size_t middle = scratch.size();
            scratch.insert(scratch.end(), more.begin(), more.end());
            std::inplace_merge(scratch.begin(), scratch.begin() + std::ptrdiff_t(middle), scratch.end());
            only = &scratch;
        }
        return *only;
    }

    static Windows windowsNear(const Anchors &anchors, const std::vector<std::vector<uint32_t>> &occurrences,
                               const Lines &lines)
    {
        Windows windows;
        std::vector<uint32_t> scratch;
        for (uint32_t offset : merged(anchors.literals, occurrences, scratch)) {
            const size_t line = lines.lineOf(offset);
            const Window around = lines.around(line, line, anchors.above, anchors.below);
            join(windows, {std::max(around.begin, offset - std::min<size_t>(offset, anchors.longestMatch)),
                           std::min(around.end, offset + anchors.longestMatch)});
        }
        return windows;
    }

    // The lines around each of `atLines`, overlaps joined.
    static Windows windowsAt(const std::vector<uint32_t> &atLines, const Anchors &anchors, const Lines &lines)
    {
        Windows windows;
        for (uint32_t line : atLines)
            join(windows, lines.around(line, line, anchors.above, anchors.below));
        return windows;
    }

    static constexpr int minAtomLength = 3;
    RE2::Set m_unanchored;
    re2::FilteredRE2 m_filter{minAtomLength};
    std::vector<std::string> m_literals; // the filter's atoms first, then other anchors
    size_t m_filterAtoms = 0;
    std::vector<Anchoring> m_anchorings;
    std::vector<std::vector<size_t>> m_anchoringsOf; // by literal: the anchorings it is one of
    std::vector<Anchoring> m_unanchoredAnchorings; // by their index in the unanchored set
    size_t m_unanchoredReach = 0;                  // lines past a block a match of one may reach
    std::vector<Anchoring> m_runAnchorings; // by their index in the run finder's shapes
    std::unique_ptr<SeparatorRunFinder> m_runFinder;
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

// A structure judges the value after its match, up to where a value ends.
// Where its matches crowd one value, as in token=token=token=…, each would
// read the rest of it again: past a few inside one value, the others are
// passed over, so every character is read a bounded number of times.
class ValueRuns
{
public:
    explicit ValueRuns(std::string_view latin1) : m_latin1(latin1) {}

    // Whether the match of `detector` ending at `end` is to be judged.
    bool judges(int detector, size_t end)
    {
        if (m_runs.empty())
            m_runs.resize(detectors().count());
        Run &run = m_runs[size_t(detector)];
        if (end > run.end) {
            run = {valueEnd(end), 0};
            return true;
        }
        return run.nested++ < maxNested;
    }

    // Where the value the last judged match of `detector` reads ends.
    size_t end(int detector) const { return m_runs[size_t(detector)].end; }

private:
    static constexpr int maxNested = 3;
    static constexpr size_t maxValueReach = 1024 + 16; // a value, its padding, quote and scheme

    struct Run
    {
        size_t end = 0;
        int nested = 0;
    };

    // The end of the value after `at`: past blanks and a quote, up to a
    // blank, a quote or a character that ends an unquoted value.
    size_t valueEnd(size_t at) const
    {
        static constexpr std::string_view ends = ",;&<>()[]{}\\|";
        const size_t limit = std::min(m_latin1.size(), at + maxValueReach);
        while (at < limit && (m_latin1[at] == ' ' || m_latin1[at] == '\t'))
            ++at;
        if (at < limit && is(QChar(uchar(m_latin1[at])), Quote))
            ++at;
        while (at < limit && !is(QChar(uchar(m_latin1[at])), Blank | Quote) && ends.find(m_latin1[at]) == ends.npos)
            ++at;
        return at;
    }

    std::string_view m_latin1;
    std::vector<Run> m_runs; // by detector
};

// One scan's reading of the text, in both forms, and what the structures
// share. One per thread: the headings are read as the scan goes.
class Scan
{
public:
    Scan(QStringView text, const std::string &latin1, ScanWork &work)
        : m_text(text), m_latin1(latin1), m_headings(text), m_valueRuns(latin1), m_work(work)
    {
    }

    // Whether any match of `detector` inside `window` holds a secret.
    // `starts`, where known, holds every offset a match may start at.
    bool holdsSecret(const Detector &detector, const Window &window, Detectors::MatchStartOffsets *starts = nullptr)
    {
        constexpr int maxGroups = 4;
        re2::StringPiece groups[maxGroups];
        const int groupCount = std::min(maxGroups, detector.pattern->NumberOfCapturingGroups() + 1);
        m_work.searched += window.end - window.begin;
        size_t from = window.begin;
        MatchStarts matchStarts(starts);
        // The match is found by RE2's DFAs alone; reading its groups takes a
        // slower engine over all of it, so it is left for the matches judged.
        while (from <= window.end && nextMatch(detector, from, window.end, matchStarts, groups[0])) {
            const size_t begin = offsetOf(groups[0]);
            matchStarts.found(begin);
            if (detector.rule && !standsAlone(begin)) { // the token is glued to a word: none
                from = std::max(tokenEndOf(groups[0]), begin + 1);
                continue;
            }
            const size_t end = begin + groups[0].size();
            if (detector.structure && !m_valueRuns.judges(detectors().indexOf(detector), end)) {
                from = std::max(m_valueRuns.end(detectors().indexOf(detector)), begin + 1);
                continue;
            }
            ++m_work.judged;
            if (groupCount > 1)
                readGroups(detector, begin, end, groups, groupCount);
            const size_t next = detector.rule ? offsetOf(groups[1]) + groups[1].size() : offsetOf(groups[0]) + groups[0].size();
            if (detector.rule ? tokenHoldsSecret(*detector.rule, groups)
                              : structureHoldsSecret(*detector.structure, groups))
                return true;
            // No token stands in a base64 payload: the rest of it is passed over.
            from = std::max({next, offsetOf(groups[0]) + 1, detector.rule ? payloadEndAround(offsetOf(groups[1])) : 0});
        }
        return false;
    }

private:
    // Where the matches of one detector in one window may start, once one
    // was found there: matches found, others may follow close by.
    class MatchStarts
    {
    public:
        explicit MatchStarts(Detectors::MatchStartOffsets *starts) : m_starts(starts) {}

        // The first offset at or after `from` a match may start at, where
        // known and a match was found before it; else none.
        std::optional<size_t> after(size_t from)
        {
            if (!m_found)
                return std::nullopt;
            while (m_next != m_offsets->end() && *m_next < from)
                ++m_next;
            return m_next == m_offsets->end() ? std::numeric_limits<size_t>::max() : *m_next;
        }

        // A match was found starting at `at`.
        void found(size_t at)
        {
            if (m_starts && m_starts->known() && !m_found) {
                m_found = true;
                m_offsets = &m_starts->offsets();
                m_next = std::lower_bound(m_offsets->begin(), m_offsets->end(), uint32_t(at));
            }
        }

    private:
        Detectors::MatchStartOffsets *m_starts;
        const std::vector<uint32_t> *m_offsets = nullptr;
        std::vector<uint32_t>::const_iterator m_next;
        bool m_found = false;
    };

    // The first match of `detector` between `from` and `end`. Where matches
    // crowd, the next is tried first where it may start: anchored there, RE2
    // finds it in one pass forward, with none backward to find its start. In
    // a window holding no match, one unanchored search reads it once.
    bool nextMatch(const Detector &detector, size_t from, size_t end, MatchStarts &starts, re2::StringPiece &match) const
    {
        const re2::StringPiece input(m_latin1);
        if (const std::optional<size_t> start = starts.after(from)) {
            if (*start >= end)
                return false;
            if (detector.pattern->Match(input, *start, end, RE2::ANCHOR_START, &match, 1))
                return true;
            from = *start + 1;
        }
        return detector.pattern->Match(input, from, end, RE2::UNANCHORED, &match, 1);
    }

    // The groups of the match from `begin` to `end`: anchored there, the
    // groups are those an unanchored match reads.
    void readGroups(const Detector &detector, size_t begin, size_t end, re2::StringPiece *groups, int groupCount)
    {
        const re2::StringPiece input(m_latin1);
        const bool tokenEndKnown = detector.rule && (end < m_latin1.size() || is(QChar(uchar(m_latin1[end - 1])), TokenChar));
        if (tokenEndKnown) {
            const bool read = detector.token->Match(input, begin, tokenEndOf(groups[0]), RE2::ANCHOR_BOTH, groups, groupCount);
            Q_ASSERT(read);
            Q_UNUSED(read);
            return;
        }
        // At the text's end, after a character that ends a token, the token
        // ends before it or takes it in: the one the token's own first match
        // picks where it ends at either place. The whole pattern decides the
        // rest, in a slower engine reading the groups along all of the match.
        if (detector.rule && detector.token->Match(input, begin, end, RE2::ANCHOR_START, groups, groupCount)
            && offsetOf(groups[0]) + groups[0].size() + 1 >= end)
            return;
        m_work.readSlowly += end - begin;
        const bool read = (detector.groups ? *detector.groups : *detector.pattern).Match(input, begin, end, RE2::ANCHOR_BOTH, groups, groupCount);
        Q_ASSERT(read);
        Q_UNUSED(read);
    }

    size_t offsetOf(const re2::StringPiece &piece) const { return size_t(piece.data() - m_latin1.data()); }

    bool standsAlone(size_t tokenAt) const
    {
        return tokenAt == 0 || !is(QChar(uchar(m_latin1[tokenAt - 1])), TokenChar);
    }

    // Where the token of a row's `match` ends: before the character that
    // ends it, unless the text ends there. At the text's end the last
    // character may be either; no token starts on it.
    size_t tokenEndOf(const re2::StringPiece &match) const
    {
        const size_t end = offsetOf(match) + match.size();
        return end == m_latin1.size() && is(QChar(uchar(m_latin1[end - 1])), TokenChar) ? end : end - 1;
    }

    QStringView viewOf(const re2::StringPiece &piece) const
    {
        return piece.data() ? m_text.sliced(qsizetype(offsetOf(piece)), qsizetype(piece.size())) : QStringView();
    }

    bool tokenHoldsSecret(const secretrules::SecretRule &rule, const re2::StringPiece *groups)
    {
        const QStringView token = viewOf(groups[1]);
        const QStringView random = viewOf(groups[2]);
        return secretrules::passes(rule, token, random.isNull() ? token : random) && !insideBase64Payload(groups[1])
            && (rule.keywords.empty() || keywordNear(m_text, token.data() - m_text.data(), rule.keywords))
            && !(secretrules::isAnyIssuer(rule)
                 && (gluedToWord(groups[1], random.data() - token.data()) || isMailbox(groups[1])
                     || secretassignments::isGivenToNonSecretName(m_text, token.data() - m_text.data())));
    }

    // A run of base64 or base64url around a token, and whether it is a payload rather than a key.
    struct PayloadRun
    {
        size_t begin;
        size_t end;
        bool payload;
    };

    // Whether `token` lies inside a data: URI's base64 payload, a run of
    // base64 longer than any key, or a link's state in base64url longer than
    // any token (a playground's code after #code/): random base64 spells
    // token-like runs by chance. Each run is read once and its verdict kept
    // for the tokens after.
    bool insideBase64Payload(const re2::StringPiece &token)
    {
        const size_t begin = offsetOf(token);
        const auto isBase64 = [](char c) { return std::isalnum(uchar(c)) || c == '+' || c == '/'; };
        const auto isBase64Url = [](char c) { return std::isalnum(uchar(c)) || std::string_view("+/-_$").find(c) != std::string_view::npos; };
        const auto base64Payload = [this](size_t start, size_t end) {
            constexpr size_t maxKeyRun = 4096;
            constexpr size_t maxMediaType = 100;
            const std::string_view before(m_latin1.data() + start - std::min(start, maxMediaType), std::min(start, maxMediaType));
            const size_t data = before.rfind("data:");
            const bool declared = before.ends_with(";base64,") && data != std::string_view::npos
                && before.find_first_of(" \t\n\"'", data) == std::string_view::npos;
            return declared || end - start >= maxKeyRun;
        };
        const auto linkState = [this](size_t start, size_t end) {
            constexpr size_t maxTokenRun = 512;
            return end - start >= maxTokenRun && inLink(start);
        };
        if (inRun(m_base64Runs, begin, token.size(), isBase64, base64Payload))
            return true;
        // The run of base64url is longer only where '-', '_' or '$' join the
        // base64 run to more: inside the token, or at either end.
        const PayloadRun *run = runHolding(m_base64Runs, begin);
        const auto joins = [](char c) { return c == '-' || c == '_' || c == '$'; };
        const bool joined = std::any_of(token.begin(), token.end(), joins) || (run->begin > 0 && joins(m_latin1[run->begin - 1]))
            || (run->end < m_latin1.size() && joins(m_latin1[run->end]));
        return joined && inRun(m_linkStates, begin, token.size(), isBase64Url, linkState);
    }

    // Whether the run of `isPayloadChar` around the token at `begin` is a
    // payload, as `judge` says of it, read once: later tokens in it take
    // the verdict kept in `runs`.
    template<typename IsPayloadChar, typename Judge>
    bool inRun(std::vector<PayloadRun> &runs, size_t begin, size_t length, IsPayloadChar isPayloadChar, Judge judge)
    {
        if (const PayloadRun *run = runHolding(runs, begin))
            return run->payload;
        const auto after = runAfter(runs, begin);
        const size_t floor = after == runs.begin() ? 0 : std::prev(after)->end;
        const size_t ceiling = after == runs.end() ? m_latin1.size() : after->begin;
        size_t start = begin;
        while (start > floor && isPayloadChar(m_latin1[start - 1]))
            --start;
        size_t end = std::min(ceiling, begin + length);
        while (end < ceiling && isPayloadChar(m_latin1[end]))
            ++end;
        const bool payload = judge(start, end);
        runs.insert(after, {start, end, payload});
        return payload;
    }

    // Whether `at` follows a link's scheme with no blank or quote between.
    bool inLink(size_t at) const
    {
        constexpr size_t maxReach = 2048;
        const size_t from = at - std::min(at, maxReach);
        const std::string_view before(m_latin1.data() + from, at - from);
        const size_t scheme = before.rfind("://");
        return scheme != std::string_view::npos && before.find_first_of(" \t\n\"'<>", scheme) == std::string_view::npos;
    }

    // Whether `token` is the name before an address's '@', as mailing-list archives hide addresses.
    bool isMailbox(const re2::StringPiece &token) const
    {
        const size_t end = offsetOf(token) + token.size();
        return end < m_latin1.size() && m_latin1[end] == '@';
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

    // The first run read that starts after `at`.
    static std::vector<PayloadRun>::iterator runAfter(std::vector<PayloadRun> &runs, size_t at)
    {
        return std::upper_bound(runs.begin(), runs.end(), at, [](size_t offset, const PayloadRun &run) { return offset < run.begin; });
    }

    // The run read that holds `at`, if any.
    static const PayloadRun *runHolding(std::vector<PayloadRun> &runs, size_t at)
    {
        const auto after = runAfter(runs, at);
        return after != runs.begin() && std::prev(after)->end > at ? &*std::prev(after) : nullptr;
    }

    // Where the payload holding `at` ends, as far as read; 0 where none holds it.
    size_t payloadEndAround(size_t at)
    {
        size_t end = 0;
        for (std::vector<PayloadRun> *runs : {&m_base64Runs, &m_linkStates}) {
            const PayloadRun *run = runHolding(*runs, at);
            end = std::max(end, run && run->payload ? run->end : 0);
        }
        return end;
    }

    QStringView m_text;
    const std::string &m_latin1;
    secretproviders::Headings m_headings;
    std::vector<PayloadRun> m_base64Runs; // disjoint, in order
    std::vector<PayloadRun> m_linkStates; // runs of base64url, disjoint, in order
    ValueRuns m_valueRuns;
    ScanWork &m_work;
};

} // namespace

bool containsSecret(QStringView text)
{
    ScanWork work;
    return containsSecret(text, work);
}

bool containsSecret(QStringView text, ScanWork &work)
{
    if (text.isEmpty())
        return false;
    const Detectors &all = detectors();
    const std::string latin1 = bytesOf(text);
    // Kept per thread and emptied after each text: a short text pays for the
    // few literals it holds, not for every row.
    thread_local LiteralFinder::Found found;
    const struct Emptied
    {
        LiteralFinder::Found &found;
        ~Emptied() { found.clear(); }
    } emptied{found};
    Detectors::Candidates candidates = all.candidates(latin1, found);
    Scan scan(text, latin1, work);
    const Window whole{0, latin1.size()};
    if (std::any_of(candidates.everywhere.begin(), candidates.everywhere.end(),
                    [&](int detector) { return scan.holdsSecret(all[detector], whole); }))
        return true;
    // Block by block, so that every pattern reads a block while it is still
    // in the cache; each anchoring's windows are taken in the block they start in.
    constexpr size_t blockSize = 256 * 1024;
    std::vector<size_t> next(candidates.anchored.size(), 0);
    for (size_t blockEnd = blockSize;; blockEnd += blockSize) {
        for (size_t anchored = 0; anchored < candidates.anchored.size(); ++anchored) {
            auto &[anchoring, windows, starts] = candidates.anchored[anchored];
            for (; next[anchored] < windows.size() && windows[next[anchored]].begin < blockEnd; ++next[anchored]) {
                for (int detector : anchoring->detectors) {
                    if (scan.holdsSecret(all[detector], windows[next[anchored]], starts ? &*starts : nullptr))
                        return true;
                }
            }
        }
        if (blockEnd >= latin1.size())
            return false;
    }
}

} // namespace tamo::SecretDetector
