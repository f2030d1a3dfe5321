#include "secrets/SecretAssignments.h"

#include "secrets/LiteralFinder.h"
#include "secrets/SecretProviderKeys.h"
#include "secrets/SecretText.h"
#include "secrets/SecretRules.h"

#include <QString>
#include <QVarLengthArray>

namespace tamo::secretassignments {

using namespace secrettext;

namespace {

// How much a value must look random before a name makes it a secret.
enum class Strength {
    unnamed,   // no secret's name; a provider's key may still be given to it
    notSecret, // names that only look like a secret's: page tokens, CSRF tokens
    password,  // people choose these: 8 characters with a digit or a symbol
    pass,      // a name that may mean a password or a test's result: a password with a digit
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
    {u"publickey", Strength::notSecret},
    {u"publishablekey", Strength::notSecret},
    {u"pagetoken", Strength::notSecret},
    {u"nexttoken", Strength::notSecret},
    {u"continuationtoken", Strength::notSecret},
    {u"synctoken", Strength::notSecret},
    {u"nonce", Strength::notSecret},
    {u"id", Strength::notSecret}, // key_id, request_id, form_build_id: what names a thing
    {u"password", Strength::password},
    {u"passwd", Strength::password},
    {u"passphrase", Strength::password},
    {u"pwd", Strength::password},
    {u"credential", Strength::password},
    {u"credentials", Strength::password},
    {u"becomepass", Strength::password},
    {u"sshpass", Strength::password},
    {u"sudopass", Strength::password},
    {u"psk", Strength::password},
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
    {u"auth", Strength::key},
    {u"accesskey", Strength::key},
    {u"integrationkey", Strength::key},
    {u"secretkeybase", Strength::key},
    {u"token", Strength::token},
};

constexpr qsizetype maxNameLength = 64;

constexpr std::u16string_view publicKeyMembers[] = {u"x", u"y", u"n", u"e", u"kid", u"x5t", u"x5t#S256"};

// Name and value share a line: a name ending a line is a heading, as in YAML.
bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}
constexpr qsizetype maxPadding = 8;
constexpr qsizetype maxValueLength = 1024;
// The shortest value any name makes a secret: a password's. Keys ask for
// more (14 hex digits, a UUID, 16 letters and digits).
constexpr qsizetype minSecretLength = 8;

// "pass" as a name's last word (imap_pass, smtpPass, SMTP_PASS), not bypass;
// alone only in lower case, as test runners print PASS: and Pass:.
bool endsWithWordPass(QStringView name)
{
    constexpr qsizetype length = 4;
    if (!name.endsWith(u"pass", Qt::CaseInsensitive))
        return false;
    const qsizetype at = name.size() - length;
    if (at == 0)
        return name == u"pass";
    return !is(name[at - 1], Base62) || (is(name[at - 1], Lower) && name.sliced(at) == u"Pass");
}

Strength strengthOfName(QStringView name)
{
    // Lower-cased without '_', '-' and '.', SECRET_ACCESS_KEY,
    // secretAccessKey and secret-access-key read alike.
    char16_t folded[maxNameLength];
    qsizetype length = 0;
    for (qsizetype at = name.size() - 1; at >= 0 && length < maxNameLength; --at) {
        if (const char16_t c = name[at].unicode(); is(c, Base62)) // ASCII alone
            folded[maxNameLength - 1 - length++] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
    const std::u16string_view foldedName(folded + maxNameLength - length, length);
    for (std::u16string_view hash : {u"hash", u"sha1", u"sha256", u"sha512", u"digest", u"checksum", u"fingerprint"}) {
        if (foldedName.find(hash) != foldedName.npos)
            return Strength::notSecret;
    }
    // A token against request forgery is printed into every page a visitor
    // gets, and logged with every request: Rails' authenticity_token,
    // Django's csrfmiddlewaretoken, ASP.NET's __RequestVerificationToken,
    // Laravel's _token.
    for (std::u16string_view forgery : {u"csrf", u"xsrf", u"authenticity", u"requestverification", u"antiforgery"}) {
        if (foldedName.find(forgery) != foldedName.npos)
            return Strength::notSecret;
    }
    if (name == u"_token")
        return Strength::notSecret;
    for (const SecretName &candidate : names) {
        if (foldedName.ends_with(candidate.suffix))
            return candidate.strength;
    }
    return endsWithWordPass(name) ? Strength::pass : Strength::unnamed;
}

// The name's strength: the last one asked on this thread is kept, as
// assignments are many where one name is repeated.
Strength strengthOf(QStringView name)
{
    thread_local LastAnswer<Strength> last;
    return last(name, 0, [name] { return strengthOfName(name); });
}

// Kubernetes env lists and their kin name a value in a field of its own,
// on the line above or earlier on the line: `- name: API_TOKEN` then
// `value: …`, or {"name": "API_TOKEN", "value": "…"}.
QStringView nameOfValueField(QStringView text, qsizetype fieldStart, LastOccurrence &fieldNames)
{
    // On the field's line or the line above, within reach.
    const qsizetype nameAt = fieldNames.before(fieldStart);
    if (nameAt < 0 || text.sliced(nameAt, fieldStart - nameAt).count(u'\n') >= 2)
        return {};
    Reader reader(text.sliced(nameAt + 4, fieldStart - nameAt - 4));
    reader.take(Quote, 1);
    reader.takeWhile(isSpace, maxPadding);
    if (!reader.skip(u":") && !reader.skip(u"="))
        return {};
    reader.takeWhile(isSpace, maxPadding);
    reader.take(Quote, 1);
    return reader.take(TokenChar | Dot, maxNameLength);
}

// Whether the value field at `fieldStart` is a hidden input's, where a form
// prints its token for every visitor: <input type="hidden" name="…" value="…">.
bool isHiddenInputField(QStringView text, qsizetype fieldStart)
{
    constexpr qsizetype maxTag = 256;
    const qsizetype from = std::max<qsizetype>(0, fieldStart - maxTag);
    const qsizetype open = text.sliced(from, fieldStart - from).lastIndexOf(u'<');
    if (open < 0)
        return false;
    QStringView tag = text.sliced(from + open);
    tag = tag.first(std::min(tag.size(), 2 * maxTag));
    const qsizetype close = tag.indexOf(u'>');
    if (close >= 0 && close < fieldStart - from - open) // the tag ended before the field
        return false;
    return startsWithIgnoringCase(tag, 1, u"input") && containsIgnoringCase(close < 0 ? tag : tag.first(close), u"hidden");
}

// Words that qualify a key without naming whose key it is.
bool isGenericQualifier(QStringView word)
{
    static constexpr std::u16string_view words[] = {
        u"app", u"public", u"cache", u"sort", u"partition", u"primary", u"foreign", u"row", u"object", u"map",
        u"lookup", u"routing", u"site", u"license", u"product", u"client", u"session", u"idempotency", u"dedup",
        u"unique", u"index", u"item", u"entity", u"resource", u"next", u"page", u"sync", u"request", u"message",
        u"event", u"group", u"user", u"file", u"bucket", u"config", u"registry", u"query", u"search", u"type",
        u"id", u"my", u"the", u"this", u"new", u"old", u"default", u"local", u"test", u"dev", u"hot", u"short", u"cut"};
    return std::any_of(std::begin(words), std::end(words),
                       [word](std::u16string_view generic) { return equalsIgnoringCase(word, generic); });
}

// A name's words, split at separators and where camelCase starts one.
QVarLengthArray<QStringView, 8> wordsOf(QStringView name)
{
    QVarLengthArray<QStringView, 8> words;
    qsizetype start = 0;
    for (qsizetype at = 1; at <= name.size(); ++at) {
        const bool boundary = at == name.size() || !is(name[at], Base62) || !is(name[at - 1], Base62)
            || (is(name[at], Upper) && is(name[at - 1], Lower));
        if (!boundary)
            continue;
        if (is(name[start], Base62) && words.size() < 8)
            words.append(name.sliced(start, at - start));
        start = at;
        while (start < name.size() && !is(name[start], Base62))
            ++start;
        at = std::max(at, start);
    }
    return words;
}

// A key, token or secret whose name holds a provider's name no row lists:
// SAUCE_KEY, CYPRESS_RECORD_KEY, or SAUCE_APP_KEY beside SAUCE_USERNAME.
Strength providerKeyStrength(QStringView text, QStringView name)
{
    const auto words = wordsOf(name);
    if (words.size() < 2 || isGenericQualifier(words.front()))
        return Strength::unnamed;
    const QStringView last = words.back();
    const bool keyWord = equalsIgnoringCase(last, u"key") || equalsIgnoringCase(last, u"secret") || equalsIgnoringCase(last, u"token");
    if (!keyWord)
        return Strength::unnamed;
    // SAUCE_KEY; CYPRESS_RECORD_KEY, whose middle word is no generic one.
    if (words.size() == 2 || (words.size() == 3 && !isGenericQualifier(words[1])))
        return Strength::key;
    constexpr qsizetype maxNeighbourDistance = 300;
    const qsizetype nameAt = name.data() - text.data();
    const qsizetype from = std::max<qsizetype>(0, nameAt - maxNeighbourDistance);
    const QStringView before = text.sliced(from, nameAt - from);
    const std::u16string provider = words.front().toString().toLower().toStdU16String();
    for (std::u16string_view who : {u"_user", u"_username", u"_account", u"_login"}) {
        if (containsIgnoringCase(before, provider + std::u16string(who)))
            return Strength::key;
    }
    return Strength::unnamed;
}

// The name before the separator as written, and how strong a value it asks for.
struct Name
{
    QStringView text;
    Strength strength = Strength::unnamed;
    bool partOfIdentifier = false; // as `secret` in arn:aws:secretsmanager:…:secret:prod/db
    bool guessed = false;          // a provider's key by the name's shape, not a secret's own name
};

Name nameBefore(QStringView text, qsizetype separatorAt, LastOccurrence &fieldNames)
{
    qsizetype end = separatorAt;
    for (qsizetype padding = 0; end > 0 && padding < maxPadding && isSpace(text[end - 1]); ++padding)
        --end;
    if (end > 0 && text[end - 1] == u']') // config['SECRET_KEY'] = …
        --end;
    if (end > 0 && is(text[end - 1], Quote))
        --end;
    qsizetype start = end;
    while (start > 0 && end - start < maxNameLength && is(text[start - 1], TokenChar | Dot))
        --start;
    const QStringView name = text.sliced(start, end - start);
    if (equalsIgnoringCase(name, u"value")) {
        const QStringView named = nameOfValueField(text, start, fieldNames);
        if (!named.isEmpty()) {
            const Strength strength = strengthOf(named);
            return {named, strength == Strength::token && isHiddenInputField(text, start) ? Strength::notSecret : strength};
        }
    }
    const Strength strength = strengthOf(name);
    // PowerShell's $env:NAME is a name of its own, not part of a longer one.
    const bool environment = start >= 5 && startsWithIgnoringCase(text, start - 5, u"$env:");
    const bool guessed = strength == Strength::unnamed;
    return {name, guessed ? providerKeyStrength(text, name) : strength, start > 0 && text[start - 1] == u':' && !environment,
            guessed};
}

// Whether `name`, given a value by '=', is a parameter of a link's query.
bool isQueryParameter(QStringView text, const Name &name)
{
    const qsizetype nameStart = name.text.data() - text.data();
    const qsizetype separator = nameStart + name.text.size();
    return separator < text.size() && text[separator] == u'=' && nameStart > 0
        && (text[nameStart - 1] == u'?' || text[nameStart - 1] == u'&');
}

bool endsValue(QChar c)
{
    static constexpr std::u16string_view ends = u",;&<>()[]{}\\|";
    return !is(c, Base62) && (is(c, Blank | Quote) || ends.find(c.unicode()) != ends.npos);
}

} // namespace

bool startsAsReference(QStringView value, bool quoted)
{
    static constexpr std::u16string_view starts = u"${[<:";
    static constexpr std::u16string_view unquotedStarts = u"#.~?";
    static constexpr std::u16string_view unquotedNameStarts = u"@!*";
    const QChar first = value.front();
    if (starts.find(first.unicode()) != starts.npos || (!quoted && unquotedStarts.find(first.unicode()) != starts.npos))
        return true;
    if (!quoted && unquotedNameStarts.find(first.unicode()) != starts.npos) { // also !!name, a name negated in code
        const qsizetype marks = Reader(value).takeWhile([first](QChar c) { return c == first; }, 2).size();
        return value.size() > marks && is(value[marks], Letter);
    }
    if (first == u'%')
        return value.indexOf(u'%', 1) > 0;
    if (value.startsWith(u"&lt;")) // <…> escaped in XML, as Tomcat's password="&lt;must-be-changed&gt;"
        return true;
    // A base64 key may start with '/' or '+'; a path has no such mix.
    return (first == u'/' || first == u'+') && !(isMixedCaseRandom(value) && containsAny(value, Digit));
}

namespace {

// A type or a name in camelCase or PascalCase, digits allowed: ApiKeyCredentialV2.
// No two capitals side by side, which random letters seldom avoid.
bool isCamelCaseName(QStringView value)
{
    for (qsizetype at = 1; at < value.size(); ++at) {
        if (is(value[at], Upper) && is(value[at - 1], Upper))
            return false;
    }
    return looksLikeWords(value);
}

// process.env.API_KEY, settings.secret_key2, other_password: names in
// code, not values.
bool isCodeName(QStringView value)
{
    if (value.size() == Reader(value).take(Word).size())
        return (!containsAny(value, Digit) && !isRandomLetterMix(value)) || isChainOfShortNames(value)
            || isCamelCaseName(value);
    // A qualified name's parts: process.env.API_KEY, WEBrick::HTTPAuth::Htpasswd.new.
    constexpr qsizetype minRandomPart = 10;
    for (qsizetype start = 0, at = 0; at <= value.size(); ++at) {
        const bool scope = at + 1 < value.size() && value[at] == u':' && value[at + 1] == u':';
        if (at < value.size() && value[at] != u'.' && !scope)
            continue;
        const QStringView part = value.sliced(start, at - start);
        if (part.isEmpty() || is(part.front(), Digit) || part.size() != Reader(part).take(Word).size()
            || (part.size() >= minRandomPart && looksGenerated(part)))
            return false;
        at += scope ? 1 : 0;
        start = at + 1;
    }
    return true;
}

// The public members of a JSON Web Key: base64url numbers and ids, random to look at.
bool isPublicKeyMember(QStringView name)
{
    return std::any_of(std::begin(publicKeyMembers), std::end(publicKeyMembers),
                       [name](std::u16string_view member) { return name == member; });
}

} // namespace

namespace {

// Whether `value` holds a slot to fill in, <token> or &lt;must-be-changed&gt;
// as a page shows it, named in words of one case, or one a template fills
// (#{SecureRandom.hex(64)}, ${NAME}): a documented prefix before one
// (SWMTKN-1-<token>) is no token. Generated salts hold <Kty> by chance.
bool holdsSlot(QStringView value)
{
    struct Slot
    {
        std::u16string_view open;
        std::u16string_view close;
        bool oneCase; // the name is in one case, as words in angle brackets are
    };
    static constexpr Slot kinds[] = {{u"<", u">", true}, {u"&lt;", u"&gt;", true}, {u"#{", u"}", false}, {u"${", u"}", false}};
    for (const Slot &slot : kinds) {
        for (qsizetype at = indexOfIgnoringCase(value, slot.open); at >= 0; at = indexOfIgnoringCase(value, slot.open, at + 1)) {
            Reader reader(value.sliced(at + qsizetype(slot.open.size())));
            constexpr qsizetype minName = 3;
            const quint16 letterCase = !slot.oneCase ? Letter : reader.peek(Lower, 1).isEmpty() ? quint16(Upper) : quint16(Lower);
            const qsizetype letters = reader.take(letterCase).size();
            reader.take(slot.oneCase ? letterCase | Digit | Underscore | Dash | Dot : Word | Dash | Dot);
            if (reader.skip(u"(")) { // a call's arguments
                reader.take(Word | Dot);
                reader.skip(u")");
            }
            if (letters >= minName && startsWithIgnoringCase(reader.rest(), 0, slot.close))
                return true;
        }
    }
    return false;
}

} // namespace

bool isPlaceholder(QStringView value)
{
    static const LiteralFinder words({"example", "placeholder", "changeme", "change_me", "change-me", "your", "xxxx",
                                      "****", "dummy", "redacted", "sample", "replace", "insert", "fixme", "todo", "...",
                                      "secret", "password", "://",
                                      // Local emulators' published keys and documentation tokens.
                                      "eby8vdm02xnocqflquwjpllmetlcdxj1ouzft50usrz6ifsufq2uvercz4i6tq",
                                      "c2y6ydjf5/r+ob0n8a7cgv30vrdjiwehlm+4qdu5de2nq9ndvtqobd7b8mggypmbizn",
                                      "abcdef.0123456789abcdef", "minioadmin",
                                      // RFC 7617's Basic credentials, Aladdin:open sesame.
                                      "qwxhzgrpbjpvcgvuihnlc2ftzq",
                                      // The SAS signature AWS DataSync's reference shows.
                                      "abbkdwqvyuvctph9ebp"});
    return words.occursIn(bytesOf(value)) || holdsSlot(value);
}

namespace {

// Letters with digits, or letters whose case changes as randomly as a key's.
bool mixesLettersWithDigits(QStringView value)
{
    return containsAny(value, Letter) && (containsAny(value, Digit) || isRandomLetterMix(value));
}

// Whether `part` is a word or a number: a capital or none, lower case
// letters holding a vowel, maybe a version's digits (proto3).
bool isWordOrNumber(QStringView part)
{
    Reader reader(part);
    if (!reader.take(Digit).isEmpty())
        return reader.rest().isEmpty();
    const qsizetype letters = reader.take(Upper, 1).size() + reader.take(Lower).size();
    reader.take(Digit);
    const bool vowel = std::any_of(part.begin(), part.begin() + letters, [](QChar c) {
        return std::u16string_view(u"aeiouyAEIOUY").find(c.unicode()) != std::u16string_view::npos;
    });
    return reader.rest().isEmpty() && letters >= 2 && vowel;
}

// How many parts between separators `value` has, all `accepted`; none where one is not.
template<typename Accepts>
int acceptedParts(QStringView value, Accepts accepted)
{
    int parts = 0;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= value.size(); ++at) {
        if (at < value.size() && is(value[at], Base62))
            continue;
        const QStringView part = value.sliced(start, at - start);
        if (!part.isEmpty() && !accepted(part))
            return 0;
        parts += !part.isEmpty();
        start = at + 1;
    }
    return parts;
}

// Words and numbers between separators: a list (varint,1,opt,name=key) or
// a test's made-up value (server-valid-token-1), where a generated key runs
// random between its separators.
bool isWordList(QStringView value)
{
    return acceptedParts(value, isWordOrNumber) > 0;
}

// An option's value of a word or a few, each in one case: same-origin,
// ECDHE-PSK, -PSK:HIGH. People pick longer passphrases of words.
bool isWordOption(QStringView value)
{
    constexpr int maxWords = 3;
    const int words = acceptedParts(value, [](QStringView part) {
        return Reader(part).take(Lower).size() == part.size() || Reader(part).take(Upper).size() == part.size();
    });
    return words > 0 && words <= maxWords;
}

// Long enough and varied enough for a secret of the strength asked.
bool hasSecretShape(QStringView value, Strength strength)
{
    if (strength == Strength::pass)
        return containsAny(value, Digit) && hasSecretShape(value, Strength::password);
    if (strength == Strength::password && isWordOption(value))
        return false;
    if (strength != Strength::password && isWordList(value))
        return false;
    if (strength == Strength::password) {
        const bool hasSymbol = std::any_of(value.begin(), value.end(), [](QChar c) { return !is(c, Base62); });
        return value.size() >= minSecretLength && (mixesLettersWithDigits(value) || (hasSymbol && containsAny(value, Letter)))
            && hasDistinctChars(value, 5);
    }
    // What the name promises makes a plainer value a key: a UUID or a run of hex.
    constexpr qsizetype minHexKey = 14;
    constexpr qsizetype maxHexKey = 64;
    const bool allHex = std::all_of(value.begin(), value.end(), [](QChar c) { return is(c, Hex); });
    if (isUuid(value) || (value.size() >= minHexKey && value.size() <= maxHexKey && allHex && isRandomHex(value)))
        return true;
    const qsizetype minLength = strength == Strength::token ? 20 : 16;
    return value.size() >= minLength && mixesLettersWithDigits(value) && hasDistinctChars(value, 8);
}

// `inCode`: the value may be code naming a value (settings.secret_key2)
// rather than the value itself, as in source files. The shape is judged
// first: it is the cheapest test, and most values fail it.
bool looksReal(QStringView value, Strength strength, bool quoted, bool inCode = true)
{
    if (strength == Strength::notSecret || strength == Strength::unnamed)
        return false;
    thread_local LastAnswer<bool> last;
    return last(value, int(strength) << 2 | int(quoted) << 1 | int(inCode), [&] {
        return hasSecretShape(value, strength) && !startsAsReference(value, quoted) && !isPublicKey(value)
            && !isFingerprint(value) && !(inCode && isCodeName(value)) && !secretrules::failsItsChecksum(value)
            && !isMadeOfWords(value) && !isPlaceholder(value);
    });
}

// The value inside quotes, when they close before a blank; else up to where a value ends.
QStringView quotedValue(Reader &reader, QChar quote)
{
    const QStringView rest = reader.rest();
    qsizetype end = 0;
    while (end < rest.size() && end < maxValueLength && rest[end] != quote && !is(rest[end], Blank))
        ++end;
    if (end < rest.size() && rest[end] == quote)
        return reader.takeWhile([](QChar) { return true; }, end);
    return reader.takeWhile([](QChar c) { return !endsValue(c); }, maxValueLength);
}

} // namespace

