#include "app/SecretAssignments.h"

#include "app/SecretProviderKeys.h"
#include "app/SecretText.h"
#include "app/SecretTokens.h"

#include <QString>

namespace tamo::secretassignments {

using namespace secrettext;

namespace {

// How much a value must look random before a name makes it a secret.
enum class Strength {
    unnamed,   // no secret's name; a provider's key may still be given to it
    notSecret, // names that only look like a secret's: page tokens, CSRF tokens
    password,  // people choose these: 8 characters with a digit or a symbol
    key,       // 16 characters, letters and digits
    token,     // 20 characters, letters and digits
};

struct SecretName
{
    std::u16string_view suffix; // lower case, without separators
    Strength strength;
};

// The first row whose suffix ends the name decides, so exceptions come first.
constexpr SecretName names[] = {
    {u"pagetoken", Strength::notSecret},
    {u"nexttoken", Strength::notSecret},
    {u"continuationtoken", Strength::notSecret},
    {u"synctoken", Strength::notSecret},
    {u"csrftoken", Strength::notSecret},
    {u"xsrftoken", Strength::notSecret},
    {u"password", Strength::password},
    {u"passwd", Strength::password},
    {u"passphrase", Strength::password},
    {u"pwd", Strength::password},
    {u"secret", Strength::key},
    {u"secretkey", Strength::key},
    {u"secretaccesskey", Strength::key},
    {u"privatekey", Strength::key},
    {u"apikey", Strength::key},
    {u"authkey", Strength::key},
    {u"accountkey", Strength::key},
    {u"sharedaccesskey", Strength::key},
    {u"masterkey", Strength::key},
    {u"signingkey", Strength::key},
    {u"encryptionkey", Strength::key},
    {u"authorization", Strength::key},
    {u"token", Strength::token},
};

constexpr qsizetype maxNameLength = 64;

// Name and value share a line: a name ending a line is a heading, as in YAML.
bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}
constexpr qsizetype maxPadding = 8;
constexpr qsizetype maxValueLength = 1024;

Strength strengthOf(QStringView name)
{
    // Lower-cased without '_', '-' and '.', SECRET_ACCESS_KEY,
    // secretAccessKey and secret-access-key read alike.
    char16_t folded[maxNameLength];
    qsizetype length = 0;
    for (qsizetype at = name.size() - 1; at >= 0 && length < maxNameLength; --at) {
        if (is(name[at], Base62))
            folded[maxNameLength - 1 - length++] = QChar::toLower(name[at].unicode());
    }
    const std::u16string_view foldedName(folded + maxNameLength - length, length);
    for (const SecretName &candidate : names) {
        if (foldedName.ends_with(candidate.suffix))
            return candidate.strength;
    }
    return Strength::unnamed;
}

// Kubernetes env lists and their kin name a value in a field of its own,
// on the line above or earlier on the line: `- name: API_TOKEN` then
// `value: …`, or {"name": "API_TOKEN", "value": "…"}.
QStringView nameOfValueField(QStringView text, qsizetype fieldStart)
{
    constexpr qsizetype maxDistance = 300;
    qsizetype from = fieldStart;
    for (int lineBreaks = 0; from > 0 && fieldStart - from < maxDistance; --from) {
        if (text[from - 1] == u'\n' && ++lineBreaks == 2)
            break;
    }
    const QStringView before = text.sliced(from, fieldStart - from);
    const qsizetype nameAt = before.lastIndexOf(u"name", -1, Qt::CaseInsensitive);
    if (nameAt < 0)
        return {};
    Reader reader(before.sliced(nameAt + 4));
    reader.take(Quote, 1);
    reader.takeWhile(isSpace, maxPadding);
    if (!reader.skip(u":") && !reader.skip(u"="))
        return {};
    reader.takeWhile(isSpace, maxPadding);
    reader.take(Quote, 1);
    return reader.take(TokenChar | Dot, maxNameLength);
}

// The name before the separator as written, and how strong a value it asks for.
struct Name
{
    QStringView text;
    Strength strength = Strength::unnamed;
};

Name nameBefore(QStringView text, qsizetype separatorAt)
{
    qsizetype end = separatorAt;
    for (qsizetype padding = 0; end > 0 && padding < maxPadding && isSpace(text[end - 1]); ++padding)
        --end;
    if (end > 0 && is(text[end - 1], Quote))
        --end;
    qsizetype start = end;
    while (start > 0 && end - start < maxNameLength && is(text[start - 1], TokenChar | Dot))
        --start;
    const QStringView name = text.sliced(start, end - start);
    if (name.compare(u"value", Qt::CaseInsensitive) == 0) {
        const QStringView named = nameOfValueField(text, start);
        if (!named.isEmpty())
            return {named, strengthOf(named)};
    }
    return {name, strengthOf(name)};
}

bool endsValue(QChar c)
{
    static constexpr std::u16string_view ends = u",;&<>()[]{}\\|";
    return is(c, Blank | Quote) || ends.find(c.unicode()) != ends.npos;
}

// References to a secret kept elsewhere (${VAR}, %VAR%, {{ secrets.X }},
// <your key>; unquoted also YAML's !Ref Name, *alias and Azure's
// @Microsoft.KeyVault(…)) and paths are no secret.
bool startsAsReference(QStringView value, bool quoted)
{
    static constexpr std::u16string_view starts = u"${[<:";
    static constexpr std::u16string_view unquotedStarts = u"#.~?";
    static constexpr std::u16string_view unquotedNameStarts = u"@!*";
    const QChar first = value.front();
    if (starts.find(first.unicode()) != starts.npos || (!quoted && unquotedStarts.find(first.unicode()) != starts.npos))
        return true;
    if (!quoted && unquotedNameStarts.find(first.unicode()) != starts.npos)
        return value.size() > 1 && is(value[1], Letter);
    if (first == u'%')
        return value.indexOf(u'%', 1) > 0;
    // A base64 key may start with '/' or '+'; a path has no such mix.
    return (first == u'/' || first == u'+') && !(isMixedCaseRandom(value) && containsAny(value, Digit));
}

// Public keys given to a name that sounds secret: Stripe's publishable
// keys, Mapbox's public tokens.
bool isPublicKey(QStringView value)
{
    return value.startsWith(u"pk_live_") || value.startsWith(u"pk_test_") || value.startsWith(u"pk.eyJ");
}

// process.env.API_KEY, settings.secret_key2, other_password: names in
// code, not values.
bool isCodeName(QStringView value)
{
    if (value.size() == Reader(value).take(Word).size())
        return !containsAny(value, Digit) && !isRandomLetterMix(value);
    for (QStringView part : value.tokenize(u'.')) {
        if (part.isEmpty() || is(part.front(), Digit) || part.size() != Reader(part).take(Word).size())
            return false;
    }
    return true;
}

bool isPlaceholder(QStringView value)
{
    static constexpr std::u16string_view words[] = {u"example", u"placeholder", u"changeme", u"change_me",
                                                    u"change-me", u"your", u"xxxx", u"****", u"dummy", u"redacted",
                                                    u"sample", u"replace", u"insert", u"fixme", u"todo", u"...",
                                                    u"secret", u"password", u"://"};
    const QString lower = value.toString().toLower();
    return std::any_of(std::begin(words), std::end(words), [&lower](std::u16string_view word) {
        return lower.contains(QStringView(word.data(), qsizetype(word.size())));
    });
}

// Letters with digits, or letters whose case changes as randomly as a key's.
bool mixesLettersWithDigits(QStringView value)
{
    return containsAny(value, Letter) && (containsAny(value, Digit) || isRandomLetterMix(value));
}

bool looksReal(QStringView value, Strength strength, bool quoted)
{
    if (strength == Strength::notSecret || strength == Strength::unnamed || value.isEmpty() || startsAsReference(value, quoted) || isPublicKey(value)
        || secrettokens::failsItsChecksum(value) || isPlaceholder(value) || isCodeName(value))
        return false;
    if (strength == Strength::password) {
        const bool hasSymbol = std::any_of(value.begin(), value.end(), [](QChar c) { return !is(c, Base62); });
        return value.size() >= 8 && (mixesLettersWithDigits(value) || (hasSymbol && containsAny(value, Letter)))
            && hasDistinctChars(value, 5);
    }
    const qsizetype minLength = strength == Strength::token ? 20 : 16;
    return value.size() >= minLength && mixesLettersWithDigits(value) && hasDistinctChars(value, 8);
}

} // namespace

