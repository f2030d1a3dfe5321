#include "secrets/SecretProviderKeys.h"

#include "secrets/SecretRules.h"
#include "secrets/SecretText.h"

#include <re2/re2.h>
#include <re2/set.h>

#include <QStringTokenizer>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <bitset>
#include <string>
#include <vector>

namespace tamo::secretproviders {

using namespace secrettext;

namespace {

// The rows of keys given to a name, matched whole against a value in one
// pass, and the providers' names that give each row its context.
class ProviderRows
{
public:
    static constexpr size_t maxRows = 256;
    using Rows = std::bitset<maxRows>;

    ProviderRows() : m_set(options(), RE2::ANCHOR_BOTH)
    {
        for (const secretrules::SecretRule &rule : secretrules::rules()) {
            if (rule.where != secretrules::Where::givenToName)
                continue;
            const size_t row = m_rows.size();
            m_rows.push_back(&rule);
            m_set.Add(std::string(rule.pattern), nullptr);
            for (QLatin1StringView name : QLatin1StringView(rule.keywords.data(), qsizetype(rule.keywords.size())).tokenize(u' ', Qt::SkipEmptyParts)) {
                const std::u16string word = name.toString().toStdU16String();
                auto &sameStart = m_names[word.front()];
                auto known = std::find_if(sameStart.begin(), sameStart.end(),
                                          [&word](const ProviderName &n) { return n.name == word; });
                if (known == sameStart.end())
                    known = sameStart.insert(sameStart.end(), {word, {}});
                known->rows.set(row);
            }
        }
        Q_ASSERT(m_rows.size() <= maxRows);
        m_compiled = m_set.Compile();
        Q_ASSERT(m_compiled);
    }

    // The rows whose pattern `value` matches.
    Rows matching(QStringView value) const
    {
        if (!m_compiled || value.size() > maxKeyLength)
            return {};
        thread_local LastAnswer<Rows> last;
        return last(value, 0, [&] {
            Rows rows;
            std::vector<int> hits;
            if (m_set.Match(bytesOf(value), &hits)) {
                for (int hit : hits)
                    rows.set(size_t(hit));
            }
            return rows;
        });
    }

    // Whether `value` passes the shape and entropy of one of `rows`. Judged
    // only for rows a name picked out: most values sit under none.
    bool passesOneOf(Rows rows, QStringView value) const
    {
        for (size_t row = 0; rows.any() && row < m_rows.size(); ++row) {
            if (rows.test(row) && secretrules::passes(*m_rows[row], value, value))
                return true;
        }
        return false;
    }

    // Those of `rows` whose provider `text` names, ignoring case, at the
    // start of a word: after a non-letter or where camelCase starts one, so
    // "dd_" is not found in "add_".
    Rows namedIn(QStringView text, Rows rows) const
    {
        Rows named;
        for (qsizetype at = 0; at < text.size(); ++at) {
            const char16_t c = is(text[at], Upper) ? char16_t(text[at].unicode() + 32) : text[at].unicode();
            const bool wordStart = at == 0 || !is(text[at - 1], Letter) || (is(text[at - 1], Lower) && is(text[at], Upper));
            if (c >= m_names.size() || !wordStart)
                continue;
            for (const ProviderName &provider : m_names[c]) {
                if ((provider.rows & rows).none())
                    continue;
                if (startsWithIgnoringCase(text, at, provider.name))
                    named |= provider.rows;
            }
        }
        return named & rows;
    }

private:
    static RE2::Options options()
    {
        RE2::Options options;
        options.set_encoding(RE2::Options::EncodingLatin1);
        options.set_log_errors(false);
        return options;
    }

    struct ProviderName
    {
        std::u16string name;
        Rows rows;
    };

    static constexpr qsizetype maxKeyLength = 256;