bool isPublicKey(QStringView value)
{
    // An SSH public key's base64 starts with its algorithm's name, length first:
    // ssh-ed25519, ssh-rsa and ssh-dss, ecdsa-sha2-…, sk-ssh-ed25519@…, sk-ecdsa-….
    static constexpr std::u16string_view sshKeyStarts[] = {u"AAAAC3NzaC1", u"AAAAB3NzaC1", u"AAAAE2VjZHNh",
                                                           u"AAAAGnNrLXNzaC1", u"AAAAInNrLWVjZHNh"};
    return value.startsWith(u"pk_live_") || value.startsWith(u"pk_test_") || value.startsWith(u"pk.eyJ")
        || std::any_of(std::begin(sshKeyStarts), std::end(sshKeyStarts),
                       [value](std::u16string_view start) { return value.startsWith(QStringView(start.data(), qsizetype(start.size()))); });
}

bool isSecretValue(QStringView text, QStringView name, QStringView value, bool quoted, bool inCode)
{
    const Strength strength = strengthOf(name);
    return looksReal(value, strength == Strength::unnamed ? providerKeyStrength(text, name) : strength, quoted, inCode);
}

bool isSecretAssignment(QStringView text, qsizetype separatorAt, secretproviders::Headings &headings)
{
    // The value first: most separators give none, and it is the cheaper to read.
    if (separatorAt + 1 == text.size() || text[separatorAt + 1] == u'\n') // none on the rest of the line
        return false;
    Reader reader(text.sliced(separatorAt + 1));
    if (text[separatorAt] == u'=')
        reader.skip(u">"); // "password" => "…"
    // "==" and "::" are operators, not assignments; Go declares with ":=".
    const bool declaration = text[separatorAt] == u':' && reader.skip(u"=");
    if (text[separatorAt] == u'=' && reader.rest().startsWith(u"==")) // JavaScript's "password"===type compares
        return false;
    if (!declaration && (reader.skip(u"=") || reader.skip(u":"))) {
        if (reader.rest().isEmpty() || is(reader.rest().front(), Blank | Quote))
            return false;
        reader = Reader(text.sliced(separatorAt + 1));
    }
    const bool padded = !reader.takeWhile(isSpace, maxPadding).isEmpty();
    const QStringView openingQuote = reader.take(Quote, 1);
    const bool quoted = !openingQuote.isEmpty();
    static constexpr std::u16string_view schemes[] = {u"Bearer ", u"Basic ", u"token "};
    for (std::u16string_view scheme : schemes) {
        if (reader.skip(scheme))
            break;
    }
    // A quoted value runs to its closing quote: generated keys hold '(' and '&' too.
    const QStringView value = quoted ? quotedValue(reader, openingQuote.front())
                                     : reader.takeWhile([](QChar c) { return !endsValue(c); }, maxValueLength);
    // A call or an index: code computing the value, as in password = getpass("…").
    const bool computed = !quoted && (reader.skip(u"(") || reader.skip(u"["));
    if (computed || value.isEmpty())
        return false;
    // Too short for a secret of any name, and no provider's key: reading the
    // name changes nothing. Text dense with `key=` gives mostly such values.
    if (value.size() < minSecretLength && !secretproviders::hasProviderKeyShape(value))
        return false;
    const Name name = nameBefore(text, separatorAt, headings.fieldNames());
    if (name.strength == Strength::notSecret || name.text.isEmpty() || name.partOfIdentifier)
        return false;
    // A link names what it reaches by a UUID in its query (?DocumentKey=…):
    // only a secret's own name makes one a key there.
    if (name.guessed && isUuid(value) && isQueryParameter(text, name))
        return false;
    // Shell and .env files keep a '#' right after '=' in the value; after a space it starts a comment.
    const bool literal = quoted || (!padded && value.startsWith(u'#'));
    return looksReal(value, name.strength, literal)
        || (secretproviders::isProviderKey(text, separatorAt, name.text, value, headings) && !isPlaceholder(value));
}

bool isGivenToNonSecretName(QStringView text, qsizetype valueAt)
{
    qsizetype separator = valueAt;
    for (qsizetype padding = 0; separator > 0 && padding < maxPadding && is(text[separator - 1], Blank | Quote); ++padding)
        --separator;
    if (separator == 0 || (text[separator - 1] != u':' && text[separator - 1] != u'='))
        return false;
    LastOccurrence fieldNames(text, u"name", secretproviders::Headings::maxFieldNameDistance);
    const Name name = nameBefore(text, separator - 1, fieldNames);
    // Links carry long opaque values in their queries (label, ved, gclid,
    // utm_…); only a parameter named as a key holds one.
    return name.strength == Strength::notSecret || (name.strength == Strength::unnamed && isQueryParameter(text, name))
        || isPublicKeyMember(name.text);
}

bool isRealPassword(QStringView value, bool quoted)
{
    return looksReal(value, Strength::password, quoted, false);
}

} // namespace tamo::secretassignments
