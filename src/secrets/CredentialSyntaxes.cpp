#include "secrets/CredentialSyntaxes.h"

#include "secrets/SecretAssignments.h"
#include "secrets/SecretRules.h"
#include "secrets/SecretText.h"
#include "secrets/TokenBody.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

namespace tamo::credentialsyntaxes {

using namespace secrettext;
using secretstructures::Found;
using secretstructures::namedLiteral;
using secretstructures::namedValue;

namespace {

constexpr qsizetype minKeyMaterial = 32;

// Whether `value` is what a key generator makes rather than a word, a
// name, a path or a placeholder: base62 or capitals with digits (see
// tokenbody::looksIssued), random hex, or random lower case with digits.
bool isGeneratedValue(QStringView value)
{
    constexpr qsizetype minHex = 16;
    constexpr qsizetype minLowerDigits = 20;
    if (secretassignments::isPlaceholder(value) || isDocumentedExample(value))
        return false;
    if (tokenbody::looksIssued(value))
        return true;
    // Hex or lower case with digits, maybe behind a short suffix such as Mailchimp's -us6.
    for (QStringView part : value.tokenize(u'-')) {
        const bool hex = std::all_of(part.begin(), part.end(), [](QChar c) { return is(c, Hex); });
        const bool lowerDigits = std::all_of(part.begin(), part.end(), [](QChar c) { return is(c, Lower | Digit); });
        if ((hex && part.size() >= minHex && isRandomHex(part))
            || (lowerDigits && part.size() >= minLowerDigits && isRandomLowerDigits(part) && !looksLikeWords(part)))
            return true;
    }
    return false;
}

// WordPress's keys and salts: 64 characters drawn from letters, digits and
// punctuation, which no name would spell.
bool isSalt(QStringView name, QStringView value)
{
    constexpr qsizetype minSalt = 32;
    constexpr double minSaltEntropy = 4.5;
    const bool keyOrSalt = name.endsWith(u"_KEY", Qt::CaseInsensitive) || name.endsWith(u"_SALT", Qt::CaseInsensitive);
    return keyOrSalt && value.size() >= minSalt && secretrules::entropy(value) >= minSaltEntropy
        && !secretassignments::isPlaceholder(value);
}

bool phpDefine(const Found &found)
{
    return secretassignments::isSecretValue(found.text, found.groups[0], found.groups[1], true)
        || isSalt(found.groups[0], found.groups[1]);
}

// A value, not a call or an index computing one (passes = _messages.Field(7)).
bool passValue(const Found &found)
{
    return found.groups[2].isEmpty() && namedValue(found);
}

bool password(const Found &found)
{
    return secretassignments::isRealPassword(found.groups[0], false);
}

// Key material (hex or base64) on the lines after a block's header, past
// headers of its own such as `Comment: "…"`.
bool keyMaterialFollows(const Found &found)
{
    constexpr int maxHeaderLines = 4;
    constexpr qsizetype maxLook = 300;
    const QStringView rest = found.text.sliced(found.end).first(std::min(found.text.size() - found.end, maxLook));
    int lines = 0;
    for (QStringView line : rest.tokenize(u'\n', Qt::SkipEmptyParts)) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (Reader(line).peek(Base64, minKeyMaterial).size() == minKeyMaterial)
            return true;
        if (!line.contains(u':') || ++lines > maxHeaderLines)
            return false;
    }
    return false;
}

bool randomHex(const Found &found)
{
    return isRandomHex(found.groups[0]) && !secretassignments::isPlaceholder(found.groups[0]);
}

// The letters and digits of a value, past whatever separates or escapes them.
QString base62Of(QStringView value)
{
    QString base62;
    for (QChar c : value) {
        if (is(c, Base62))
            base62 += c;
    }
    return base62;
}

// The base62 of a signature, past its percent-escaped '=', '+' and '/'.
bool randomSignature(const Found &found)
{
    constexpr qsizetype minSignature = 30;
    const QString base62 = base62Of(found.groups[0]);
    return base62.size() >= minSignature && isRandomBase62(base62) && !secretassignments::isPlaceholder(base62);
}

// A hook's address holds its key: a random path segment after the hook's
// name, or a random key parameter.
bool hookKey(const Found &found)
{
    constexpr qsizetype minKey = 10;
    constexpr qsizetype minHexKey = 20;
    constexpr qsizetype maxHexKey = 32;
    const QStringView rest = found.groups[0];
    const qsizetype query = rest.indexOf(u'?');
    for (QStringView segment : rest.first(query < 0 ? rest.size() : query).tokenize(u'/')) {
        const bool hex = std::all_of(segment.begin(), segment.end(), [](QChar c) { return is(c, Hex); });
        if (hex ? segment.size() >= minHexKey && segment.size() <= maxHexKey && isRandomHex(segment)
                : segment.size() >= minKey && looksGenerated(segment.sliced(segment.indexOf(u'_') + 1)))
            return true;
    }
    if (query < 0)
        return false;
    for (QStringView parameter : rest.sliced(query + 1).tokenize(u'&')) {
        const qsizetype equals = parameter.indexOf(u'=');
        const QStringView name = parameter.first(std::max<qsizetype>(equals, 0));
        if ((name == u"key" || name == u"token") && parameter.size() - equals - 1 >= minKey
            && isMixedCaseRandom(parameter.sliced(equals + 1)) && !looksLikeWords(parameter.sliced(equals + 1)))
            return true;
    }
    return false;
}

// `echo … > config/master.key`: a generated value written to a file whose
// name says it holds a key.
bool keyFile(const Found &found)
{
    const QStringView path = found.groups[1];
    static constexpr std::u16string_view keyWords[] = {u"key", u"secret", u"token", u"passw", u"credential"};
    const QStringView file = path.sliced(path.lastIndexOf(u'/') + 1);
    const bool keyName = std::any_of(std::begin(keyWords), std::end(keyWords),
                                     [file](std::u16string_view word) { return containsIgnoringCase(file, word); });
    return keyName && isGeneratedValue(found.groups[0]);
}

// "Basic" and the base64 of user:password, wherever the header is set.
bool basicCredentials(const Found &found)
{
    const QString decoded = QString::fromUtf8(QByteArray::fromBase64(found.groups[0].toLatin1()));
    const bool printable = std::all_of(decoded.begin(), decoded.end(), [](QChar c) { return c.isPrint(); });
    const qsizetype colon = decoded.indexOf(u':');
    if (!printable || colon <= 0 || secretassignments::isPlaceholder(found.groups[0]))
        return false;
    return secretassignments::isRealPassword(QStringView(decoded).sliced(colon + 1), true)
        && !secretassignments::isPlaceholder(decoded);
}

bool generatedFirst(const Found &found)
{
    return isGeneratedValue(found.groups[0]);
}

// A client built with a key: the first argument, or the second after an
// application's id (Algolia's Client("APPID", "key")). Postmark's server
// tokens are UUIDs.
bool clientKey(const Found &found)
{
    return isGeneratedValue(found.groups[0]) || isUuid(found.groups[0])
        || (!found.groups[1].isEmpty() && isGeneratedValue(found.groups[1]));
}

// A key typed in dash-separated groups of letters and digits: AB12-CD34-EF56-GH78.
bool groupedKey(const Found &found)
{
    constexpr qsizetype minKey = 16;
    const QString key = base62Of(found.groups[0]);
    return key.size() >= minKey && hasDistinctChars(key, 10) && (isRandomUpperDigits(key) || isRandomBase62(key))
        && !secretassignments::isPlaceholder(found.groups[0]);
}

// An entry's value, in its body or in its value attribute, judged by the
// entry's name: <entry key="db.password">…</entry>, <add key="…" value="…"/>.
bool namedEntry(const Found &found)
{
    const QStringView value = found.groups[1].isEmpty() ? found.groups[2] : found.groups[1];
    return secretassignments::isSecretValue(found.text, found.groups[0], value, true, false);
}

// A value, in group 3, given to a name that a word for a secret ends: the
// name's start in group 1, the word in group 2, so that the word and what
// follows it are what the scan looks for (Secret>, PASSWORD:-).
bool wordEndedName(const Found &found)
{
    const QStringView word = found.groups[1];
    const QChar *start = found.groups[0].isEmpty() ? word.data() : found.groups[0].data();
    const QStringView name(start, word.data() + word.size() - start);
    return secretassignments::isSecretValue(found.text, name, found.groups[2], false, false);
}

// Yarn's npmAuthIdent: "user:password", or the same in base64.
bool userIdent(const Found &found)
{
    const QStringView ident = found.groups[0];
    const qsizetype colon = ident.indexOf(u':');
    return colon < 0 ? secretstructures::holdsUserPassword(ident)
                     : colon > 0 && secretassignments::isRealPassword(ident.sliced(colon + 1), true);
}

// A Kubernetes .dockerconfigjson: Docker's config.json in base64, holding
// its user:password in base64 under "auth", or plain under "password".
bool dockerConfigJson(const Found &found)
{
    const QString config = QString::fromUtf8(QByteArray::fromBase64(found.groups[0].toLatin1()));
    for (QStringView field : {u"\"auth\"", u"\"password\""}) {
        for (qsizetype at = config.indexOf(field); at >= 0; at = config.indexOf(field, at + 1)) {
            Reader reader(QStringView(config).sliced(at + field.size()));
            reader.takeWhile([](QChar c) { return c.isSpace(); });
            if (!reader.skip(u":"))
                continue;
            reader.takeWhile([](QChar c) { return c.isSpace(); });
            if (!reader.skip(u"\""))
                continue;
            const QStringView value = reader.takeWhile([](QChar c) { return c != u'"'; });
            if (field == u"\"auth\"" ? secretstructures::holdsUserPassword(value) : secretassignments::isRealPassword(value, true))
                return true;
        }
    }
    return false;
}

// A stored hash some statements take instead of the password: PostgreSQL's
// md5… and SCRAM-SHA-256$…, MySQL's *… of 40 hex digits.
bool isPasswordHash(QStringView value)
{
    constexpr qsizetype md5Length = 3 + 32;
    constexpr qsizetype mysqlLength = 1 + 40;
    const auto hexFrom = [value](qsizetype from) {
        return std::all_of(value.begin() + from, value.end(), [](QChar c) { return is(c, Hex); });
    };
    return value.startsWith(u"SCRAM-SHA-256$") || (value.size() == md5Length && value.startsWith(u"md5") && hexFrom(3))
        || (value.size() == mysqlLength && value.startsWith(u'*') && hexFrom(1));
}

// Whether `value`, as an SQL statement spells it (quoted or not), is a
// password someone chose rather than its stored hash or a bind parameter.
bool isSqlPassword(QStringView value)
{
    const bool quoted = value.size() >= 2 && is(value.front(), Quote);
    return !isPasswordHash(quoted ? value.sliced(1, value.size() - 2) : value) && secretstructures::isPasswordValue(value);
}

bool sqlPassword(const Found &found)
{
    return isSqlPassword(found.groups[0]);
}

// Where `word` stands alone in `clause`, not inside a name such as
// mysql_native_password; -1 where it does not.
qsizetype wordAt(QStringView clause, QStringView word, qsizetype from = 0)
{
    const auto joins = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    for (qsizetype at = clause.indexOf(word, from, Qt::CaseInsensitive); at >= 0;
         at = clause.indexOf(word, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + word.size();
        if ((at == 0 || !joins(clause[at - 1])) && (end == clause.size() || !joins(clause[end])))
            return at;
    }
    return -1;
}

// The value at `at`, past blanks and an '=': quoted, or up to a blank.
QStringView sqlValueAt(QStringView clause, qsizetype at)
{
    Reader reader(clause.sliced(at));
    reader.take(Blank);
    reader.skip(u"=");
    reader.take(Blank);
    const QStringView rest = reader.rest();
    if (!rest.isEmpty() && is(rest.front(), Quote)) {
        const qsizetype close = rest.indexOf(rest.front(), 1);
        return close < 0 ? QStringView() : rest.first(close + 1);
    }
    return reader.takeWhile([](QChar c) { return !is(c, Blank) && c != u')'; });
}

// The rest of a CREATE or ALTER of a user, role or login, or of a GRANT: the
// password after PASSWORD (PostgreSQL, SQL Server), or after IDENTIFIED
// [WITH plugin] BY (MySQL, Oracle, and MySQL 5's GRANT). Read here rather than in the pattern, so that the scan
// looks for the statement, not for every "password".
bool sqlUserPassword(const Found &found)
{
    const QStringView clause = found.groups[0];
    const qsizetype identified = wordAt(clause, u"IDENTIFIED");
    const qsizetype by = identified < 0 ? -1 : wordAt(clause, u"BY", identified);
    if (by >= 0)
        return isSqlPassword(sqlValueAt(clause, by + 2));
    const qsizetype password = wordAt(clause, u"PASSWORD");
    return password >= 0 && isSqlPassword(sqlValueAt(clause, password + 8));
}

// clang-format off
constexpr CredentialSyntax table[] = {
    // Passwords and keys under a name, in syntaxes other than name = value.
    {{"php-define", R"x(define\(\s*['"]([A-Za-z0-9_]{1,64})['"]\s*,\s*['"]([^'"\n]{1,200})['"])x", phpDefine},
     "PHP manual, define(); WordPress, Editing wp-config.php (DB_PASSWORD, AUTH_KEY … NONCE_SALT)"},
    // An unquoted value holds a digit, as a pass name asks, and stops at '='
    // and ':', so that repeated names (pass=pass=…, -storepass: -storepass: …)
    // are not judged again at every one.
    {{"pass-name", R"x((?i)\b([A-Za-z0-9_.-]{0,40}pass)["'\]]{0,2}[ \t]{0,8}[=:][ \t]{0,8}("[^"\n]{8,200}"|'[^'\n]{8,200}'|[^\s"'=:,;()\[\]{}<>-][^\s"'=:,;()\[\]{}<>]{0,100}[0-9][^\s"'=:,;()\[\]{}<>]{0,100})([(\[]?))x", passValue},
     "Mutt manual, imap_pass, smtp_pass, pop_pass; VS Code SFTP and Sublime SFTP, \"pass\""},
    {{"xml-named-entry", R"x(<(?:add|entry|property|param|parameter|constant|setting) (?:key|name)[ \t]{0,8}=[ \t]{0,8}"([^"\n]{1,80})"\s{0,8}(?:>([^<\n]{1,200})</|value\s{0,8}=\s{0,8}"([^"\n]{1,200})"))x", namedEntry},
     ".NET configuration, <appSettings> <add key=\"…\" value=\"…\"/>; NuGet nuget.config, packageSourceCredentials ClearTextPassword; "
     "java.util.Properties.loadFromXML, <entry key=\"…\">; Spring Framework reference, bean <property name value>; Hibernate hibernate.cfg.xml <property name>"},
    {{"xml-named-element", R"x(<([A-Za-z][0-9A-Za-z_.:-]{0,40})?([Ss]ecret|[Pp]assword|[Pp]asswd|[Pp]assphrase|[Tt]oken|[Kk]ey)>([^<\n]{4,400})</)x", wordEndedName},
     "OAuth 1 client configurations, <ConsumerSecret>; AWS STS AssumeRole response, <SecretAccessKey> and <SessionToken>; Maven settings.xml, <passphrase>"},
    {{"dockerfile-env", R"x((?m)^[ \t]{0,8}ENV [ \t]{0,8}([A-Za-z_][0-9A-Za-z_]{0,64})[ \t]{1,8}("[^"\n]{0,200}"|'[^'\n]{0,200}'|[^\s"'=]{1,200})[ \t]{0,8}\r?$)x", namedLiteral},
     "Dockerfile reference, ENV: the alternative syntax ENV <key> <value>"},
    {{"environment-default", R"x((?:\bgetenv\(|\bGetenv\(|environ\.get\(|ENV\.fetch\(|\bENV\[|\benv\(|getOrDefault\(|process\.env\.|process\.env\[)\s{0,8}["']?([A-Za-z_][0-9A-Za-z_.]{0,64})["']?\s{0,8}\]?\s{0,8}\)?\s{0,8}(?:,|\|\||\?\?|\?:|\bor\b)\s{0,8}("[^"\n]{1,200}"|'[^'\n]{1,200}'))x", namedLiteral},
     "Python os.getenv, os.environ.get; Node.js process.env with || and ??; Ruby ENV.fetch, ENV[]; PHP getenv with ?:, Laravel env(); "
     "Java System.getenv().getOrDefault; Go cmp.Or(os.Getenv(…), …)"},
    {{"expansion-default", R"x(\$\{([0-9A-Za-z_.]{0,60})(PASS|PASSWD|PASSWORD|PWD|SECRET|TOKEN|KEY|password|secret|token|key):-([^}\s"']{1,200})\})x", wordEndedName},
     "bash(1), Parameter Expansion: ${parameter:-word}; Compose file reference, Interpolation: ${VAR:-default}"},
    // Users' passwords in SQL.
    {{"sql-user-password", R"x(\b(?:(?:CREATE|ALTER) (?:USER|ROLE|LOGIN)|(?:create|alter) (?:user|role|login)|GRANT|grant)\b([^;\n]{1,300}))x", sqlUserPassword},
     "PostgreSQL CREATE ROLE, ALTER ROLE: [ ENCRYPTED ] PASSWORD 'password'; MySQL CREATE USER, ALTER USER: IDENTIFIED BY 'auth_string'; "
     "SQL Server CREATE LOGIN: WITH PASSWORD = 'password'; Oracle CREATE USER: IDENTIFIED BY password; MySQL 5.7 GRANT … IDENTIFIED BY"},
    {{"sql-set-password", R"x((?:SET PASSWORD FOR|set password for)[ \t]{1,8}\S{1,100}\s{0,8}=\s{0,8}(?:PASSWORD\s{0,8}\(\s{0,8})?('[^'\n]{1,200}'|"[^"\n]{1,200}"))x", sqlPassword},
     "MySQL SET PASSWORD: SET PASSWORD FOR user = 'auth_string'"},
    // Package registries' configs, whatever the registry's host.
    {{"npmrc-auth-token", R"x((?m)^[ \t]{0,8}//[^\s:=]{1,100}(?::[0-9]{1,5})?/[^\s=]{0,100}:(_authToken)[ \t]{0,8}=[ \t]{0,8}("[^"\n]{1,200}"|[^\s"]{1,200}))x", namedLiteral},
     "Verdaccio documentation, Authentication: //localhost:4873/:_authToken; Sonatype Nexus, npm Bearer Token Realm (NpmToken.…)"},
    {{"yarn-auth-ident", R"x(npmAuthIdent["']?[ \t]{0,8}:[ \t]{0,8}["']?([^\s"']{3,200}))x", userIdent},
     "Yarn .yarnrc.yml reference, npmAuthIdent: username:password or its base64"},
    {{"composer-auth-token", R"x("(?:github-oauth|gitlab-oauth|gitlab-token|bearer)"\s{0,40}:\s{0,40}\{\s{0,40}"[^"\n]{1,100}"\s{0,40}:\s{0,40}"([^"\n]{8,200})")x", generatedFirst},
     "Composer documentation, Authentication for privately hosted packages: auth.json github-oauth, gitlab-token, bearer"},
    {{"gem-credentials", R"x((?m)^:([0-9A-Za-z_]{0,60}api_key):[ \t]{1,8}["']?([^\s"']{8,200}))x", namedLiteral},
     "RubyGems guides, API key scopes: ~/.gem/credentials, :rubygems_api_key: and a key per host"},
    {{"docker-config-json", R"x(\.docker(?:configjson|cfg)["']?\s*:\s*["']?([0-9A-Za-z+/]{16,}={0,2}))x", dockerConfigJson},
     "Kubernetes, Pull an Image from a Private Registry: .dockerconfigjson; containers-auth.json(5)"},
    {{"client-set-command", R"x((?m)(?:^|[ \t])/set[ \t]+([A-Za-z0-9_.-]{1,100})[ \t]+("[^"\n]*"|[^\s"]+))x", namedValue},
     "WeeChat user's guide, SASL: /set irc.server.<name>.sasl_password"},
    {{"znc-sasl", R"x((?i)\*sasl[ \t]+set[ \t]+\S{1,64}[ \t]+(\S{1,200}))x", password},
     "ZNC wiki, sasl module: /msg *sasl Set <username> <password>"},
    // Key blocks other than PEM's.
    {{"openvpn-key-block", R"x(-----BEGIN OpenVPN (?:Static key V1|tls-crypt-v2 (?:client|server) key)-----)x", keyMaterialFollows},
     "OpenVPN static key mini-HOWTO; openvpn(8), --tls-crypt-v2"},
    {{"ssh2-key-block", R"x(---- BEGIN SSH2 ENCRYPTED PRIVATE KEY ----)x", keyMaterialFollows},
     "RFC 4716's public key format as ssh.com's private keys use it"},
    {{"cntlm-hash", R"x((?m)^[ \t]*Pass(?:NTLMv2|NT|LM)[ \t]+([0-9A-Fa-f]{32})[ \t]*\r?$)x", randomHex},
     "cntlm(1), PassNTLMv2, PassNT, PassLM"},
    // Keys in addresses and parameters.
    {{"sas-token", R"x((?:^|[\s"'?&=;])sv=[0-9]{4}-[0-9]{2}-[0-9]{2}&[^\s"'<>]{0,400}?sig=([0-9A-Za-z%+/]{30,}={0,2}))x", randomSignature},
     "Azure Storage, Grant limited access with shared access signatures"},
    {{"hook-url", R"x(https?://[^\s'"<>/]{1,100}(?:/[^\s'"<>/?#]{1,100}){0,4}/(?:build_hooks|hooks|webhooks?|deploy|trigger)/([^\s'"<>#]{6,300}))x", hookKey},
     "Netlify build hooks; Vercel deploy hooks; Render deploy hooks"},
    {{"grouped-key-parameter", R"x([?&](?:[Kk]ey|KEY|api[_-]?[Kk]ey)=([0-9A-Za-z]{4,8}(?:-[0-9A-Za-z]{4,8}){2,7})(?:[&#\s"'<]|$))x", groupedKey},
     "Loqate API reference, Key parameter (AA11-AA11-AA11-AA11)"},
    {{"key-file-echo", R"x((?:echo|printf)[ \t]+(?:-n[ \t]+)?["']?([0-9A-Za-z+/=_-]{16,200})["']?[ \t]*>>?[ \t]*["']?([^\s;&|'"]{1,200}))x", keyFile},
     "Rails guides, Securing Rails Applications, config/master.key"},
    // Basic auth in its spellings; user:password@ in URLs and -u user:password are read elsewhere.
    {{"basic-auth", R"x(Basic[ \t]+([A-Za-z0-9+/]{12,400}={0,2}))x", basicCredentials},
     "RFC 7617; nginx proxy_set_header; Apache mod_headers RequestHeader; HAProxy http-request set-header"},
    {{"curl-key-as-user", R"x((?:^|[\s;&|(])curl[ \t](?:[^\n;&|]|\\\n){0,300}?[ \t](?:-u|--user)[ \t=]+["']?([0-9A-Za-z_-]{16,200}):["']?(?:[\s\\]|$))x", generatedFirst},
     "Chargebee and Harvest API references, curl -u {api_key}:"},
    // Keys handed to a client unnamed; the call is written with its parenthesis, which anchors it.
    {{"client-constructor", R"x(\b(?:[A-Z][0-9A-Za-z_]{0,40})?(?:Client|Session|API)\(\s*["']([^"'\n]{8,200})["'](?:\s*,\s*["']([^"'\n]{8,200})["'])?)x", clientKey},
     "Postmark, Meraki Dashboard API, Algolia and Pusher quick starts"},
    {{"key-setter", R"x(\.set(?:Api|API|Access|Secret|Auth)?Key\(\s*["']([^"'\n]{8,200})["'])x", generatedFirst},
     "Mailchimp Marketing API quick start, setConfig/setKey; SendGrid setApiKey; Pusher setKey"},
};
// clang-format on

} // namespace

std::span<const CredentialSyntax> credentialSyntaxes()
{
    return table;
}

} // namespace tamo::credentialsyntaxes