    RE2::Set m_set;
    bool m_compiled = false;
    std::vector<const secretrules::SecretRule *> m_rows;
    std::array<std::vector<ProviderName>, 128> m_names;
};

const ProviderRows &providerRows()
{
    static const ProviderRows rows;
    return rows;
}

// Names that hold ids, hashes and public values, not keys.
bool namesNoKey(QStringView name)
{
    static constexpr std::u16string_view endings[] = {u"id", u"ids", u"name", u"url", u"uri", u"path", u"file",
                                                      u"hash", u"sha", u"version", u"digest", u"checksum"};
    static constexpr std::u16string_view words[] = {u"public", u"publishable", u"commit", u"sha1", u"sha256",
                                                    u"md5", u"fingerprint", u"integrity"};
    thread_local LastAnswer<bool> last;
    return last(name, 0, [name] {
        return std::any_of(std::begin(endings), std::end(endings),
                           [name](std::u16string_view e) {
                               return name.size() >= qsizetype(e.size())
                                   && indexOfIgnoringCase(name, e, name.size() - qsizetype(e.size())) >= 0;
                           })
            || std::any_of(std::begin(words), std::end(words),
                           [name](std::u16string_view w) { return containsIgnoringCase(name, w); });
    });
}

bool soundsLikeKey(QStringView name)
{
    static constexpr std::u16string_view words[] = {u"key", u"token", u"secret", u"pass", u"pwd", u"auth", u"cred"};
    return std::any_of(std::begin(words), std::end(words),
                       [name](std::u16string_view w) { return containsIgnoringCase(name, w); });
}

constexpr qsizetype maxLineContext = 200;

qsizetype indentOf(QStringView line)
{
    return Reader(line).takeWhile([](QChar c) { return c == u' ' || c == u'\t'; }).size();
}

} // namespace

void Headings::read(QStringView line)
{
    const QStringView content = line.trimmed();
    if (content.isEmpty() || content.startsWith(u'#') || content.startsWith(u';') || content.startsWith(u"//"))
        return;
    const qsizetype indent = indentOf(line);
    if (indent == 0 && content.startsWith(u'[')) {
        m_section = content;
        m_nesting.clear();
        return;
    }
    while (!m_nesting.empty() && m_nesting.back().indent >= indent)
        m_nesting.pop_back();
    if (m_nesting.size() < maxDepth)
        m_nesting.push_back({indent, content});
}

QVarLengthArray<QStringView, Headings::maxDepth + 1> Headings::above(qsizetype lineStart)
{
    if (lineStart < m_next) { // asked out of order: read again from the top
        m_next = 0;
        m_section = {};
        m_nesting.clear();
    }
    while (m_next < lineStart) {
        qsizetype end = m_text.indexOf(u'\n', m_next);
        if (end < 0 || end >= lineStart)
            end = lineStart;
        read(m_text.sliced(m_next, end - m_next));
        m_next = end + 1;
    }
    m_next = std::max(m_next, lineStart);
    QVarLengthArray<QStringView, maxDepth + 1> headings;
    if (!m_section.isEmpty())
        headings.append(m_section);
    const qsizetype indent = indentOf(m_text.sliced(lineStart));
    for (const Nesting &parent : m_nesting) {
        if (parent.indent < indent)
            headings.append(parent.content);
    }
    return headings;
}

bool isProviderKey(QStringView text, qsizetype separatorAt, QStringView name, QStringView value, Headings &headings)
{
    if (namesNoKey(name))
        return false;
    const ProviderRows &rows = providerRows();
    const ProviderRows::Rows matching = rows.matching(value);
    if (matching.none())
        return false;
    const auto fitsOneNamedIn = [&](QStringView text) { return rows.passesOneOf(rows.namedIn(text, matching), value); };
    if (fitsOneNamedIn(name))
        return true;
    if (!soundsLikeKey(name))
        return false;
    qsizetype lineStart = separatorAt;
    while (lineStart > 0 && separatorAt - lineStart < maxLineContext && text[lineStart - 1] != u'\n')
        --lineStart;
    const bool atLineStart = lineStart == 0 || text[lineStart - 1] == u'\n';
    // From the name, which may sit on the line above, to the separator.
    const qsizetype contextStart = std::min(lineStart, qsizetype(name.data() - text.data()));
    if (fitsOneNamedIn(text.sliced(contextStart, separatorAt - contextStart)))
        return true;
    if (!atLineStart)
        return false;
    const auto above = headings.above(lineStart);
    return std::any_of(above.begin(), above.end(),
                       [&](QStringView heading) { return fitsOneNamedIn(heading); });
}

bool hasProviderKeyShape(QStringView value)
{
    return providerRows().matching(value).any();
}

} // namespace tamo::secretproviders
