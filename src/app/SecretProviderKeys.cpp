#include "app/SecretProviderKeys.h"

#include "app/SecretText.h"

#include <QStringTokenizer>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <bitset>
#include <vector>

namespace tamo::secretproviders {

using namespace secrettext;

namespace {

bool endsInPadding(QStringView body)
{
    return body.endsWith(u"==") && body.count(u'=') == 2 && isRandomBase62(body.chopped(2));
}

bool startsWithZeroes(QStringView body)
{
    return body.startsWith(u"00") && isMixedCaseRandom(body);
}

// Mailgun's newer keys: 32 hex, '-', 8 hex, '-', 8 hex.
bool isDashedHex(QStringView body)
{
    return body[32] == u'-' && body[41] == u'-' && body.count(u'-') == 2 && isRandomHex(body);
}

// The user's numeric id, '-', 40 letters and digits.
bool isUserIdAndKey(QStringView body)
{
    Reader reader(body);
    return reader.take(Digit).size() >= 5 && reader.skip(u"-") && reader.rest().size() == 40
        && !containsAny(reader.rest(), Dash | Underscore) && isMixedCaseRandom(reader.rest());
}

// Asana personal tokens: "1/" or "2/", numeric ids split by '/', ':', 32 hex.
bool isAsanaToken(QStringView body)
{
    Reader reader(body);
    if (reader.take(Digit, 1).isEmpty() || !reader.skip(u"/"))
        return false;
    while (!reader.take(Digit).isEmpty() && reader.skip(u"/")) {
    }
    return reader.skip(u":") && reader.rest().size() == 32 && isRandomHex(reader.rest());
}

bool isPrefixedUuid(QStringView body)
{
    return (body.startsWith(u"api-") || body.startsWith(u"sdk-")) && isUuid(body.sliced(4));
}

bool isLegacyVaultToken(QStringView body)
{
    return body.startsWith(u"s.") && body.count(u'.') == 1 && isRandomBase62(body.sliced(2));
}

bool isLegacyAirtableKey(QStringView body)
{
    return body.startsWith(u"key") && isRandomBase62(body.sliced(3));
}

bool isBeamerKey(QStringView body)
{
    return body.startsWith(u"b_") && isMixedCaseRandom(body.sliced(2));
}

bool isSumoAccessId(QStringView body)
{
    return body.startsWith(u"su") && isRandomBase62(body.sliced(2));
}

// New Relic license keys: 36 hex and "NRAL".
bool isNewRelicLicenseKey(QStringView body)
{
    return body.endsWith(u"NRAL") && isRandomHex(body.chopped(4));
}

// Azure DevOps personal tokens: 52 characters of lower-case base32.
bool isLowerBase32(QStringView body)
{
    return !body.contains(u'0') && !body.contains(u'1') && !body.contains(u'8') && !body.contains(u'9')
        && isRandomLowerDigits(body);
}

// A provider's key whose shape alone would not tell it from an id or a hash.
// `providers` lists, space-separated and in lower case, the names that
// count as context; the value must be all `alphabet`.
struct ProviderKey
{
    std::u16string_view providers;
    quint16 alphabet;
    qsizetype minLength;
    qsizetype maxLength;
    bool (*looksReal)(QStringView value);
};

constexpr quint16 Base64Padded = Base64 | Equals;
constexpr quint16 Base36Lower = Lower | Digit;

constexpr ProviderKey keys[] = {
    // ---- Cloud platforms ----
    {u"aws amazon", Base64, 40, 40, isRandomBase62},
    {u"azure storage accountkey account_key blob cosmos", Base64Padded, 88, 88, endsInPadding},
    {u"azure openai cognitive", Hex, 32, 32, isRandomHex},
    {u"azure devops ado_ azdo vsts", Base36Lower, 52, 52, isLowerBase32},
    {u"cloudflare cf_", TokenChar, 40, 40, isRandomBase62},
    {u"cloudflare cf_", Hex, 37, 37, isRandomHex},
    {u"heroku", Hex | Dash, 36, 36, isUuid},
    {u"alibaba aliyun", Base62, 30, 30, isRandomBase62},
    {u"ibm", TokenChar, 44, 44, isRandomBase62},
    {u"linode", Hex, 64, 64, isRandomHex},
    {u"vultr", Upper | Digit, 36, 36, isRandomUpperDigits},
    {u"scaleway scw_", Hex | Dash, 36, 36, isUuid},
    {u"hetzner hcloud", Base62, 64, 64, isRandomBase62},
    {u"vercel", Base62, 24, 24, isRandomBase62},
    {u"netlify", TokenChar, 40, 46, isRandomBase62},
    {u"railway", Hex | Dash, 36, 36, isUuid},
    {u"fastly", TokenChar, 32, 32, isRandomBase62},
    {u"vault", Base62 | Dot, 26, 26, isLegacyVaultToken},
    {u"consul nomad", Hex | Dash, 36, 36, isUuid},
    {u"upstash", TokenChar | Equals, 40, 100, isRandomBase62},

    // ---- Source hosting and CI ----
    {u"github", Hex, 40, 40, isRandomHex},
    {u"gitea forgejo", Hex, 40, 40, isRandomHex},
    {u"bitbucket", TokenChar, 32, 64, isRandomBase62},
    {u"travis", TokenChar, 22, 22, isRandomBase62},
    {u"droneci drone", Base62, 32, 32, isRandomKey},
    {u"jfrog artifactory bintray xray", Base62, 64, 64, isRandomKey},
    {u"jfrog artifactory bintray xray", Base62, 73, 73, isRandomKey},
    {u"codecov", Hex | Dash, 36, 36, isUuid},
    {u"jenkins", Hex, 34, 34, isRandomHex},
    {u"snyk", Hex | Dash, 36, 36, isUuid},
    {u"gitter", TokenChar, 40, 40, isRandomBase62},

    // ---- Monitoring and observability ----
    {u"datadog dd_ dd- ddapi ddapp", Hex, 32, 32, isRandomHex},
    {u"datadog dd_ dd- ddapi ddapp", Hex, 40, 40, isRandomHex},
    {u"newrelic new_relic new-relic nr_", Base62, 40, 40, isNewRelicLicenseKey},
    {u"sumo", Base62, 14, 14, isSumoAccessId},
    {u"sumo", Base62, 64, 64, isRandomBase62},
    {u"pagerduty pd_", TokenChar | PlusOrSlash, 20, 20, isMixedCaseRandom},
    {u"splunk hec", Hex | Dash, 36, 36, isUuid},
    {u"honeycomb", Base62, 22, 32, isRandomKey},
    {u"bugsnag", Hex, 32, 32, isRandomHex},
    {u"rollbar", Hex, 32, 32, isRandomHex},
    {u"sentry", Hex, 64, 64, isRandomHex},
    {u"newrelic new_relic new-relic", Base62, 64, 64, isRandomKey},
    {u"elastic", Base64Padded, 40, 120, isRandomBase62},

    // ---- Messaging and email ----
    {u"twilio", Hex, 32, 32, isRandomHex},
    {u"slack", Hex, 32, 32, isRandomHex},
    {u"discord", TokenChar, 32, 32, isRandomBase62},
    {u"discord", Hex, 64, 64, isRandomHex},
    {u"mailgun", Hex | Dash, 50, 50, isDashedHex},
    {u"mailjet", Hex, 32, 32, isRandomHex},
    {u"sparkpost", Hex, 40, 40, isRandomHex},
    {u"postmark", Hex | Dash, 36, 36, isUuid},
    {u"messagebird message_bird message-bird", Base62, 25, 25, isRandomBase62},
    {u"sendbird", Hex, 40, 40, isRandomHex},
    {u"mattermost", Base36Lower, 26, 26, isRandomLowerDigits},
    {u"intercom", TokenChar | Equals, 60, 60, isRandomBase62},
    {u"pusher", Hex, 20, 20, isRandomHex},
    {u"plivo", Base62, 40, 40, isRandomBase62},
    {u"vonage nexmo", Base62, 16, 16, isMixedCaseRandom},
    {u"zoom", TokenChar, 32, 32, isRandomBase62},

    // ---- Social sign-in ----
    {u"facebook fb_", Hex, 32, 32, isRandomHex},
    {u"twitter", Base62, 25, 25, isRandomBase62},
    {u"twitter", Base62, 50, 50, isRandomBase62},
    {u"twitter", TokenChar, 46, 60, isUserIdAndKey},
    {u"linkedin linked_in linked-in", Base62, 16, 16, isMixedCaseRandom},
    {u"spotify", Hex, 32, 32, isRandomHex},
    {u"twitch", Base36Lower, 30, 30, isRandomLowerDigits},
    {u"okta", TokenChar, 42, 42, startsWithZeroes},
    {u"auth0", TokenChar, 64, 64, isRandomBase62},

    // ---- Payments and crypto exchanges ----
    {u"coinbase", TokenChar, 64, 64, isRandomBase62},
    {u"kraken", Base64Padded, 80, 90, isRandomBase62},
    {u"kucoin", Hex, 24, 24, isRandomHex},
    {u"kucoin", Hex | Dash, 36, 36, isUuid},
    {u"bittrex", Base62, 32, 32, isRandomKey},
    {u"plaid", Base36Lower, 30, 30, isRandomLowerDigits},
    {u"finicity", Hex, 32, 32, isRandomHex},
    {u"finicity", Base62, 20, 20, isRandomKey},
    {u"gocardless", TokenChar, 45, 45, isRandomBase62},

    // ---- Productivity and developer tools ----
    {u"algolia", Hex, 32, 32, isRandomHex},
    {u"linear", Hex, 32, 32, isRandomHex},
    {u"asana", Digit | HexLetter | PlusOrSlash | Colon, 40, 90, isAsanaToken},
    {u"atlassian confluence jira", Base62, 24, 24, isRandomBase62},
    {u"trello", Hex, 32, 32, isRandomHex},
    {u"trello", Hex, 64, 64, isRandomHex},
    {u"zendesk", Base62, 40, 40, isRandomBase62},
    {u"contentful", TokenChar, 43, 43, isRandomBase62},
    {u"confluent", Base62 | PlusOrSlash, 64, 64, isRandomBase62},
    {u"launchdarkly ld_", Lower | Hex | Dash, 40, 40, isPrefixedUuid},
    {u"looker", Base62, 24, 24, isRandomBase62},
    {u"squarespace", Hex | Dash, 36, 36, isUuid},
    {u"dropbox", TokenChar, 43, 64, isRandomBase62},
    {u"etsy", Base36Lower, 24, 24, isRandomLowerDigits},
    {u"flickr", Hex, 32, 32, isRandomHex},
    {u"nytimes", TokenChar, 32, 32, isRandomBase62},
    {u"rapidapi", TokenChar, 50, 50, isRandomBase62},
    {u"finnhub", Base36Lower, 20, 20, isRandomLowerDigits},
    {u"freshdesk freshbooks", Base62, 20, 64, isRandomBase62},
    {u"adafruit", TokenChar, 32, 32, isRandomBase62},
    {u"airtable", Base62, 17, 17, isLegacyAirtableKey},
    {u"beamer", TokenChar | Equals, 46, 46, isBeamerKey},

    // ---- AI services ----
    {u"cohere co_api", Base62, 40, 40, isRandomBase62},
    {u"mistral", Base62, 32, 32, isRandomBase62},
    {u"assemblyai assembly_ai", Hex, 32, 32, isRandomHex},
    {u"together", Hex, 64, 64, isRandomHex},
    {u"replicate", Hex, 40, 40, isRandomHex},
    {u"wandb", Hex, 40, 40, isRandomHex},
    {u"privateai private_ai private-ai", Base62, 32, 32, isRandomKey},
};

// Judges a value against the rows' shapes; rows share alphabets and tests,
// so each is run once per value.
class ShapeTest
{
public:
    explicit ShapeTest(QStringView value) : m_value(value) {}