bool isSecretAssignment(QStringView text, qsizetype separatorAt, secretproviders::Headings &headings)
{
    const Name name = nameBefore(text, separatorAt);
    if (name.strength == Strength::notSecret || name.text.isEmpty())
        return false;
    Reader reader(text.sliced(separatorAt + 1));
    if (text[separatorAt] == u'=')
        reader.skip(u">"); // "password" => "…"
    // "==" and "::" are operators, not assignments.
    if (reader.skip(u"=") || reader.skip(u":")) {
        if (reader.rest().isEmpty() || is(reader.rest().front(), Blank | Quote))
            return false;
        reader = Reader(text.sliced(separatorAt + 1));
    }
    const bool padded = !reader.takeWhile(isSpace, maxPadding).isEmpty();
    const bool quoted = !reader.take(Quote, 1).isEmpty();
    for (std::u16string_view scheme : {u"Bearer ", u"Basic ", u"token "}) {
        if (reader.skip(scheme))
            break;
    }
    const QStringView value = reader.takeWhile([](QChar c) { return !endsValue(c); }, maxValueLength);
    // A call or an index: code computing the value, as in password = getpass("…").
    const bool computed = reader.skip(u"(") || reader.skip(u"[");
    if (computed || value.isEmpty())
        return false;
    // Shell and .env files keep a '#' right after '=' in the value; after a space it starts a comment.
    const bool literal = quoted || (!padded && value.startsWith(u'#'));
    return looksReal(value, name.strength, literal)
        || (secretproviders::isProviderKey(text, separatorAt, name.text, value, headings) && !isPlaceholder(value));
}