    bool fits(const ProviderKey &key)
    {
        return m_value.size() >= key.minLength && m_value.size() <= key.maxLength
            && remembered(m_alphabets, key.alphabet,
                          [this](quint16 alphabet) {
                              return std::all_of(m_value.begin(), m_value.end(),
                                                 [alphabet](QChar c) { return is(c, alphabet); });
                          })
            && remembered(m_tests, key.looksReal, [this](auto test) { return test(m_value); });
    }

private:
    template<typename Answers, typename Key, typename Judge>
    static bool remembered(Answers &answers, Key key, Judge judge)
    {
        for (const auto &[known, answer] : answers) {
            if (known == key)
                return answer;
        }
        const bool answer = judge(key);
        answers.append({key, answer});
        return answer;
    }

    QStringView m_value;
    QVarLengthArray<std::pair<quint16, bool>, 16> m_alphabets;
    QVarLengthArray<std::pair<bool (*)(QStringView), bool>, 32> m_tests;
};

constexpr size_t rowCount = std::size(keys);
using Rows = std::bitset<rowCount>;

// A provider's name and the rows it gives context to.
struct ProviderName
{
    std::u16string_view name;
    Rows rows;
};

constexpr qsizetype maxKeyLength = 171;

// The rows a value of each length may fit: most values fit none.
const std::vector<size_t> &rowsOfLength(qsizetype length)
{
    static const auto byLength = [] {
        std::array<std::vector<size_t>, maxKeyLength + 1> rows;
        for (size_t row = 0; row < rowCount; ++row) {
            for (qsizetype length = keys[row].minLength; length <= std::min(keys[row].maxLength, maxKeyLength); ++length)
                rows[length].push_back(row);
        }
        return rows;
    }();
    return byLength[std::min(length, maxKeyLength)];
}

// The providers' names by their first letter.
using NameIndex = std::array<std::vector<ProviderName>, 128>;

const NameIndex &providerNames()
{
    static const NameIndex index = [] {
        NameIndex byFirstChar;
        for (size_t row = 0; row < rowCount; ++row) {
            for (QStringView name : QStringView(keys[row].providers.data(), qsizetype(keys[row].providers.size())).tokenize(u' ')) {
                const std::u16string_view word(name.utf16(), size_t(name.size()));
                auto &sameStart = byFirstChar[word.front()];
                auto known = std::find_if(sameStart.begin(), sameStart.end(),
                                          [word](const ProviderName &n) { return n.name == word; });
                if (known == sameStart.end())
                    known = sameStart.insert(sameStart.end(), {word, {}});
                known->rows.set(row);
            }
        }
        return byFirstChar;
    }();
    return index;
}

// The rows whose provider `text` names, ignoring case, at the start of a
// word: after a non-letter or where camelCase starts one, so "dd_" is not
// found in "add_".
Rows rowsNamedIn(QStringView text)
{
    const NameIndex &names = providerNames();
    Rows named;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t c = is(text[at], Upper) ? char16_t(text[at].unicode() + 32) : text[at].unicode();
        const bool wordStart = at == 0 || !is(text[at - 1], Letter) || (is(text[at - 1], Lower) && is(text[at], Upper));
        if (c >= names.size() || !wordStart)
            continue;
        for (const ProviderName &provider : names[c]) {
            if (indexOfIgnoringCase(text.first(std::min(text.size(), at + qsizetype(provider.name.size()))), provider.name, at) == at)
                named |= provider.rows;
        }
    }
    return named;
}

// Names that hold ids, hashes and public values, not keys.
bool namesNoKey(QStringView name)
{
    static constexpr std::u16string_view endings[] = {u"id", u"ids", u"name", u"url", u"uri", u"path", u"file",
                                                      u"hash", u"sha", u"version", u"digest", u"checksum"};
    static constexpr std::u16string_view words[] = {u"public", u"publishable", u"commit", u"sha1", u"sha256",
                                                    u"md5", u"fingerprint", u"integrity"};
    return std::any_of(std::begin(endings), std::end(endings),
                       [name](std::u16string_view e) {
                           return name.size() >= qsizetype(e.size())
                               && indexOfIgnoringCase(name, e, name.size() - qsizetype(e.size())) >= 0;
                       })
        || std::any_of(std::begin(words), std::end(words),
                       [name](std::u16string_view w) { return containsIgnoringCase(name, w); });
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
    if (value.size() > maxKeyLength || rowsOfLength(value.size()).empty() || namesNoKey(name))
        return false;
    const bool keyName = soundsLikeKey(name);
    qsizetype lineStart = separatorAt;
    while (lineStart > 0 && separatorAt - lineStart < maxLineContext && text[lineStart - 1] != u'\n')
        --lineStart;
    const bool atLineStart = lineStart == 0 || text[lineStart - 1] == u'\n';
    // From the name, which may sit on the line above, to the separator.
    const qsizetype contextStart = std::min(lineStart, qsizetype(name.data() - text.data()));
    const QStringView context = text.sliced(contextStart, separatorAt - contextStart);
    ShapeTest shape(value);
    Rows fitting;
    for (const size_t row : rowsOfLength(value.size()))
        fitting.set(row, shape.fits(keys[row]));
    if (fitting.none())
        return false;
    if ((fitting & rowsNamedIn(name)).any())
        return true;
    if (!keyName)
        return false;
    if ((fitting & rowsNamedIn(context)).any())
        return true;
    if (!atLineStart)
        return false;
    const auto above = headings.above(lineStart);
    return std::any_of(above.begin(), above.end(),
                       [&fitting](QStringView heading) { return (fitting & rowsNamedIn(heading)).any(); });
}

} // namespace tamo::secretproviders