bool isCurlUserPassword(QStringView text, qsizetype colonAt)
{
    const auto inCredentials = [](QChar c) { return !is(c, Blank | Quote | Colon | Equals); };
    qsizetype userStart = colonAt;
    while (userStart > 0 && colonAt - userStart < maxNameLength && inCredentials(text[userStart - 1]))
        --userStart;
    const QStringView before = text.first(userStart);
    const bool quoted = before.endsWith(u'"') || before.endsWith(u'\'');
    const QStringView option = quoted ? before.chopped(1) : before;
    if (userStart == colonAt || !(option.endsWith(u" -u ") || option.endsWith(u" --user ") || option.endsWith(u" --user=")))
        return false;
    Reader reader(text.sliced(colonAt + 1));
    const QStringView password = reader.takeWhile(inCredentials, maxValueLength);
    return looksReal(password, Strength::password, quoted);
}

bool isUrlWithPassword(QStringView text, qsizetype colonAt)
{
    if (colonAt < 2 || !is(text[colonAt - 1], Letter))
        return false;
    Reader reader(text.sliced(colonAt));
    if (!reader.skip(u"://"))
        return false;
    const auto inUserInfo = [](QChar c) {
        static constexpr std::u16string_view ends = u"/@?#:";
        return !is(c, Blank | Quote) && ends.find(c.unicode()) == ends.npos;
    };
    reader.takeWhile(inUserInfo, maxNameLength * 2);
    if (!reader.skip(u":"))
        return false;
    const QStringView password = reader.takeWhile(inUserInfo, maxValueLength);
    return reader.skip(u"@") && looksReal(password, Strength::password, false);
}

} // namespace tamo::secretassignments
