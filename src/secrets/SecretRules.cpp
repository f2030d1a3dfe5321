#include "secrets/SecretRules.h"

#include "secrets/IdentifiableKeys.h"
#include "secrets/SecretText.h"
#include "secrets/TokenBody.h"

#include <re2/re2.h>
#include <re2/set.h>

#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

// The formats of keys and tokens, one row each, with the document each row
// was written from. Tokens whose prefix names their issuer are found
// anywhere; keys whose shape says little are found only where a name gives
// them a value and their provider is named around it.

namespace tamo::secretrules {

using namespace secrettext;

namespace {

constexpr std::array<quint32, 256> crcTable = [] {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

quint32 crc32(QStringView ascii)
{
    quint32 crc = 0xFFFFFFFFu;
    for (QChar c : ascii)
        crc = crcTable[(crc ^ quint8(c.unicode())) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

int base62Digit(QChar c)
{
    if (is(c, Digit))
        return c.unicode() - u'0';
    if (is(c, Upper))
        return c.unicode() - u'A' + 10;
    return c.unicode() - u'a' + 36;
}

constexpr qsizetype checksumLength = 6;

// GitHub's and npm's tokens end in six base-62 digits of the CRC-32 of the
// random part before them, so a made-up or mistyped token fails.
bool hasBase62Checksum(QStringView body)
{
    const QStringView random = body.first(body.size() - checksumLength);
    quint64 checksum = 0;
    for (QChar c : body.last(checksumLength))
        checksum = checksum * 62 + base62Digit(c);
    return checksum == crc32(random) && isMixedCaseRandom(random);
}

// Slack tokens carry numeric ids; their random part may be lower-case hex.
bool isSlackRandom(QStringView body)
{
    return containsAny(body, Digit) && isVaried(body);
}

// Harness tokens: three random parts joined by dots.
bool isDottedTriple(QStringView body)
{
    return body.count(u'.') == 2 && isMixedCaseRandom(body);
}

// ClickUp personal tokens: the user's numeric id, '_', 32 capitals and digits.
bool isClickUpBody(QStringView body)
{
    Reader reader(body);
    const qsizetype idLength = reader.take(Digit).size();
    return idLength >= 6 && idLength <= 10 && reader.skip(u"_") && reader.rest().size() == 32
        && !containsAny(reader.rest(), Lower | Underscore) && isRandomUpperDigits(reader.rest());
}

// 1Password account secret keys: groups of capitals and digits split by dashes.
bool isOnePasswordSecretKey(QStringView body)
{
    const qsizetype dashes = body.count(u'-');
    return (dashes == 4 || dashes == 5) && !body.startsWith(u'-') && isRandomUpperDigits(body);
}

// Discord bot tokens: the bot's id (23 to 27 characters), '.', a time stamp
// of 6, '.', a signature of 27 to 38.
bool isDiscordBotToken(QStringView token)
{
    const qsizetype firstDot = token.indexOf(u'.');
    const qsizetype signature = token.size() - token.lastIndexOf(u'.') - 1;
    return firstDot >= 23 && firstDot <= 27 && signature >= 27 && signature <= 38 && isMixedCaseRandom(token.last(signature));
}

// Azure's identifiable keys: a key whose checksum holds is certain; one
// whose checksum fails still counts where the part before its signature and
// checksum looks random, as keys mistyped or cut short are still keys.
bool isAzureIdentifiableKey(QStringView key)
{
    constexpr qsizetype signatureAndChecksum = 10;
    QStringView body = key;
    while (body.endsWith(u'='))
        body.chop(1);
    return identifiablekeys::hasAzureChecksum(key)
        || (body.size() > signatureAndChecksum && isMixedCaseRandom(body.chopped(signatureAndChecksum)));
}

// kubeadm bootstrap tokens: 6 characters, '.', 16 characters.
bool isBootstrapToken(QStringView token)
{
    return token.size() == 23 && token[6] == u'.' && isRandomLowerDigits(token.sliced(7));
}

// NATS nkey seeds: 'S', the key's type (User, Account, Operator, server
// Node, Cluster, curve X), then base32.
bool isNkeySeed(QStringView seed)
{
    return std::u16string_view(u"UAONCX").find(seed[1].unicode()) != std::u16string_view::npos
        && isRandomUpperDigits(seed.sliced(2));
}

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

constexpr std::string_view anyIssuer = "any issuer";

// clang-format off
constexpr SecretRule table[] = {
    // ======== Tokens that name their issuer ========
    // ---- Source hosting and CI ----
    {"github-ghp", "GitHub", Where::anywhere, "", R"x(ghp_([0-9A-Za-z]{36}))x", 3.5, hasBase62Checksum, ""}, // docs.github.com "About authentication to GitHub" (token prefixes); github.blog 2021-04-05 "Behind GitHub's new authentication token formats"
    {"github-gho", "GitHub", Where::anywhere, "", R"x(gho_([0-9A-Za-z]{36}))x", 3.5, hasBase62Checksum, ""}, // docs.github.com "About authentication to GitHub" (token prefixes); github.blog 2021-04-05 "Behind GitHub's new authentication token formats"
    {"github-ghu", "GitHub", Where::anywhere, "", R"x(ghu_([0-9A-Za-z]{36}))x", 3.5, hasBase62Checksum, ""}, // docs.github.com "About authentication to GitHub" (token prefixes); github.blog 2021-04-05 "Behind GitHub's new authentication token formats"
    {"github-ghs", "GitHub", Where::anywhere, "", R"x(ghs_([0-9A-Za-z]{36}))x", 3.5, hasBase62Checksum, ""}, // docs.github.com "About authentication to GitHub" (token prefixes); github.blog 2021-04-05 "Behind GitHub's new authentication token formats"
    {"github-ghr", "GitHub", Where::anywhere, "", R"x(ghr_([0-9A-Za-z]{36}))x", 3.5, hasBase62Checksum, ""}, // docs.github.com "About authentication to GitHub" (token prefixes); github.blog 2021-04-05 "Behind GitHub's new authentication token formats"
    {"github-github-pat", "GitHub", Where::anywhere, "", R"x(github_pat_([0-9A-Za-z]{22}_[0-9A-Za-z]{59}))x", 3.5, isMixedCaseRandom, ""}, // docs.github.com "About authentication to GitHub" (token prefixes); github.blog 2021-04-05 "Behind GitHub's new authentication token formats"
    {"gitlab-glpat", "GitLab", Where::anywhere, "", R"x(glpat-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-gloas", "GitLab", Where::anywhere, "", R"x(gloas-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-gldt", "GitLab", Where::anywhere, "", R"x(gldt-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glrt", "GitLab", Where::anywhere, "", R"x(glrt-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glrtr", "GitLab", Where::anywhere, "", R"x(glrtr-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glcbt", "GitLab", Where::anywhere, "", R"x(glcbt-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glptt", "GitLab", Where::anywhere, "", R"x(glptt-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glft", "GitLab", Where::anywhere, "", R"x(glft-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glimt", "GitLab", Where::anywhere, "", R"x(glimt-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glagent", "GitLab", Where::anywhere, "", R"x(glagent-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glsoat", "GitLab", Where::anywhere, "", R"x(glsoat-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-glffct", "GitLab", Where::anywhere, "", R"x(glffct-([0-9A-Za-z_.-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-gr1348941", "GitLab", Where::anywhere, "", R"x(GR1348941([0-9A-Za-z_-]{20}))x", 3.0, isMixedCaseRandom, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"gitlab-gitlab-session", "GitLab", Where::anywhere, "", R"x(_gitlab_session=([0-9a-z]{32}))x", 3.5, isRandomLowerDigits, ""}, // docs.gitlab.com "Token overview" (token prefixes)
    {"atlassian-atatt3", "Atlassian", Where::anywhere, "", R"x(ATATT3([0-9A-Za-z_=-]{100,}))x", 3.5, isMixedCaseRandom, ""}, // support.atlassian.com "Manage API tokens"; gitleaks rule atlassian-api-token
    {"bitbucket-atbb", "Bitbucket", Where::anywhere, "", R"x(ATBB([0-9A-Za-z]{32}))x", 3.5, isMixedCaseRandom, ""}, // gitleaks rule bitbucket app password description
    {"circleci-ccipat", "CircleCI", Where::anywhere, "", R"x(CCIPAT_([0-9A-Za-z]{22}_[0-9A-Za-z]{40}))x", 3.5, isMixedCaseRandom, ""}, // circleci.com docs "Managing API tokens"
    {"buildkite-bkua", "Buildkite", Where::anywhere, "", R"x(bkua_([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // buildkite.com docs "API access tokens"
    {"harness-pat", "Harness", Where::anywhere, "", R"x(pat\.([0-9A-Za-z_.-]{66,70}))x", 3.5, isDottedTriple, ""}, // developer.harness.io "Add and manage API keys"
    {"harness-sat", "Harness", Where::anywhere, "", R"x(sat\.([0-9A-Za-z_.-]{66,70}))x", 3.5, isDottedTriple, ""}, // developer.harness.io "Add and manage API keys"
    {"sonarqube-squ", "SonarQube", Where::anywhere, "", R"x(squ_([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // docs.sonarsource.com "Generating and using tokens"
    {"sonarqube-sqp", "SonarQube", Where::anywhere, "", R"x(sqp_([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // docs.sonarsource.com "Generating and using tokens"
    {"sonarqube-sqa", "SonarQube", Where::anywhere, "", R"x(sqa_([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // docs.sonarsource.com "Generating and using tokens"
    {"sourcegraph-sgp", "Sourcegraph", Where::anywhere, "", R"x(sgp_([0-9a-fA-F_]{40,57}))x", 3.0, isRandomHex, ""}, // sourcegraph.com docs "Access tokens"
    {"octopus-deploy-api", "Octopus Deploy", Where::anywhere, "", R"x(API-([A-Z0-9]{26,32}))x", 3.5, isRandomUpperDigits, ""}, // octopus.com docs "How to create an API key"
    {"jfrog-akcp", "JFrog", Where::anywhere, "", R"x(AKCp([0-9A-Za-z]{69}))x", 3.5, isMixedCaseRandom, ""}, // jfrog.com docs "Access tokens" / "API key"
    {"jfrog-cmvmd", "JFrog", Where::anywhere, "", R"x(cmVmd([0-9A-Za-z]{59}))x", 3.5, isMixedCaseRandom, ""}, // jfrog.com docs "Access tokens" / "API key"
    // ---- Package registries ----
    {"npm-npm", "npm", Where::anywhere, "", R"x(npm_([0-9A-Za-z]{36}))x", 3.5, hasBase62Checksum, ""}, // github.blog 2021-09-23 "npm now supports granular access tokens" (npm_ prefix, CRC-32)
    {"pypi-pypi-ageichlwas5vcmc", "PyPI", Where::anywhere, "", R"x(pypi-AgEIcHlwaS5vcmc([0-9A-Za-z_-]{50,}))x", 3.5, isVaried, ""}, // pypi.org/help "API tokens" (macaroon prefix)
    {"pypi-pypi-agendgvzdc5wexbplm9yzw", "PyPI", Where::anywhere, "", R"x(pypi-AgENdGVzdC5weXBpLm9yZw([0-9A-Za-z_-]{50,}))x", 3.5, isVaried, ""}, // pypi.org/help "API tokens" (macaroon prefix)
    {"rubygems-rubygems", "RubyGems", Where::anywhere, "", R"x(rubygems_([0-9a-fA-F]{48}))x", 3.0, isRandomHex, ""}, // guides.rubygems.org "API key scopes"
    {"nuget-oy2", "NuGet", Where::anywhere, "", R"x(oy2([0-9a-z]{43}))x", 3.5, isRandomLowerDigits, ""}, // learn.microsoft.com "NuGet API keys"; gitleaks rule nuget
    {"cratesio-cio", "crates.io", Where::anywhere, "", R"x(cio([0-9A-Za-z]{32}))x", 3.5, isRandomBase62, ""}, // crates.io "Token format" (cio prefix)
    {"clojars-clojars", "Clojars", Where::anywhere, "", R"x(CLOJARS_([0-9a-z]{60}))x", 3.5, isRandomLowerDigits, ""}, // clojars wiki "Deploy tokens"
    {"docker-hub-dckr-pat", "Docker Hub", Where::anywhere, "", R"x(dckr_pat_([0-9A-Za-z_-]{27}))x", 3.5, isMixedCaseRandom, ""}, // docs.docker.com "Personal access tokens" / "Organization access tokens"
    {"docker-hub-dckr-oat", "Docker Hub", Where::anywhere, "", R"x(dckr_oat_([0-9A-Za-z_-]{27,64}))x", 3.5, isMixedCaseRandom, ""}, // docs.docker.com "Personal access tokens" / "Organization access tokens"
    // ---- Cloud platforms ----
    {"aws-akia", "AWS", Where::anywhere, "", R"x(AKIA([A-Z0-9]{16}))x", 3.0, isVaried, ""}, // docs.aws.amazon.com IAM "Unique identifier prefixes"
    {"aws-asia", "AWS", Where::anywhere, "", R"x(ASIA([A-Z0-9]{16}))x", 3.0, isVaried, ""}, // docs.aws.amazon.com IAM "Unique identifier prefixes"
    {"aws-abia", "AWS", Where::anywhere, "", R"x(ABIA([A-Z0-9]{16}))x", 3.0, isVaried, ""}, // docs.aws.amazon.com IAM "Unique identifier prefixes"
    {"aws-acca", "AWS", Where::anywhere, "", R"x(ACCA([A-Z0-9]{16}))x", 3.0, isVaried, ""}, // docs.aws.amazon.com IAM "Unique identifier prefixes"
    {"amazon-mws-amzn-mws", "Amazon MWS", Where::anywhere, "", R"x(amzn\.mws\.([0-9a-fA-F-]{36}))x", 3.0, isUuid, ""}, // gitleaks rule amazon-mws-auth-token
    {"alibaba-cloud-ltai", "Alibaba Cloud", Where::anywhere, "", R"x(LTAI([0-9A-Za-z]{12,20}))x", 3.0, isMixedCaseRandom, ""}, // alibabacloud.com "AccessKey pair"; gitleaks rule alibaba-access-key-id
    {"google-aiza", "Google", Where::anywhere, "", R"x(AIza([0-9A-Za-z_-]{35}))x", 3.5, isMixedCaseRandom, ""}, // cloud.google.com "API keys"; developers.google.com "OAuth 2.0 client secret format"
    {"google-gocspx", "Google", Where::anywhere, "", R"x(GOCSPX-([0-9A-Za-z_-]{28}))x", 3.5, isMixedCaseRandom, ""}, // cloud.google.com "API keys"; developers.google.com "OAuth 2.0 client secret format"
    {"google-ya29", "Google", Where::anywhere, "", R"x(ya29\.([0-9A-Za-z_.-]{30,}))x", 3.5, isMixedCaseRandom, ""}, // cloud.google.com "API keys"; developers.google.com "OAuth 2.0 client secret format"
    {"google-1-0", "Google", Where::anywhere, "", R"x(1//0([0-9A-Za-z_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // cloud.google.com "API keys"; developers.google.com "OAuth 2.0 client secret format"
    {"cloudflare-v1-0", "Cloudflare", Where::anywhere, "", R"x(v1\.0-([0-9a-fA-F]{24}-[0-9a-fA-F]{146,}))x", 3.0, isRandomHex, ""}, // developers.cloudflare.com "Origin CA keys"
    {"digitalocean-dop-v1", "DigitalOcean", Where::anywhere, "", R"x(dop_v1_([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // docs.digitalocean.com "Personal access tokens" (dop_v1_)
    {"digitalocean-doo-v1", "DigitalOcean", Where::anywhere, "", R"x(doo_v1_([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // docs.digitalocean.com "Personal access tokens" (dop_v1_)
    {"digitalocean-dor-v1", "DigitalOcean", Where::anywhere, "", R"x(dor_v1_([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // docs.digitalocean.com "Personal access tokens" (dop_v1_)
    {"yandex-cloud-aqvn", "Yandex Cloud", Where::anywhere, "", R"x(AQVN([0-9A-Za-z_-]{35,38}))x", 3.5, isRandomBase62, ""}, // yandex.cloud docs "API key" / "OAuth token"
    {"yandex-cloud-y0", "Yandex Cloud", Where::anywhere, "", R"x(y0_([0-9A-Za-z_-]{55,60}))x", 3.5, isRandomBase62, ""}, // yandex.cloud docs "API key" / "OAuth token"
    {"yandex-cloud-y1", "Yandex Cloud", Where::anywhere, "", R"x(y1_([0-9A-Za-z_-]{55,60}))x", 3.5, isRandomBase62, ""}, // yandex.cloud docs "API key" / "OAuth token"
    {"yandex-cloud-y2", "Yandex Cloud", Where::anywhere, "", R"x(y2_([0-9A-Za-z_-]{55,60}))x", 3.5, isRandomBase62, ""}, // yandex.cloud docs "API key" / "OAuth token"
    {"yandex-cloud-y3", "Yandex Cloud", Where::anywhere, "", R"x(y3_([0-9A-Za-z_-]{55,60}))x", 3.5, isRandomBase62, ""}, // yandex.cloud docs "API key" / "OAuth token"
    {"openshift-sha256", "OpenShift", Where::anywhere, "", R"x(sha256~([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // docs.openshift.com "Understanding authentication" (sha256~ tokens)
    {"heroku-hrku", "Heroku", Where::anywhere, "", R"x(HRKU-([0-9A-Za-z_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // devcenter.heroku.com "Authentication" (HRKU- tokens)
    {"flyio-fo1", "Fly.io", Where::anywhere, "", R"x(fo1_([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // fly.io docs "Access tokens"
    {"flyio-fm1a", "Fly.io", Where::anywhere, "", R"x(fm1a_([0-9A-Za-z+/=]{100,}))x", 3.5, isMixedCaseRandom, ""}, // fly.io docs "Access tokens"
    {"flyio-fm1r", "Fly.io", Where::anywhere, "", R"x(fm1r_([0-9A-Za-z+/=]{100,}))x", 3.5, isMixedCaseRandom, ""}, // fly.io docs "Access tokens"
    {"flyio-fm2", "Fly.io", Where::anywhere, "", R"x(fm2_([0-9A-Za-z+/=]{100,}))x", 3.5, isMixedCaseRandom, ""}, // fly.io docs "Access tokens"
    {"render-rnd", "Render", Where::anywhere, "", R"x(rnd_([0-9A-Za-z]{32}))x", 3.5, isRandomBase62, ""}, // render.com docs "API keys"
    {"deno-deploy-ddp", "Deno Deploy", Where::anywhere, "", R"x(ddp_([0-9A-Za-z]{36}))x", 3.5, isRandomBase62, ""}, // deno.com docs "Access tokens"
    {"deno-deploy-ddw", "Deno Deploy", Where::anywhere, "", R"x(ddw_([0-9A-Za-z]{36}))x", 3.5, isRandomBase62, ""}, // deno.com docs "Access tokens"
    {"netlify-nfp", "Netlify", Where::anywhere, "", R"x(nfp_([0-9A-Za-z_]{36}))x", 3.5, isMixedCaseRandom, ""}, // netlify docs "Personal access tokens"
    {"scalingo-tk-us", "Scalingo", Where::anywhere, "", R"x(tk-us-([0-9A-Za-z_-]{48}))x", 3.5, isRandomBase62, ""}, // doc.scalingo.com "API tokens"
    {"databricks-dapi", "Databricks", Where::anywhere, "", R"x(dapi([0-9a-fA-F-]{32,34}))x", 3.0, isRandomHex, ""}, // docs.databricks.com "Personal access tokens"
    {"hashicorp-vault-hvs", "HashiCorp Vault", Where::anywhere, "", R"x(hvs\.([0-9A-Za-z_-]{24,}))x", 3.5, isMixedCaseRandom, ""}, // developer.hashicorp.com "Vault tokens" (token prefixes)
    {"hashicorp-vault-hvb", "HashiCorp Vault", Where::anywhere, "", R"x(hvb\.([0-9A-Za-z_-]{24,}))x", 3.5, isMixedCaseRandom, ""}, // developer.hashicorp.com "Vault tokens" (token prefixes)
    {"hashicorp-vault-hvr", "HashiCorp Vault", Where::anywhere, "", R"x(hvr\.([0-9A-Za-z_-]{24,}))x", 3.5, isMixedCaseRandom, ""}, // developer.hashicorp.com "Vault tokens" (token prefixes)
    {"terraform-cloud-atlasv1", "Terraform Cloud", Where::anywhere, "", R"x(atlasv1\.([0-9A-Za-z_-]{60,}))x", 3.5, isMixedCaseRandom, ""}, // developer.hashicorp.com "API tokens"
    {"doppler-dp-pt", "Doppler", Where::anywhere, "", R"x(dp\.pt\.([0-9A-Za-z_.-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.doppler.com "Token formats"
    {"doppler-dp-st", "Doppler", Where::anywhere, "", R"x(dp\.st\.([0-9A-Za-z_.-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.doppler.com "Token formats"
    {"doppler-dp-ct", "Doppler", Where::anywhere, "", R"x(dp\.ct\.([0-9A-Za-z_.-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.doppler.com "Token formats"
    {"doppler-dp-sa", "Doppler", Where::anywhere, "", R"x(dp\.sa\.([0-9A-Za-z_.-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.doppler.com "Token formats"
    {"doppler-dp-scim", "Doppler", Where::anywhere, "", R"x(dp\.scim\.([0-9A-Za-z_.-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.doppler.com "Token formats"
    {"doppler-dp-audit", "Doppler", Where::anywhere, "", R"x(dp\.audit\.([0-9A-Za-z_.-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.doppler.com "Token formats"
    {"pulumi-pul", "Pulumi", Where::anywhere, "", R"x(pul-([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // pulumi.com docs "Access tokens"
    {"infracost-ico", "Infracost", Where::anywhere, "", R"x(ico-([0-9A-Za-z]{32}))x", 3.5, isRandomBase62, ""}, // infracost.io docs "API keys"
    {"tailscale-tskey-auth", "Tailscale", Where::anywhere, "", R"x(tskey-auth-([0-9A-Za-z_-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // tailscale.com kb "Auth keys" / "API access tokens"
    {"tailscale-tskey-api", "Tailscale", Where::anywhere, "", R"x(tskey-api-([0-9A-Za-z_-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // tailscale.com kb "Auth keys" / "API access tokens"
    {"tailscale-tskey-client", "Tailscale", Where::anywhere, "", R"x(tskey-client-([0-9A-Za-z_-]{20,}))x", 3.0, isMixedCaseRandom, ""}, // tailscale.com kb "Auth keys" / "API access tokens"
    {"1password-ops-eyj", "1Password", Where::anywhere, "", R"x(ops_eyJ([0-9A-Za-z_=-]{100,}))x", 3.5, isMixedCaseRandom, ""}, // developer.1password.com "Service accounts"; support.1password.com "Secret Key"
    {"1password-a3", "1Password", Where::anywhere, "", R"x(A3-([A-Z0-9-]{36,37}))x", 3.5, isOnePasswordSecretKey, ""}, // developer.1password.com "Service accounts"; support.1password.com "Secret Key"
    {"defined-networking-dnkey", "Defined Networking", Where::anywhere, "", R"x(dnkey-([0-9A-Za-z_-]{70,90}))x", 3.5, isMixedCaseRandom, ""}, // docs.defined.net "API keys"
    // ---- Databases and data platforms ----
    {"supabase-sbp", "Supabase", Where::anywhere, "", R"x(sbp_([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // supabase.com docs "API keys" / "Management API"
    {"supabase-sb-secret", "Supabase", Where::anywhere, "", R"x(sb_secret_([0-9A-Za-z_-]{20,80}))x", 3.0, isMixedCaseRandom, ""}, // supabase.com docs "API keys" / "Management API"
    {"planetscale-pscale-tkn", "PlanetScale", Where::anywhere, "", R"x(pscale_tkn_([0-9A-Za-z_.-]{32,}))x", 3.5, isMixedCaseRandom, ""}, // planetscale.com docs "Service tokens" / "Passwords"
    {"planetscale-pscale-pw", "PlanetScale", Where::anywhere, "", R"x(pscale_pw_([0-9A-Za-z_.-]{32,}))x", 3.5, isMixedCaseRandom, ""}, // planetscale.com docs "Service tokens" / "Passwords"
    {"planetscale-pscale-oauth", "PlanetScale", Where::anywhere, "", R"x(pscale_oauth_([0-9A-Za-z_.-]{32,}))x", 3.5, isMixedCaseRandom, ""}, // planetscale.com docs "Service tokens" / "Passwords"
    {"neon-napi", "Neon", Where::anywhere, "", R"x(napi_([0-9a-z]{64}))x", 3.5, isRandomLowerDigits, ""}, // neon.tech docs "API keys"
    {"clickhouse-cloud-4b1d", "ClickHouse Cloud", Where::anywhere, "", R"x(4b1d([0-9A-Za-z]{38}))x", 3.5, isRandomBase62, ""}, // clickhouse.com docs "Managing API keys"
    {"airtable-pat", "Airtable", Where::anywhere, "", R"x(pat([0-9A-Za-z]{14}\.[0-9A-Za-z]{64}))x", 3.5, isMixedCaseRandom, ""}, // airtable.com support "Personal access tokens"
    // ---- AI services ----
    {"openai-sk", "OpenAI", Where::anywhere, "", R"x(sk-([0-9A-Za-z_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // platform.openai.com docs "API keys" (sk-, sk-proj- prefixes)
    {"openai-sk-2", "OpenAI", Where::anywhere, "", R"x(sk-([0-9a-fA-F]{32}))x", 3.0, isRandomHex, ""}, // platform.openai.com docs "API keys" (sk-, sk-proj- prefixes)
    {"openrouter-sk-or-v1", "OpenRouter", Where::anywhere, "", R"x(sk-or-v1-([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // openrouter.ai docs "API keys"
    {"langfuse-sk-lf", "Langfuse", Where::anywhere, "", R"x(sk-lf-([0-9a-fA-F-]{36}))x", 3.0, isUuid, ""}, // langfuse.com docs "API keys"
    {"hugging-face-hf", "Hugging Face", Where::anywhere, "", R"x(hf_([A-Za-z]{34}))x", 3.5, isMixedCaseRandom, ""}, // huggingface.co docs "User access tokens"
    {"hugging-face-api-org", "Hugging Face", Where::anywhere, "", R"x(api_org_([A-Za-z]{34}))x", 3.5, isMixedCaseRandom, ""}, // huggingface.co docs "User access tokens"
    {"groq-gsk", "Groq", Where::anywhere, "", R"x(gsk_([0-9A-Za-z]{52}))x", 3.5, isMixedCaseRandom, ""}, // console.groq.com docs "API keys"
    {"replicate-r8", "Replicate", Where::anywhere, "", R"x(r8_([0-9A-Za-z]{37}))x", 3.5, isMixedCaseRandom, ""}, // replicate.com docs "API tokens"
    {"perplexity-pplx", "Perplexity", Where::anywhere, "", R"x(pplx-([0-9A-Za-z]{48}))x", 3.5, isMixedCaseRandom, ""}, // docs.perplexity.ai "API keys"
    {"xai-xai", "xAI", Where::anywhere, "", R"x(xai-([0-9A-Za-z]{80}))x", 3.5, isMixedCaseRandom, ""}, // docs.x.ai "API keys"
    {"nvidia-nvapi", "NVIDIA", Where::anywhere, "", R"x(nvapi-([0-9A-Za-z_-]{64}))x", 3.5, isMixedCaseRandom, ""}, // docs.api.nvidia.com "API keys"
    {"langsmith-lsv2-pt", "LangSmith", Where::anywhere, "", R"x(lsv2_pt_([0-9a-fA-F]{32}_[0-9a-fA-F]{10}))x", 3.0, isRandomHex, ""}, // docs.smith.langchain.com "API keys"
    {"langsmith-lsv2-sk", "LangSmith", Where::anywhere, "", R"x(lsv2_sk_([0-9a-fA-F]{32}_[0-9a-fA-F]{10}))x", 3.0, isRandomHex, ""}, // docs.smith.langchain.com "API keys"
    {"pinecone-pcsk", "Pinecone", Where::anywhere, "", R"x(pcsk_([0-9A-Za-z_]{50,100}))x", 3.5, isMixedCaseRandom, ""}, // docs.pinecone.io "API keys"
    {"fireworks-fw", "Fireworks", Where::anywhere, "", R"x(fw_([0-9A-Za-z]{24}))x", 3.5, isRandomBase62, ""}, // docs.fireworks.ai "API keys"
    {"elevenlabs-sk", "ElevenLabs", Where::anywhere, "", R"x(sk_([0-9a-fA-F]{48}))x", 3.0, isRandomHex, ""}, // elevenlabs.io docs "Authentication"
    {"cerebras-csk", "Cerebras", Where::anywhere, "", R"x(csk-([0-9a-z]{48}))x", 3.5, isRandomLowerDigits, ""}, // inference-docs.cerebras.ai "API keys"
    {"voyage-ai-pa", "Voyage AI", Where::anywhere, "", R"x(pa-([0-9A-Za-z_-]{43}))x", 3.5, isRandomBase62, ""}, // docs.voyageai.com "API key"
    // ---- Messaging and email ----
    {"slack-xoxb", "Slack", Where::anywhere, "", R"x(xoxb-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxp", "Slack", Where::anywhere, "", R"x(xoxp-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxa", "Slack", Where::anywhere, "", R"x(xoxa-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxr", "Slack", Where::anywhere, "", R"x(xoxr-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxs", "Slack", Where::anywhere, "", R"x(xoxs-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxo", "Slack", Where::anywhere, "", R"x(xoxo-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxe", "Slack", Where::anywhere, "", R"x(xoxe-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxe-xoxp", "Slack", Where::anywhere, "", R"x(xoxe\.xoxp-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xoxe-xoxb", "Slack", Where::anywhere, "", R"x(xoxe\.xoxb-([0-9A-Za-z-]{30,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"slack-xapp", "Slack", Where::anywhere, "", R"x(xapp-([0-9A-Za-z-]{40,}))x", 3.5, isSlackRandom, ""}, // api.slack.com "Token types"
    {"sendgrid-sg", "SendGrid", Where::anywhere, "", R"x(SG\.([0-9A-Za-z_-]{22}\.[0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // docs.sendgrid.com "API keys" (SG. format)
    {"brevo-xkeysib", "Brevo", Where::anywhere, "", R"x(xkeysib-([0-9A-Za-z]{64}-[0-9A-Za-z]{16}))x", 3.5, isVaried, ""}, // developers.brevo.com "API keys" / "SMTP keys"
    {"brevo-xsmtpsib", "Brevo", Where::anywhere, "", R"x(xsmtpsib-([0-9A-Za-z]{64}-[0-9A-Za-z]{16}))x", 3.5, isVaried, ""}, // developers.brevo.com "API keys" / "SMTP keys"
    {"mandrill-md", "Mandrill", Where::anywhere, "", R"x(md-([0-9A-Za-z_-]{22}))x", 3.0, isRandomBase62, ""}, // mailchimp.com developer "Mandrill API keys"
    {"twilio-sk", "Twilio", Where::anywhere, "", R"x(SK([0-9a-fA-F]{32}))x", 3.0, isRandomHex, ""}, // twilio.com docs "API keys" (SK prefix)
    {"mailgun-key", "Mailgun", Where::anywhere, "", R"x(key-([0-9a-fA-F]{32}))x", 3.0, isRandomHex, ""}, // documentation.mailgun.com "API keys"
    {"meta-eaa", "Meta", Where::anywhere, "", R"x(EAA([0-9A-Za-z]{100,}))x", 3.5, isMixedCaseRandom, ""}, // developers.facebook.com "Access tokens"
    {"meta-igqv", "Meta", Where::anywhere, "", R"x(IGQV([0-9A-Za-z_-]{100,}))x", 3.5, isMixedCaseRandom, ""}, // developers.facebook.com "Access tokens"
    {"x-aaaaaaaaaaaaaaaaaaaaa", "X", Where::anywhere, "", R"x(AAAAAAAAAAAAAAAAAAAAA([0-9A-Za-z%]{50,}))x", 3.5, isMixedCaseRandom, ""}, // developer.x.com "Bearer tokens"
    {"firebase-aaaa", "Firebase", Where::anywhere, "", R"x(AAAA([0-9A-Za-z_-]{7}:[0-9A-Za-z_-]{140,}))x", 3.5, isMixedCaseRandom, ""}, // firebase.google.com "Cloud Messaging legacy server key"
    // ---- Payments and commerce ----
    {"stripe-sk-live", "Stripe", Where::anywhere, "", R"x(sk_live_([0-9A-Za-z]{20,}))x", 3.0, isRandomKey, ""}, // docs.stripe.com "API keys" (key prefixes)
    {"stripe-sk-test", "Stripe", Where::anywhere, "", R"x(sk_test_([0-9A-Za-z]{20,}))x", 3.0, isRandomKey, ""}, // docs.stripe.com "API keys" (key prefixes)
    {"stripe-rk-live", "Stripe", Where::anywhere, "", R"x(rk_live_([0-9A-Za-z]{20,}))x", 3.0, isRandomKey, ""}, // docs.stripe.com "API keys" (key prefixes)
    {"stripe-rk-test", "Stripe", Where::anywhere, "", R"x(rk_test_([0-9A-Za-z]{20,}))x", 3.0, isRandomKey, ""}, // docs.stripe.com "API keys" (key prefixes)
    {"stripe-whsec", "Stripe", Where::anywhere, "", R"x(whsec_([0-9A-Za-z]{32,}))x", 3.5, isMixedCaseRandom, ""}, // docs.stripe.com "API keys" (key prefixes)
    {"square-sq0atp", "Square", Where::anywhere, "", R"x(sq0atp-([0-9A-Za-z_-]{22}))x", 3.0, isMixedCaseRandom, ""}, // developer.squareup.com "Access tokens"
    {"square-sq0csp", "Square", Where::anywhere, "", R"x(sq0csp-([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // developer.squareup.com "Access tokens"
    {"square-eaaa", "Square", Where::anywhere, "", R"x(EAAA([0-9A-Za-z_-]{60}))x", 3.5, isMixedCaseRandom, ""}, // developer.squareup.com "Access tokens"
    {"braintree-access-token-production", "Braintree", Where::anywhere, "", R"x(access_token\$production\$([0-9A-Za-z]{16}\$[0-9A-Za-z]{32}))x", 3.5, isVaried, ""}, // developer.paypal.com braintree "Access tokens"
    {"braintree-access-token-sandbox", "Braintree", Where::anywhere, "", R"x(access_token\$sandbox\$([0-9A-Za-z]{16}\$[0-9A-Za-z]{32}))x", 3.5, isVaried, ""}, // developer.paypal.com braintree "Access tokens"
    {"shippo-shippo-live", "Shippo", Where::anywhere, "", R"x(shippo_live_([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // goshippo.com docs "Authentication"
    {"shippo-shippo-test", "Shippo", Where::anywhere, "", R"x(shippo_test_([0-9a-fA-F]{40}))x", 3.0, isRandomHex, ""}, // goshippo.com docs "Authentication"
    {"duffel-duffel-live", "Duffel", Where::anywhere, "", R"x(duffel_live_([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // duffel.com docs "Access tokens"
    {"duffel-duffel-test", "Duffel", Where::anywhere, "", R"x(duffel_test_([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // duffel.com docs "Access tokens"
    {"easypost-ezak", "EasyPost", Where::anywhere, "", R"x(EZAK([0-9A-Za-z]{54}))x", 3.5, isMixedCaseRandom, ""}, // easypost.com docs "API keys"
    {"easypost-eztk", "EasyPost", Where::anywhere, "", R"x(EZTK([0-9A-Za-z]{54}))x", 3.5, isMixedCaseRandom, ""}, // easypost.com docs "API keys"
    {"lob-live", "Lob", Where::anywhere, "", R"x(live_([0-9a-fA-F]{35}))x", 3.0, isRandomHex, ""}, // docs.lob.com "API keys"
    {"lob-test", "Lob", Where::anywhere, "", R"x(test_([0-9a-fA-F]{35}))x", 3.0, isRandomHex, ""}, // docs.lob.com "API keys"
    {"flutterwave-flwseck", "Flutterwave", Where::anywhere, "", R"x(FLWSECK-([0-9A-Za-z]{32}-[0-9A-Za-z]{1}))x", 3.5, isVaried, ""}, // developer.flutterwave.com "API keys"
    {"flutterwave-flwseck-test", "Flutterwave", Where::anywhere, "", R"x(FLWSECK_TEST-([0-9A-Za-z]{32}-[0-9A-Za-z]{1}))x", 3.5, isVaried, ""}, // developer.flutterwave.com "API keys"
    {"flutterwave-flwseck-test-2", "Flutterwave", Where::anywhere, "", R"x(FLWSECK_TEST([0-9a-fA-F]{12}))x", 3.0, isRandomHex, ""}, // developer.flutterwave.com "API keys"
    {"flutterwave-flwseck-test-3", "Flutterwave", Where::anywhere, "", R"x(FLWSECK_TEST-([0-9a-fA-F]{12}))x", 3.0, isRandomHex, ""}, // developer.flutterwave.com "API keys"
    {"plaid-access-sandbox", "Plaid", Where::anywhere, "", R"x(access-sandbox-([0-9a-fA-F-]{36}))x", 3.0, isUuid, ""}, // plaid.com docs "Access tokens"
    {"plaid-access-development", "Plaid", Where::anywhere, "", R"x(access-development-([0-9a-fA-F-]{36}))x", 3.0, isUuid, ""}, // plaid.com docs "Access tokens"
    {"plaid-access-production", "Plaid", Where::anywhere, "", R"x(access-production-([0-9a-fA-F-]{36}))x", 3.0, isUuid, ""}, // plaid.com docs "Access tokens"
    {"shopify-shpat", "Shopify", Where::anywhere, "", R"x(shpat_([0-9a-fA-F]{32}))x", 3.0, isRandomHex, ""}, // shopify.dev "Access tokens" (token prefixes)
    {"shopify-shpca", "Shopify", Where::anywhere, "", R"x(shpca_([0-9a-fA-F]{32}))x", 3.0, isRandomHex, ""}, // shopify.dev "Access tokens" (token prefixes)
    {"shopify-shppa", "Shopify", Where::anywhere, "", R"x(shppa_([0-9a-fA-F]{32}))x", 3.0, isRandomHex, ""}, // shopify.dev "Access tokens" (token prefixes)
    {"shopify-shpss", "Shopify", Where::anywhere, "", R"x(shpss_([0-9a-fA-F]{32}))x", 3.0, isRandomHex, ""}, // shopify.dev "Access tokens" (token prefixes)
    // ---- Monitoring and observability ----
    {"grafana-glsa", "Grafana", Where::anywhere, "", R"x(glsa_([0-9A-Za-z]{32}_[0-9A-Za-z]{8}))x", 3.5, isMixedCaseRandom, ""}, // grafana.com docs "Service account tokens" / "Cloud access policies"
    {"grafana-glc", "Grafana", Where::anywhere, "", R"x(glc_([0-9A-Za-z+/=]{32,}))x", 3.5, isMixedCaseRandom, ""}, // grafana.com docs "Service account tokens" / "Cloud access policies"
    {"grafana-eyjrijoi", "Grafana", Where::anywhere, "", R"x(eyJrIjoi([0-9A-Za-z+/=]{50,}))x", 3.5, isVaried, ""}, // grafana.com docs "Service account tokens" / "Cloud access policies"
    {"json-web-token-zxlk", "JSON Web Token", Where::anywhere, "", R"x(ZXlK([0-9A-Za-z+/=]{60,}))x", 3.5, isMixedCaseRandom, ""}, // RFC 7519 (base64 of a JWT header)
    {"new-relic-nrak", "New Relic", Where::anywhere, "", R"x(NRAK-([A-Z0-9]{27}))x", 3.5, isVaried, ""}, // docs.newrelic.com "API keys"
    {"new-relic-nrii", "New Relic", Where::anywhere, "", R"x(NRII-([0-9A-Za-z_-]{32}))x", 3.5, isVaried, ""}, // docs.newrelic.com "API keys"
    {"new-relic-nriq", "New Relic", Where::anywhere, "", R"x(NRIQ-([0-9A-Za-z_-]{32}))x", 3.5, isVaried, ""}, // docs.newrelic.com "API keys"
    {"new-relic-nrjs", "New Relic", Where::anywhere, "", R"x(NRJS-([0-9a-fA-F]{19}))x", 3.0, isRandomHex, ""}, // docs.newrelic.com "API keys"
    {"sentry-sntrys", "Sentry", Where::anywhere, "", R"x(sntrys_([0-9A-Za-z+/0-9A-Za-z_=]{60,}))x", 3.5, isMixedCaseRandom, ""}, // docs.sentry.io "Auth tokens"
    {"sentry-sntryu", "Sentry", Where::anywhere, "", R"x(sntryu_([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // docs.sentry.io "Auth tokens"
    {"dynatrace-dt0c01", "Dynatrace", Where::anywhere, "", R"x(dt0c01\.([A-Z0-9]{24}\.[A-Z0-9]{64}))x", 3.5, isVaried, ""}, // docs.dynatrace.com "Access tokens" (token format)
    {"posthog-phx", "PostHog", Where::anywhere, "", R"x(phx_([0-9A-Za-z]{40,50}))x", 3.5, isRandomBase62, ""}, // posthog.com docs "Personal API keys"
    // ---- Productivity and developer tools ----
    {"linear-lin-api", "Linear", Where::anywhere, "", R"x(lin_api_([0-9A-Za-z]{40}))x", 3.5, isMixedCaseRandom, ""}, // developers.linear.app "Authentication"
    {"linear-lin-oauth", "Linear", Where::anywhere, "", R"x(lin_oauth_([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // developers.linear.app "Authentication"
    {"postman-pmak", "Postman", Where::anywhere, "", R"x(PMAK-([0-9a-fA-F]{24}-[0-9a-fA-F]{34}))x", 3.0, isRandomHex, ""}, // learning.postman.com "Postman API keys"
    {"figma-figd", "Figma", Where::anywhere, "", R"x(figd_([0-9A-Za-z_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // figma.com developers "Access tokens"
    {"prefect-pnu", "Prefect", Where::anywhere, "", R"x(pnu_([0-9A-Za-z]{36}))x", 3.5, isMixedCaseRandom, ""}, // docs.prefect.io "API keys"
    {"contentful-cfpat", "Contentful", Where::anywhere, "", R"x(CFPAT-([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // contentful.com docs "Personal access tokens"
    {"notion-secret", "Notion", Where::anywhere, "", R"x(secret_([0-9A-Za-z]{43}))x", 3.5, isMixedCaseRandom, ""}, // developers.notion.com "Authorization"
    {"notion-ntn", "Notion", Where::anywhere, "", R"x(ntn_([0-9A-Za-z]{46}))x", 3.5, isMixedCaseRandom, ""}, // developers.notion.com "Authorization"
    {"hubspot-pat-na1", "HubSpot", Where::anywhere, "", R"x(pat-na1-([0-9a-fA-F-]{36}))x", 3.0, isUuid, ""}, // developers.hubspot.com "Private apps"
    {"hubspot-pat-eu1", "HubSpot", Where::anywhere, "", R"x(pat-eu1-([0-9a-fA-F-]{36}))x", 3.0, isUuid, ""}, // developers.hubspot.com "Private apps"
    {"typeform-tfp", "Typeform", Where::anywhere, "", R"x(tfp_([0-9A-Za-z_.=-]{59}))x", 3.5, isMixedCaseRandom, ""}, // typeform.com developers "Personal access token"
    {"readme-rdme", "ReadMe", Where::anywhere, "", R"x(rdme_([0-9a-z]{70}))x", 3.5, isRandomLowerDigits, ""}, // docs.readme.com "API keys"
    {"frameio-fio-u", "Frame.io", Where::anywhere, "", R"x(fio-u-([0-9A-Za-z_=-]{64}))x", 3.5, isMixedCaseRandom, ""}, // developer.frame.io "Developer tokens"
    {"settlemint-sm-pat", "SettleMint", Where::anywhere, "", R"x(sm_pat_([0-9A-Za-z]{16}))x", 3.0, isRandomBase62, ""}, // console.settlemint.com docs "Access tokens"
    {"settlemint-sm-aat", "SettleMint", Where::anywhere, "", R"x(sm_aat_([0-9A-Za-z]{16}))x", 3.0, isRandomBase62, ""}, // console.settlemint.com docs "Access tokens"
    {"settlemint-sm-sat", "SettleMint", Where::anywhere, "", R"x(sm_sat_([0-9A-Za-z]{16}))x", 3.0, isRandomBase62, ""}, // console.settlemint.com docs "Access tokens"
    {"adobe-p8e", "Adobe", Where::anywhere, "", R"x(p8e-([0-9A-Za-z]{32}))x", 3.5, isRandomKey, ""}, // developer.adobe.com "OAuth server-to-server credentials"
    {"clickup-pk", "ClickUp", Where::anywhere, "", R"x(pk_([A-Z0-9_]{39,43}))x", 3.5, isClickUpBody, ""}, // clickup.com api "Personal token"
    {"42-s-s4t2ud", "42", Where::anywhere, "", R"x(s-s4t2ud-([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // api.intra.42.fr docs "Applications"
    {"42-s-s4t2af", "42", Where::anywhere, "", R"x(s-s4t2af-([0-9a-fA-F]{64}))x", 3.0, isRandomHex, ""}, // api.intra.42.fr docs "Applications"
    {"dropbox-sl", "Dropbox", Where::anywhere, "", R"x(sl\.([0-9A-Za-z_.-]{130,}))x", 3.5, isMixedCaseRandom, ""}, // dropbox.com developers "OAuth guide"
    {"mapbox-sk-eyj", "Mapbox", Where::anywhere, "", R"x(sk\.eyJ([0-9A-Za-z_.-]{80,}))x", 3.5, isMixedCaseRandom, ""}, // docs.mapbox.com "Access tokens" (sk. tokens)
    // ---- Encryption keys ----
    {"age-age-secret-key-1", "age", Where::anywhere, "", R"x(AGE-SECRET-KEY-1([A-Z0-9]{58}))x", 3.5, isVaried, ""}, // age-encryption.org/v1: the Bech32 secret key line
    // ---- Formerly found by hand-written readers ----
    {"jwt", "JSON Web Token", Where::anywhere, "", R"x((eyJ[0-9A-Za-z_-]{13,}\.eyJ[0-9A-Za-z_-]{13,}\.[0-9A-Za-z_-]{32,}))x", 3.5, isVaried, ""}, // RFC 7519 "JSON Web Token" (header.payload.signature in base64url)
    {"discord-bot-token", "Discord", Where::anywhere, "", R"x(([MNO][0-9A-Za-z_-]+\.[0-9A-Za-z_-]{6}\.[0-9A-Za-z_-]+))x", 3.5, isDiscordBotToken, ""}, // discord.com developers "Reference: Authentication" (bot token parts)
    {"telegram-bot-token", "Telegram", Where::anywhere, "", R"x((?:bot)?[0-9]{6,12}:A([0-9A-Za-z_-]{34}))x", 3.5, isMixedCaseRandom, ""}, // core.telegram.org/bots/api "Authorizing your bot"
    {"entra-client-secret", "Microsoft Entra ID", Where::anywhere, "", R"x([0-9A-Za-z_.~-]{3}[0-9]Q~([0-9A-Za-z_.~-]{31,34}))x", 3.5, isMixedCaseRandom, ""}, // learn.microsoft.com "Add a client secret" (Q~ marker)
    {"mailchimp-key", "Mailchimp", Where::anywhere, "", R"x(([0-9a-f]{32})-us[0-9]{1,2})x", 3.0, isRandomHex, ""}, // mailchimp.com developer "API keys" (key-datacenter)
    {"slack-webhook", "Slack", Where::anywhere, "", R"x(hooks\.slack\.com/(?:services|workflows|triggers)/[A-Z0-9]{8,}/[A-Z0-9]{8,}/(?:[0-9]+/)?([0-9A-Za-z]{20,}))x", 3.5, isRandomKey, "XXXXXXXX"}, // api.slack.com "Sending messages using incoming webhooks"
    {"discord-webhook", "Discord", Where::anywhere, "", R"x(discord(?:app)?\.com/api/webhooks/[0-9]{17,20}/([0-9A-Za-z_-]{60,}))x", 3.5, isMixedCaseRandom, ""}, // discord.com developers "Webhook resource"
    {"teams-webhook", "Microsoft Teams", Where::anywhere, "", R"x(webhook\.office\.com/webhookb2/[0-9a-f-]{36}@[0-9a-f-]{36}/IncomingWebhook/([0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // learn.microsoft.com "Create Incoming Webhooks"
    {"google-chat-webhook", "Google Chat", Where::anywhere, "", R"x(chat\.googleapis\.com/v1/spaces/[0-9A-Za-z_-]+/messages\?key=AIza[0-9A-Za-z_-]{35}&token=([0-9A-Za-z_%=-]{40,}))x", 3.5, isVaried, ""}, // developers.google.com/workspace/chat "Incoming webhooks"
    {"zapier-webhook", "Zapier", Where::anywhere, "", R"x(hooks\.zapier\.com/hooks/catch/[0-9]{5,}/([0-9a-z]{6,})/)x", 2.5, isRandomLowerDigits, ""}, // zapier.com help "Webhooks by Zapier"
    {"ifttt-webhook", "IFTTT", Where::anywhere, "", R"x(maker\.ifttt\.com/(?:trigger/[0-9A-Za-z_-]+/(?:json/)?)?with/key/([0-9A-Za-z_-]{22,43}))x", 3.5, isMixedCaseRandom, ""}, // ifttt.com/maker_webhooks documentation
    {"mattermost-webhook", "Mattermost", Where::anywhere, "", R"x(/hooks/([0-9a-z]{26}))x", 3.5, isRandomLowerDigits, ""}, // docs.mattermost.com "Incoming webhooks"
    // ---- Microsoft identifiable keys (signature inside the key) ----
    {"azure-storage-key", "Azure Storage", Where::anywhere, "", R"x(([0-9A-Za-z+/]{76}\+ASt[0-9A-Za-z+/]{5}[AQgw]==))x", 4.0, isAzureIdentifiableKey, ""}, // github.com/microsoft/security-utilities "Identifiable keys" (+ASt)
    {"azure-cosmos-key", "Azure Cosmos DB", Where::anywhere, "", R"x(([0-9A-Za-z+/]{76}ACDb[0-9A-Za-z+/]{5}[AQgw]==))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (ACDb)
    {"azure-service-bus-key", "Azure Service Bus", Where::anywhere, "", R"x(([0-9A-Za-z+/]{33}\+ASb[A-P][0-9A-Za-z+/]{5}=))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (+ASb)
    {"azure-event-hubs-key", "Azure Event Hubs", Where::anywhere, "", R"x(([0-9A-Za-z+/]{33}\+AEh[A-P][0-9A-Za-z+/]{5}=))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (+AEh)
    {"azure-relay-key", "Azure Relay", Where::anywhere, "", R"x(([0-9A-Za-z+/]{33}\+ARm[A-P][0-9A-Za-z+/]{5}=))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (+ARm)
    {"azure-apim-key", "Azure API Management", Where::anywhere, "", R"x(([0-9A-Za-z+/]{76}APIM[0-9A-Za-z+/]{5}[AQgw]==))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (APIM)
    {"azure-search-key", "Azure AI Search", Where::anywhere, "", R"x(([0-9A-Za-z+/]{42}AzSe[A-D][0-9A-Za-z+/]{5}))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (AzSe)
    {"azure-function-key", "Azure Functions", Where::anywhere, "", R"x(([0-9A-Za-z_-]{44}AzFu[0-9A-Za-z_-]{5}[AQgw]==))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (AzFu)
    {"azure-container-registry-key", "Azure Container Registry", Where::anywhere, "", R"x(([0-9A-Za-z+/]{42}\+ACR[A-D][0-9A-Za-z+/]{5}))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (+ACR)
    {"azure-redis-key", "Azure Cache for Redis", Where::anywhere, "", R"x(([0-9A-Za-z+/]{33}AzCa[A-P][0-9A-Za-z+/]{5}=))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (AzCa)
    {"azure-event-grid-key", "Azure Event Grid", Where::anywhere, "", R"x(([0-9A-Za-z+/]{33}AZEG[A-P][0-9A-Za-z+/]{5}=))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (AZEG)
    {"azure-iot-key", "Azure IoT", Where::anywhere, "", R"x(([0-9A-Za-z+/]{33}AIoT[A-P][0-9A-Za-z+/]{5}=))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (AIoT)
    {"azure-batch-key", "Azure Batch", Where::anywhere, "", R"x(([0-9A-Za-z+/]{76}\+ABa[0-9A-Za-z+/]{5}[AQgw]==))x", 4.0, isAzureIdentifiableKey, ""}, // microsoft/security-utilities "Identifiable keys" (+ABa)
    {"azure-devops-pat", "Azure DevOps", Where::anywhere, "", R"x(([0-9A-Za-z]{52})JQQJ9[9DH][0-9A-Za-z][A-L][0-9A-Za-z]{16}AZDO[0-9A-Za-z]{4})x", 4.0, isMixedCaseRandom, ""}, // learn.microsoft.com "Use personal access tokens" (84-character format, AZDO signature)
    // ---- More cloud and infrastructure ----
    {"aws-session-token", "AWS", Where::anywhere, "", R"x((?:FwoGZXIvYXdzE|IQoJb3JpZ2luX2Vj)([0-9A-Za-z+/=]{100,}))x", 4.0, isMixedCaseRandom, ""}, // docs.aws.amazon.com STS "GetSessionToken" (session token encoding)
    {"aws-bedrock-key", "AWS", Where::anywhere, "", R"x(ABSK([0-9A-Za-z+/=]{100,}))x", 4.0, isMixedCaseRandom, ""}, // docs.aws.amazon.com Bedrock "API keys" (ABSK prefix)
    {"tencent-key-id", "Tencent Cloud", Where::anywhere, "", R"x(AKID([0-9A-Za-z]{32}))x", 3.5, isRandomBase62, ""}, // intl.cloud.tencent.com "API key management" (AKID)
    {"volcengine-key-id", "Volcengine", Where::anywhere, "", R"x(AKLT([0-9A-Za-z_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // volcengine.com docs "Access keys" (AKLT)
    {"digitalocean-spaces-key-id", "DigitalOcean", Where::anywhere, "", R"x(DO00([A-Z0-9]{16}))x", 3.0, isRandomUpperDigits, ""}, // docs.digitalocean.com "Spaces access keys"
    {"scaleway-key-id", "Scaleway", Where::anywhere, "", R"x(SCW([A-Z0-9]{17}))x", 3.0, isRandomUpperDigits, ""}, // scaleway.com docs "API keys" (SCW access key)
    {"backblaze-app-key", "Backblaze", Where::anywhere, "backblaze b2 application_key applicationkey", R"x(K00[0-9]([0-9A-Za-z+/]{27}))x", 3.5, isMixedCaseRandom, ""}, // backblaze.com docs "Application keys"
    {"akamai-edgegrid-token", "Akamai", Where::anywhere, "", R"x(akab-([0-9a-z]{16}-[0-9a-z]{16}))x", 3.0, isRandomLowerDigits, ""}, // techdocs.akamai.com "Create authentication credentials" (akab- tokens)
    {"vercel-blob-token", "Vercel", Where::anywhere, "", R"x(vercel_blob_rw_[0-9A-Za-z]{16}_([0-9A-Za-z]{30}))x", 3.5, isMixedCaseRandom, ""}, // vercel.com docs "Vercel Blob" (read-write token)
    {"aiven-password", "Aiven", Where::anywhere, "", R"x(AVNS_([0-9A-Za-z_-]{19,}))x", 3.0, isMixedCaseRandom, ""}, // aiven.io docs "Service passwords" (AVNS_)
    {"neon-password", "Neon", Where::anywhere, "", R"x(npg_([0-9A-Za-z]{12,}))x", 3.0, isRandomBase62, ""}, // neon.tech docs "Connect" (npg_ passwords)
    {"xata-key", "Xata", Where::anywhere, "", R"x(xau_([0-9A-Za-z]{32,}))x", 3.5, isRandomBase62, ""}, // xata.io docs "API keys" (xau_)
    {"elastic-serverless-key", "Elastic", Where::anywhere, "", R"x(essu_([0-9A-Za-z+/=]{50,}))x", 3.5, isMixedCaseRandom, ""}, // elastic.co docs "API keys" (essu_)
    {"databricks-oauth-secret", "Databricks", Where::anywhere, "", R"x(dose([0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // docs.databricks.com "OAuth secrets" (dose)
    {"dbt-cloud-token", "dbt Cloud", Where::anywhere, "", R"x(dbt[cu]_([0-9A-Za-z_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.getdbt.com "Service account tokens" (dbtc_, dbtu_)
    {"teamcity-token", "TeamCity", Where::anywhere, "", R"x(eyJ0eXAiOiAiVENWMiJ9\.([0-9A-Za-z_-]{36}\.[0-9A-Za-z_-]{48}))x", 3.5, isMixedCaseRandom, ""}, // jetbrains.com TeamCity "Access tokens"
    {"infisical-token", "Infisical", Where::anywhere, "", R"x(st\.[0-9a-f-]{36}\.([0-9a-f]{32}\.[0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // infisical.com docs "Service tokens"
    {"bitwarden-access-token", "Bitwarden", Where::anywhere, "", R"x(0\.[0-9a-f-]{36}\.([0-9A-Za-z]{30}:[0-9A-Za-z+/]{22}==))x", 3.5, isMixedCaseRandom, ""}, // bitwarden.com help "Access tokens" (Secrets Manager)
    {"cloudflare-tunnel-token", "Cloudflare", Where::anywhere, "", R"x(eyJhIjoi([0-9A-Za-z+/=]{100,}))x", 4.0, isMixedCaseRandom, ""}, // developers.cloudflare.com "Tunnel tokens" (base64 of {"a":…})
    {"portainer-token", "Portainer", Where::anywhere, "", R"x(ptr_([0-9A-Za-z+/=]{40,}))x", 3.5, isMixedCaseRandom, ""}, // docs.portainer.io "Access tokens" (ptr_)
    {"rancher-token", "Rancher", Where::anywhere, "", R"x(token-[0-9a-z]{5}:([0-9a-z]{54}))x", 3.5, isRandomLowerDigits, ""}, // ranchermanager.docs.rancher.com "API keys"
    {"codesandbox-token", "CodeSandbox", Where::anywhere, "", R"x(csb_v1_([0-9A-Za-z_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // codesandbox.io docs "API tokens" (csb_v1_)
    {"youtrack-token", "JetBrains YouTrack", Where::anywhere, "", R"x(perm[:-][0-9A-Za-z+/=]{4,}\.[0-9A-Za-z+/=]{4,}\.([0-9A-Za-z]{30}))x", 3.5, isMixedCaseRandom, ""}, // jetbrains.com YouTrack "Permanent tokens"
    {"microsoft-cask", "Microsoft", Where::anywhere, "", R"x(([0-9A-Za-z]{52})JQQJ9[9DH][0-9A-Za-z]{26})x", 4.0, isMixedCaseRandom, ""}, // microsoft/security-utilities "Common annotated security keys" (JQQJ9 signature)
    // ---- More AI services ----
    {"anthropic-key", "Anthropic", Where::anywhere, "", R"x(sk-ant-(?:api|admin|sid)[0-9]{2}-([0-9A-Za-z_-]{80,}))x", 4.0, isMixedCaseRandom, ""}, // docs.anthropic.com "API keys" (sk-ant- prefix)
    {"together-key", "Together AI", Where::anywhere, "", R"x(tgp_v1_([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // docs.together.ai "API keys" (tgp_v1_)
    {"tavily-key", "Tavily", Where::anywhere, "", R"x(tvly-(?:dev-|prod-)?([0-9A-Za-z]{32}))x", 3.5, isRandomBase62, ""}, // docs.tavily.com "API keys" (tvly-)
    {"firecrawl-key", "Firecrawl", Where::anywhere, "", R"x(fc-([0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // docs.firecrawl.dev "Authentication" (fc-)
    {"jina-key", "Jina AI", Where::anywhere, "", R"x(jina_([0-9A-Za-z_-]{60}))x", 3.5, isMixedCaseRandom, ""}, // jina.ai docs "API keys" (jina_)
    {"llamacloud-key", "LlamaCloud", Where::anywhere, "", R"x(llx-([0-9A-Za-z]{48}))x", 3.5, isRandomBase62, ""}, // docs.cloud.llamaindex.ai "API keys" (llx-)
    {"modal-token", "Modal", Where::anywhere, "", R"x(a[ks]-([0-9A-Za-z]{22}))x", 3.5, isRandomBase62, ""}, // modal.com docs "Tokens" (ak-, as-)
    {"runpod-key", "RunPod", Where::anywhere, "", R"x(rpa_([A-Z0-9]{40,50}))x", 3.0, isRandomUpperDigits, ""}, // docs.runpod.io "API keys" (rpa_)
    {"anyscale-key", "Anyscale", Where::anywhere, "", R"x(esecret_([0-9A-Za-z]{20,}))x", 3.5, isRandomBase62, ""}, // docs.anyscale.com "API keys" (esecret_)
    {"helicone-key", "Helicone", Where::anywhere, "", R"x(sk-helicone-([0-9a-z]{7}-[0-9a-z]{7}-[0-9a-z]{7}-[0-9a-z]{7}))x", 3.0, isRandomLowerDigits, ""}, // docs.helicone.ai "API keys"
    {"brave-search-key", "Brave", Where::anywhere, "", R"x(BSA([0-9A-Za-z_-]{27,28}))x", 3.5, isMixedCaseRandom, ""}, // api-dashboard.search.brave.com documentation (BSA)
    {"browserbase-key", "Browserbase", Where::anywhere, "", R"x(bb_live_([0-9A-Za-z_-]{27}))x", 3.5, isMixedCaseRandom, ""}, // docs.browserbase.com "API keys" (bb_live_)
    {"e2b-key", "E2B", Where::anywhere, "", R"x(e2b_([0-9a-f]{40}))x", 3.0, isRandomHex, ""}, // e2b.dev docs "API key" (e2b_)
    {"mem0-key", "Mem0", Where::anywhere, "", R"x(m0-([0-9A-Za-z]{40}))x", 3.5, isRandomBase62, ""}, // docs.mem0.ai "API keys" (m0-)
    {"apify-token", "Apify", Where::anywhere, "", R"x(apify_api_([0-9A-Za-z]{36}))x", 3.5, isRandomBase62, ""}, // docs.apify.com "API tokens" (apify_api_)
    // ---- More messaging, email and identity ----
    {"resend-key", "Resend", Where::anywhere, "", R"x(re_([0-9A-Za-z]{8}_[0-9A-Za-z]{24}))x", 3.5, isRandomBase62, ""}, // resend.com docs "API keys" (re_)
    {"mailersend-token", "MailerSend", Where::anywhere, "", R"x(mlsn\.([0-9a-f]{64}))x", 3.0, isRandomHex, ""}, // developers.mailersend.com "Authentication" (mlsn.)
    {"stytch-secret", "Stytch", Where::anywhere, "", R"x(secret-(?:live|test)-([0-9A-Za-z_=-]{36}))x", 3.5, isMixedCaseRandom, ""}, // stytch.com docs "API keys" (secret-live-)
    {"telnyx-key", "Telnyx", Where::anywhere, "", R"x(KEY[0-9A-F]{32}_([0-9A-Za-z]{22}))x", 3.5, isRandomBase62, ""}, // developers.telnyx.com "Authentication" (KEY…_…)
    {"ably-key", "Ably", Where::anywhere, "", R"x([0-9A-Za-z_-]{6}\.[0-9A-Za-z_-]{6}:([0-9A-Za-z_-]{43}))x", 3.5, isMixedCaseRandom, ""}, // ably.com docs "API keys" (appId.keyId:secret)
    {"intercom-token", "Intercom", Where::anywhere, "", R"x(dG9rO([0-9A-Za-z+/=]{50,}))x", 3.5, isMixedCaseRandom, ""}, // developers.intercom.com "Authentication" (base64 of tok:)
    {"salesforce-token", "Salesforce", Where::anywhere, "", R"x(00D[0-9A-Za-z]{12,15}!([0-9A-Za-z._]{80,}))x", 3.5, isMixedCaseRandom, ""}, // developer.salesforce.com "OAuth access tokens" (org id!token)
    {"onesignal-key", "OneSignal", Where::anywhere, "", R"x(os_v2_(?:app|org)_([a-z2-7]{100,}))x", 3.5, isRandomLowerDigits, ""}, // documentation.onesignal.com "Keys & IDs" (os_v2_)
    {"pinterest-token", "Pinterest", Where::anywhere, "", R"x(pina_([0-9A-Z]{60,}))x", 3.0, isRandomUpperDigits, ""}, // developers.pinterest.com "Access tokens" (pina_)
    {"tiktok-token", "TikTok", Where::anywhere, "", R"x(act\.([0-9A-Za-z!]{40,}))x", 3.5, isRandomBase62, ""}, // developers.tiktok.com "Manage user access tokens" (act.)
    {"instagram-token", "Meta", Where::anywhere, "", R"x(IGAA([0-9A-Za-z_-]{100,}))x", 3.5, isMixedCaseRandom, ""}, // developers.facebook.com "Instagram API with Instagram Login" (IGAA)
    {"riot-key", "Riot Games", Where::anywhere, "", R"x(RGAPI-([0-9a-f-]{36}))x", 3.0, isUuid, ""}, // developer.riotgames.com "API keys" (RGAPI-)
    {"roblox-cookie", "Roblox", Where::anywhere, "", R"x(_\|WARNING:-DO-NOT-SHARE-THIS\.[^|]{0,200}\|_([0-9A-F]{100,}))x", 3.0, isRandomUpperDigits, ""}, // roblox.com "ROBLOSECURITY cookie" warning text
    {"dropbox-long-lived", "Dropbox", Where::anywhere, "", R"x([0-9a-z]{11}AAAAAAAAAA([0-9A-Za-z_=-]{43}))x", 3.5, isMixedCaseRandom, ""}, // dropbox.com developers "OAuth guide" (long-lived tokens)
    {"zoho-token", "Zoho", Where::anywhere, "", R"x(1000\.([0-9a-f]{32}\.[0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // zoho.com/accounts "OAuth 2.0 tokens" (1000.)
    {"teamwork-token", "Teamwork", Where::anywhere, "", R"x(tkn\.v1_([0-9A-Za-z+/=_-]{40,}))x", 3.5, isMixedCaseRandom, ""}, // apidocs.teamwork.com "Authentication" (tkn.v1_)
    {"calcom-key", "Cal.com", Where::anywhere, "", R"x(cal_(?:live|test)_([0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // cal.com docs "API keys" (cal_live_)
    {"onfido-token", "Onfido", Where::anywhere, "", R"x(api_(?:live|sandbox)(?:_[a-z]{2})?\.[0-9A-Za-z_-]{11}\.([0-9A-Za-z_-]{32}))x", 3.5, isMixedCaseRandom, ""}, // documentation.onfido.com "API tokens"
    // ---- More payments and commerce ----
    {"woocommerce-key", "WooCommerce", Where::anywhere, "", R"x(c[ks]_([0-9a-f]{40}))x", 3.0, isRandomHex, ""}, // woocommerce.com docs "REST API keys" (ck_, cs_)
    {"adyen-key", "Adyen", Where::anywhere, "", R"x(AQE([0-9A-Za-z+/=._~-]{80,}))x", 3.5, isMixedCaseRandom, ""}, // docs.adyen.com "API credentials" (AQE)
    {"razorpay-key-id", "Razorpay", Where::anywhere, "", R"x(rzp_(?:live|test)_([0-9A-Za-z]{14}))x", 3.0, isRandomBase62, ""}, // razorpay.com docs "API keys" (rzp_live_)
    {"mollie-key", "Mollie", Where::anywhere, "", R"x((?:live|test)_([0-9A-Za-z]{30}))x", 3.5, isRandomBase62, ""}, // docs.mollie.com "Authentication" (live_, test_)
    {"gocardless-token", "GoCardless", Where::anywhere, "", R"x((?:live|sandbox)_([0-9A-Za-z_=-]{40}))x", 3.5, isMixedCaseRandom, ""}, // developer.gocardless.com "Access tokens"
    {"checkout-secret", "Checkout.com", Where::anywhere, "", R"x(sk_(?:sbox_)?([a-z2-7]{26}[a-z2-7*#$=]))x", 3.5, isRandomLowerDigits, ""}, // checkout.com docs "API keys" (sk_sbox_)
    {"paddle-key", "Paddle", Where::anywhere, "", R"x(pdl_(?:live|sdbx)_apikey_([0-9a-z]{26}_[0-9A-Za-z]{22}_[0-9A-Za-z]{3}))x", 3.5, isRandomBase62, ""}, // developer.paddle.com "API keys" (pdl_live_apikey_)
    {"aftership-key", "AfterShip", Where::anywhere, "", R"x(asat_([0-9A-Za-z]{32}))x", 3.5, isRandomBase62, ""}, // aftership.com docs "API keys" (asat_)
    {"klaviyo-key", "Klaviyo", Where::anywhere, "", R"x(pk_([0-9a-f]{34}))x", 3.0, isRandomHex, ""}, // developers.klaviyo.com "Private API keys" (pk_)
    {"ecwid-secret", "Ecwid", Where::anywhere, "", R"x(secret_([0-9A-Za-z]{32}))x", 3.5, isRandomBase62, ""}, // api-docs.ecwid.com "Access tokens" (secret_)
    // ---- More developer tools ----
    {"trello-token", "Trello", Where::anywhere, "", R"x(ATTA([0-9A-Fa-f]{64,72}))x", 3.0, isRandomHex, ""}, // developer.atlassian.com Trello "Authorizing with the REST API" (ATTA)
    {"bitbucket-access-token", "Bitbucket", Where::anywhere, "", R"x(ATCTT3([0-9A-Za-z_=-]{100,}))x", 3.5, isMixedCaseRandom, ""}, // support.atlassian.com "Repository access tokens" (ATCTT3)
    {"packagist-token", "Private Packagist", Where::anywhere, "", R"x(packagist_[ou][ru]t_([0-9a-f]{68}))x", 3.0, isRandomHex, ""}, // packagist.com docs "Authentication tokens"
    {"sanity-token", "Sanity", Where::anywhere, "", R"x(sk([0-9A-Za-z]{79,}))x", 4.0, isRandomBase62, ""}, // sanity.io docs "API tokens"
    {"mapbox-temporary-token", "Mapbox", Where::anywhere, "", R"x(tk\.eyJ([0-9A-Za-z_.-]{80,}))x", 3.5, isMixedCaseRandom, ""}, // docs.mapbox.com "Temporary tokens" (tk.)
    {"statsig-key", "Statsig", Where::anywhere, "", R"x(secret-([0-9A-Za-z]{43}))x", 3.5, isRandomBase62, ""}, // docs.statsig.com "Server secret keys" (secret-)
    {"flagsmith-key", "Flagsmith", Where::anywhere, "", R"x(ser\.([0-9A-Za-z]{22}))x", 3.5, isRandomBase62, ""}, // docs.flagsmith.com "Server-side environment keys" (ser.)
    {"axiom-token", "Axiom", Where::anywhere, "", R"x(xa[ap]t-([0-9a-f-]{36}))x", 3.0, isUuid, ""}, // axiom.co docs "API tokens" (xaat-, xapt-)
    {"checkly-key", "Checkly", Where::anywhere, "", R"x(cu_([0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // checklyhq.com docs "API keys" (cu_)
    {"honeycomb-ingest-key", "Honeycomb", Where::anywhere, "", R"x(hc[ax][ilm]k_([0-9a-z]{40,70}))x", 3.5, isRandomLowerDigits, ""}, // docs.honeycomb.io "API keys" (hcaik_, hcxik_)
    {"new-relic-admin-key", "New Relic", Where::anywhere, "", R"x(NRAA-([0-9A-Za-z]{27}))x", 3.0, isVaried, ""}, // docs.newrelic.com "API keys" (NRAA-)
    {"dagster-token", "Dagster", Where::anywhere, "dagster", R"x((?:user|agent):([0-9a-f]{32}))x", 3.0, isRandomHex, ""}, // docs.dagster.io "User tokens"
    {"docker-swarm-join-token", "Docker", Where::anywhere, "", R"x(SWMTKN-1-([0-9a-z]{50}-[0-9a-z]{25}))x", 3.0, isRandomLowerDigits, "SWMTKN-1-49nj1cmql0jkz5s954yi3oex3nedyz0fb0xx14ie39trti4wxv"}, // docs.docker.com "docker swarm join-token": SWMTKN-1-<digest>-<secret>
    {"docker-swarm-unlock-key", "Docker", Where::anywhere, "", R"x(SWMKEY-1-([0-9A-Za-z+/]{43}))x", 3.5, isMixedCaseRandom, "SWMKEY-1-7c37Cc8654o6p38HnroywCi19pllOnGtbdZEgtKxZu8"}, // docs.docker.com "Lock your swarm to protect its encryption key"
    {"minisign-secret-key", "minisign", Where::anywhere, "", R"x((?:RWRTY0Iy|RWQAAEIy)([0-9A-Za-z+/]{100,300}={0,2}))x", 4.0, isMixedCaseRandom, ""}, // jedisct1.github.io/minisign "Secret key format": base64 of "Ed", the KDF ("Sc" or none), "B2", …
    // ---- Tokens that only context tells apart ----
    {"nats-nkey-seed", "NATS", Where::anywhere, "seed----- nkey_seed seed: seed=", R"x((S[A-Z][A-Z2-7]{56}))x", 3.5, isNkeySeed, ""}, // docs.nats.io "NKeys": seeds start with S, then U, A, O, N, C or X; 58 characters of base32
    {"kubeadm-bootstrap-token", "Kubernetes", Where::anywhere, "kubeadm token bootstrap discovery", R"x(([0-9a-z]+\.[0-9a-z]+))x", 3.0, isBootstrapToken, "abcdef.0123456789abcdef"}, // kubernetes.io "Authenticating with bootstrap tokens"
    {"vault-unseal-key", "HashiCorp Vault", Where::anywhere, "unseal recovery", R"x(Key [0-9]+: ([0-9A-Za-z+/]{43,44}={0,2}))x", 4.0, isMixedCaseRandom, ""}, // developer.hashicorp.com "vault operator init" output
    {"vault-root-token", "HashiCorp Vault", Where::anywhere, "", R"x(Root Token: ((?:hvs\.|s\.)[0-9A-Za-z]{24,}))x", 3.5, isMixedCaseRandom, ""}, // developer.hashicorp.com "vault operator init" output
    // Any issuer: a short lower-case name, '_' or '-', then a long random
    // body of letters of both cases and digits. Catches the issuers no row
    // lists; hashes named by their algorithm are left alone.
    {"prefixed-token", anyIssuer, Where::anywhere, "", R"x(\$?(?:[a-z][a-z0-9]{1,11}|[A-Z][A-Z0-9]{1,11})[_-]([0-9A-Za-z]{20,})(?:[_-][0-9A-Za-z]+)?)x", 3.0, tokenbody::looksIssued, "sha1- sha224- sha256- sha384- sha512- md5- pk_live_ pk_test_ phc_ commit- hash- digest- md5_ sha1_ sha256_ git- rev- uuid- etag-"}, // github.blog 2021-04-05 "Behind GitHub's new authentication token formats" (prefix + random body as a convention); devblogs.microsoft.com 2024-09-25 "Common Annotated Security Keys"
    {"qualified-prefixed-token", anyIssuer, Where::anywhere, "", R"x(\$?(?:[a-z][a-z0-9]{1,11}|[A-Z][A-Z0-9]{1,11})(?:[_-](?:[a-z][a-z0-9]{1,11}|[A-Z][A-Z0-9]{1,11})){1,3}[_-]([0-9A-Za-z][0-9A-Za-z_-]*[A-Z][0-9A-Za-z_-]*[0-9A-Za-z]))x", 3.0, tokenbody::looksIssued, "sha1- sha224- sha256- sha384- sha512- md5- pk_live_ pk_test_ phc_ commit- hash- digest- md5_ sha1_ sha256_ git- rev- uuid- etag-"}, // github.blog 2021-04-05 "Behind GitHub's new authentication token formats" (prefix + random body as a convention); devblogs.microsoft.com 2024-09-25 "Common Annotated Security Keys"; the body may hold the dashes of base64url behind an issuer and its environment (sk_prod_, secret-live-); a capital in it keeps UUIDs and dashed names out of the pattern's way
    // ======== Keys whose provider must be named around them ========
    // ---- Cloud platforms ----
    {"aws-key", "aws", Where::givenToName, "aws amazon", R"x([0-9A-Za-z+/]{40})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for aws (keyword and shape)
    {"azure-key", "azure", Where::givenToName, "azure storage accountkey account_key blob cosmos", R"x([0-9A-Za-z+/=]{88})x", 3.0, endsInPadding, ""}, // gitleaks rule descriptions for azure (keyword and shape)
    {"azure-key-2", "azure", Where::givenToName, "azure openai cognitive", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for azure (keyword and shape)
    {"azure-key-3", "azure", Where::givenToName, "azure devops ado_ azdo vsts", R"x([0-9a-z]{52})x", 3.0, isLowerBase32, ""}, // gitleaks rule descriptions for azure (keyword and shape)
    {"cloudflare-key", "cloudflare", Where::givenToName, "cloudflare cf_", R"x([0-9A-Za-z_-]{40})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for cloudflare (keyword and shape)
    {"cloudflare-key-2", "cloudflare", Where::givenToName, "cloudflare cf_", R"x([0-9a-fA-F]{37})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for cloudflare (keyword and shape)
    {"heroku-key", "heroku", Where::givenToName, "heroku", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for heroku (keyword and shape)
    {"alibaba-key", "alibaba", Where::givenToName, "alibaba aliyun", R"x([0-9A-Za-z]{30})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for alibaba (keyword and shape)
    {"ibm-key", "ibm", Where::givenToName, "ibm", R"x([0-9A-Za-z_-]{44})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for ibm (keyword and shape)
    {"linode-key", "linode", Where::givenToName, "linode", R"x([0-9a-fA-F]{64})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for linode (keyword and shape)
    {"vultr-key", "vultr", Where::givenToName, "vultr", R"x([A-Z0-9]{36})x", 3.0, isRandomUpperDigits, ""}, // gitleaks rule descriptions for vultr (keyword and shape)
    {"scaleway-key", "scaleway", Where::givenToName, "scaleway scw_", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for scaleway (keyword and shape)
    {"hetzner-key", "hetzner", Where::givenToName, "hetzner hcloud", R"x([0-9A-Za-z]{64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for hetzner (keyword and shape)
    {"vercel-key", "vercel", Where::givenToName, "vercel", R"x([0-9A-Za-z]{24})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for vercel (keyword and shape)
    {"netlify-key", "netlify", Where::givenToName, "netlify", R"x([0-9A-Za-z_-]{40,46})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for netlify (keyword and shape)
    {"railway-key", "railway", Where::givenToName, "railway", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for railway (keyword and shape)
    {"fastly-key", "fastly", Where::givenToName, "fastly", R"x([0-9A-Za-z_-]{32})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for fastly (keyword and shape)
    {"vault-key", "vault", Where::givenToName, "vault", R"x([0-9A-Za-z.]{26})x", 3.0, isLegacyVaultToken, ""}, // gitleaks rule descriptions for vault (keyword and shape)
    {"consul-key", "consul", Where::givenToName, "consul nomad", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for consul (keyword and shape)
    {"upstash-key", "upstash", Where::givenToName, "upstash", R"x([0-9A-Za-z_=-]{40,100})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for upstash (keyword and shape)
    // ---- Source hosting and CI ----
    {"github-key", "github", Where::givenToName, "github", R"x([0-9a-fA-F]{40})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for github (keyword and shape)
    {"gitea-key", "gitea", Where::givenToName, "gitea forgejo", R"x([0-9a-fA-F]{40})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for gitea (keyword and shape)
    {"bitbucket-key", "bitbucket", Where::givenToName, "bitbucket", R"x([0-9A-Za-z_-]{32,64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for bitbucket (keyword and shape)
    {"travis-key", "travis", Where::givenToName, "travis", R"x([0-9A-Za-z_-]{22})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for travis (keyword and shape)
    {"droneci-key", "droneci", Where::givenToName, "droneci drone", R"x([0-9A-Za-z]{32})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for droneci (keyword and shape)
    {"jfrog-key", "jfrog", Where::givenToName, "jfrog artifactory bintray xray", R"x([0-9A-Za-z]{64})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for jfrog (keyword and shape)
    {"jfrog-key-2", "jfrog", Where::givenToName, "jfrog artifactory bintray xray", R"x([0-9A-Za-z]{73})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for jfrog (keyword and shape)
    {"codecov-key", "codecov", Where::givenToName, "codecov", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for codecov (keyword and shape)
    {"jenkins-key", "jenkins", Where::givenToName, "jenkins", R"x([0-9a-fA-F]{34})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for jenkins (keyword and shape)
    {"snyk-key", "snyk", Where::givenToName, "snyk", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for snyk (keyword and shape)
    {"gitter-key", "gitter", Where::givenToName, "gitter", R"x([0-9A-Za-z_-]{40})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for gitter (keyword and shape)
    // ---- Monitoring and observability ----
    {"datadog-key", "datadog", Where::givenToName, "datadog dd_ dd- ddapi ddapp", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for datadog (keyword and shape)
    {"datadog-key-2", "datadog", Where::givenToName, "datadog dd_ dd- ddapi ddapp", R"x([0-9a-fA-F]{40})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for datadog (keyword and shape)
    {"newrelic-key", "newrelic", Where::givenToName, "newrelic new_relic new-relic nr_", R"x([0-9A-Za-z]{40})x", 3.0, isNewRelicLicenseKey, ""}, // gitleaks rule descriptions for newrelic (keyword and shape)
    {"sumo-key", "sumo", Where::givenToName, "sumo", R"x([0-9A-Za-z]{14})x", 3.0, isSumoAccessId, ""}, // gitleaks rule descriptions for sumo (keyword and shape)
    {"sumo-key-2", "sumo", Where::givenToName, "sumo", R"x([0-9A-Za-z]{64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for sumo (keyword and shape)
    {"pagerduty-key", "pagerduty", Where::givenToName, "pagerduty pd_", R"x([0-9A-Za-z_+/-]{20})x", 3.0, isMixedCaseRandom, ""}, // gitleaks rule descriptions for pagerduty (keyword and shape)
    {"splunk-key", "splunk", Where::givenToName, "splunk hec", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for splunk (keyword and shape)
    {"honeycomb-key", "honeycomb", Where::givenToName, "honeycomb", R"x([0-9A-Za-z]{22,32})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for honeycomb (keyword and shape)
    {"bugsnag-key", "bugsnag", Where::givenToName, "bugsnag", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for bugsnag (keyword and shape)
    {"rollbar-key", "rollbar", Where::givenToName, "rollbar", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for rollbar (keyword and shape)
    {"sentry-key", "sentry", Where::givenToName, "sentry", R"x([0-9a-fA-F]{64})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for sentry (keyword and shape)
    {"newrelic-key-2", "newrelic", Where::givenToName, "newrelic new_relic new-relic", R"x([0-9A-Za-z]{64})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for newrelic (keyword and shape)
    {"elastic-key", "elastic", Where::givenToName, "elastic", R"x([0-9A-Za-z+/=]{40,120})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for elastic (keyword and shape)
    // ---- Messaging and email ----
    {"twilio-key", "twilio", Where::givenToName, "twilio", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for twilio (keyword and shape)
    {"slack-key", "slack", Where::givenToName, "slack", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for slack (keyword and shape)
    {"discord-key", "discord", Where::givenToName, "discord", R"x([0-9A-Za-z_-]{32})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for discord (keyword and shape)
    {"discord-key-2", "discord", Where::givenToName, "discord", R"x([0-9a-fA-F]{64})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for discord (keyword and shape)
    {"mailgun-key", "mailgun", Where::givenToName, "mailgun", R"x([0-9a-fA-F-]{50})x", 3.0, isDashedHex, ""}, // gitleaks rule descriptions for mailgun (keyword and shape)
    {"mailjet-key", "mailjet", Where::givenToName, "mailjet", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for mailjet (keyword and shape)
    {"sparkpost-key", "sparkpost", Where::givenToName, "sparkpost", R"x([0-9a-fA-F]{40})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for sparkpost (keyword and shape)
    {"postmark-key", "postmark", Where::givenToName, "postmark", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for postmark (keyword and shape)
    {"messagebird-key", "messagebird", Where::givenToName, "messagebird message_bird message-bird", R"x([0-9A-Za-z]{25})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for messagebird (keyword and shape)
    {"sendbird-key", "sendbird", Where::givenToName, "sendbird", R"x([0-9a-fA-F]{40})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for sendbird (keyword and shape)
    {"mattermost-key", "mattermost", Where::givenToName, "mattermost", R"x([0-9a-z]{26})x", 3.0, isRandomLowerDigits, ""}, // gitleaks rule descriptions for mattermost (keyword and shape)
    {"intercom-key", "intercom", Where::givenToName, "intercom", R"x([0-9A-Za-z_=-]{60})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for intercom (keyword and shape)
    {"pusher-key", "pusher", Where::givenToName, "pusher", R"x([0-9a-fA-F]{20})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for pusher (keyword and shape)
    {"plivo-key", "plivo", Where::givenToName, "plivo", R"x([0-9A-Za-z]{40})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for plivo (keyword and shape)
    {"vonage-key", "vonage", Where::givenToName, "vonage nexmo", R"x([0-9A-Za-z]{16})x", 3.0, isMixedCaseRandom, ""}, // gitleaks rule descriptions for vonage (keyword and shape)
    {"zoom-key", "zoom", Where::givenToName, "zoom", R"x([0-9A-Za-z_-]{32})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for zoom (keyword and shape)
    // ---- Social sign-in ----
    {"facebook-key", "facebook", Where::givenToName, "facebook fb_", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for facebook (keyword and shape)
    {"twitter-key", "twitter", Where::givenToName, "twitter", R"x([0-9A-Za-z]{25})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for twitter (keyword and shape)
    {"twitter-key-2", "twitter", Where::givenToName, "twitter", R"x([0-9A-Za-z]{50})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for twitter (keyword and shape)
    {"twitter-key-3", "twitter", Where::givenToName, "twitter", R"x([0-9A-Za-z_-]{46,60})x", 3.0, isUserIdAndKey, ""}, // gitleaks rule descriptions for twitter (keyword and shape)
    {"linkedin-key", "linkedin", Where::givenToName, "linkedin linked_in linked-in", R"x([0-9A-Za-z]{16})x", 3.0, isMixedCaseRandom, ""}, // gitleaks rule descriptions for linkedin (keyword and shape)
    {"spotify-key", "spotify", Where::givenToName, "spotify", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for spotify (keyword and shape)
    {"twitch-key", "twitch", Where::givenToName, "twitch", R"x([0-9a-z]{30})x", 3.0, isRandomLowerDigits, ""}, // gitleaks rule descriptions for twitch (keyword and shape)
    {"okta-key", "okta", Where::givenToName, "okta", R"x([0-9A-Za-z_-]{42})x", 3.0, startsWithZeroes, ""}, // gitleaks rule descriptions for okta (keyword and shape)
    {"auth0-key", "auth0", Where::givenToName, "auth0", R"x([0-9A-Za-z_-]{64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for auth0 (keyword and shape)
    // ---- Payments and crypto exchanges ----
    {"coinbase-key", "coinbase", Where::givenToName, "coinbase", R"x([0-9A-Za-z_-]{64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for coinbase (keyword and shape)
    {"kraken-key", "kraken", Where::givenToName, "kraken", R"x([0-9A-Za-z+/=]{80,90})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for kraken (keyword and shape)
    {"kucoin-key", "kucoin", Where::givenToName, "kucoin", R"x([0-9a-fA-F]{24})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for kucoin (keyword and shape)
    {"kucoin-key-2", "kucoin", Where::givenToName, "kucoin", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for kucoin (keyword and shape)
    {"bittrex-key", "bittrex", Where::givenToName, "bittrex", R"x([0-9A-Za-z]{32})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for bittrex (keyword and shape)
    {"plaid-key", "plaid", Where::givenToName, "plaid", R"x([0-9a-z]{30})x", 3.0, isRandomLowerDigits, ""}, // gitleaks rule descriptions for plaid (keyword and shape)
    {"finicity-key", "finicity", Where::givenToName, "finicity", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for finicity (keyword and shape)
    {"finicity-key-2", "finicity", Where::givenToName, "finicity", R"x([0-9A-Za-z]{20})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for finicity (keyword and shape)
    {"gocardless-key", "gocardless", Where::givenToName, "gocardless", R"x([0-9A-Za-z_-]{45})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for gocardless (keyword and shape)
    // ---- Productivity and developer tools ----
    {"algolia-key", "algolia", Where::givenToName, "algolia", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for algolia (keyword and shape)
    {"linear-key", "linear", Where::givenToName, "linear", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for linear (keyword and shape)
    {"asana-key", "asana", Where::givenToName, "asana", R"x([0-9a-fA-F+/:]{40,90})x", 3.0, isAsanaToken, ""}, // gitleaks rule descriptions for asana (keyword and shape)
    {"atlassian-key", "atlassian", Where::givenToName, "atlassian confluence jira", R"x([0-9A-Za-z]{24})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for atlassian (keyword and shape)
    {"trello-key", "trello", Where::givenToName, "trello", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for trello (keyword and shape)
    {"trello-key-2", "trello", Where::givenToName, "trello", R"x([0-9a-fA-F]{64})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for trello (keyword and shape)
    {"zendesk-key", "zendesk", Where::givenToName, "zendesk", R"x([0-9A-Za-z]{40})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for zendesk (keyword and shape)
    {"contentful-key", "contentful", Where::givenToName, "contentful", R"x([0-9A-Za-z_-]{43})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for contentful (keyword and shape)
    {"confluent-key", "confluent", Where::givenToName, "confluent", R"x([0-9A-Za-z+/]{64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for confluent (keyword and shape)
    {"launchdarkly-key", "launchdarkly", Where::givenToName, "launchdarkly ld_", R"x([a-z0-9a-fA-F-]{40})x", 3.0, isPrefixedUuid, ""}, // gitleaks rule descriptions for launchdarkly (keyword and shape)
    {"looker-key", "looker", Where::givenToName, "looker", R"x([0-9A-Za-z]{24})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for looker (keyword and shape)
    {"squarespace-key", "squarespace", Where::givenToName, "squarespace", R"x([0-9a-fA-F-]{36})x", 3.0, isUuid, ""}, // gitleaks rule descriptions for squarespace (keyword and shape)
    {"dropbox-key", "dropbox", Where::givenToName, "dropbox", R"x([0-9A-Za-z_-]{43,64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for dropbox (keyword and shape)
    {"etsy-key", "etsy", Where::givenToName, "etsy", R"x([0-9a-z]{24})x", 3.0, isRandomLowerDigits, ""}, // gitleaks rule descriptions for etsy (keyword and shape)
    {"flickr-key", "flickr", Where::givenToName, "flickr", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for flickr (keyword and shape)
    {"nytimes-key", "nytimes", Where::givenToName, "nytimes", R"x([0-9A-Za-z_-]{32})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for nytimes (keyword and shape)
    {"rapidapi-key", "rapidapi", Where::givenToName, "rapidapi", R"x([0-9A-Za-z_-]{50})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for rapidapi (keyword and shape)
    {"finnhub-key", "finnhub", Where::givenToName, "finnhub", R"x([0-9a-z]{20})x", 3.0, isRandomLowerDigits, ""}, // gitleaks rule descriptions for finnhub (keyword and shape)
    {"freshdesk-key", "freshdesk", Where::givenToName, "freshdesk freshbooks", R"x([0-9A-Za-z]{20,64})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for freshdesk (keyword and shape)
    {"adafruit-key", "adafruit", Where::givenToName, "adafruit", R"x([0-9A-Za-z_-]{32})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for adafruit (keyword and shape)
    {"airtable-key", "airtable", Where::givenToName, "airtable", R"x([0-9A-Za-z]{17})x", 3.0, isLegacyAirtableKey, ""}, // gitleaks rule descriptions for airtable (keyword and shape)
    {"beamer-key", "beamer", Where::givenToName, "beamer", R"x([0-9A-Za-z_=-]{46})x", 3.0, isBeamerKey, ""}, // gitleaks rule descriptions for beamer (keyword and shape)
    // ---- AI services ----
    {"cohere-key", "cohere", Where::givenToName, "cohere co_api", R"x([0-9A-Za-z]{40})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for cohere (keyword and shape)
    {"mistral-key", "mistral", Where::givenToName, "mistral", R"x([0-9A-Za-z]{32})x", 3.0, isRandomBase62, ""}, // gitleaks rule descriptions for mistral (keyword and shape)
    {"assemblyai-key", "assemblyai", Where::givenToName, "assemblyai assembly_ai", R"x([0-9a-fA-F]{32})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for assemblyai (keyword and shape)
    {"together-key", "together", Where::givenToName, "together", R"x([0-9a-fA-F]{64})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for together (keyword and shape)
    {"replicate-key", "replicate", Where::givenToName, "replicate", R"x([0-9a-fA-F]{40})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for replicate (keyword and shape)
    {"wandb-key", "wandb", Where::givenToName, "wandb", R"x([0-9a-fA-F]{40})x", 3.0, isRandomHex, ""}, // gitleaks rule descriptions for wandb (keyword and shape)
    {"privateai-key", "privateai", Where::givenToName, "privateai private_ai private-ai", R"x([0-9A-Za-z]{32})x", 3.0, isRandomKey, ""}, // gitleaks rule descriptions for privateai (keyword and shape)
};
// clang-format on

bool holdsFake(QStringView match, std::string_view fakes)
{
    for (QLatin1StringView fake : QLatin1StringView(fakes.data(), qsizetype(fakes.size())).tokenize(u' ', Qt::SkipEmptyParts)) {
        if (containsIgnoringCase(match, fake.toString().toLower().toStdU16String()))
            return true;
    }
    return false;
}

} // namespace

std::span<const SecretRule> rules()
{
    return table;
}

const SeparatorRun *separatorRunOf(const SecretRule &rule)
{
    // Dots, a colon or a dash and a run of the random part that the
    // pattern and the row's shape test both need.
    static const std::pair<std::string_view, SeparatorRun> runs[] = {
        {"discord-bot-token", {".", 27, true, false}}, // the signature after the last dot
        {"ably-key", {":", 43, true, false}},
        // A generated body is at least 12 letters and digits between its
        // dashes, and holds a capital.
        {"prefixed-token", {"_-", 20, false, true}},
        {"qualified-prefixed-token", {"_-", 12, false, true}},
    };
    const auto *found = std::find_if(std::begin(runs), std::end(runs), [&rule](const auto &run) { return run.first == rule.id; });
    return found == std::end(runs) ? nullptr : &found->second;
}

bool isAnyIssuer(const SecretRule &rule)
{
    return rule.provider == anyIssuer;
}

bool namesAnObject(QStringView token)
{
    // Prefixes of ids that name objects, printed in every response and page:
    // docs.stripe.com "API reference" (pi_, ch_, evt_, price_, pm_, cus_, …;
    // its secret keys are sk_live_, rk_live_ and whsec_), request and order
    // ids of many APIs (req_, ord_), the messages, batches, tool calls and
    // files of the model APIs (msg_, msgbatch_, toolu_, file_, chatcmpl-,
    // asst_, thread_, run_), and nonces of Content-Security-Policy.
    static constexpr std::u16string_view objectPrefixes[] = {
        u"pi", u"ch", u"evt", u"price", u"pm", u"cus", u"sub", u"in", u"ii", u"il", u"prod", u"txn", u"po", u"tr",
        u"acct", u"card", u"src", u"seti", u"plink", u"py", u"pyr", u"dp", u"file", u"ba", u"si", u"re", u"ord",
        u"req", u"nonce", u"msg", u"batch", u"toolu", u"srv", u"chat", u"cmpl", u"compl", u"asst", u"thread",
        u"run", u"step", u"call", u"resp", u"vs", u"ftjob"};
    // An id is its object's prefix and one body: tr_prod_… names an issuer
    // and its environment. What starts with id_ says what it is (id_alg_…).
    const auto isSeparator = [](QChar c) { return c == u'_' || c == u'-'; };
    const auto separator = std::find_if(token.begin(), token.end(), isSeparator);
    QStringView prefix = token.first(separator - token.begin());
    if (prefix == u"id")
        return true;
    if (separator == token.end() || std::any_of(separator + 1, token.end(), isSeparator))
        return false;
    // A prefix may join the names of objects, as a batch of messages is
    // msgbatch_: each part is read as the longest name it starts with, and
    // a joined name is no shorter than three letters (py and pi do not
    // make pypi-).
    const auto longestObjectStarting = [](QStringView rest, qsizetype shortest) {
        qsizetype longest = 0;
        for (std::u16string_view object : objectPrefixes) {
            const qsizetype length = qsizetype(object.size());
            if (length > longest && length >= shortest && rest.startsWith(QStringView(object.data(), length)))
                longest = length;
        }
        return longest;
    };
    if (longestObjectStarting(prefix, 0) == prefix.size())
        return true;
    constexpr qsizetype shortestJoined = 3;
    const qsizetype first = longestObjectStarting(prefix, shortestJoined);
    return first > 0 && longestObjectStarting(prefix.sliced(first), shortestJoined) == prefix.size() - first;
}

double entropy(QStringView text)
{
    std::array<int, 128> counts{};
    int counted = 0;
    for (QChar c : text) {
        if (c.unicode() < counts.size()) {
            ++counts[c.unicode()];
            ++counted;
        }
    }
    double bits = 0;
    for (int count : counts) {
        if (count > 0) {
            const double p = double(count) / counted;
            bits -= p * std::log2(p);
        }
    }
    return bits;
}

bool failsItsChecksum(QStringView value)
{
    // The checksummed rows as one set, to find in one pass the row a value may be of.
    struct Checksummed
    {
        RE2::Set set{RE2::Options(), RE2::ANCHOR_BOTH};
        std::vector<std::unique_ptr<RE2>> rows;
        bool compiled = false;
    };
    static const Checksummed checksummed = [] {
        Checksummed compiled;
        for (const SecretRule &rule : table) {
            if (rule.looksReal == hasBase62Checksum) {
                compiled.set.Add(rule.pattern, nullptr);
                compiled.rows.push_back(std::make_unique<RE2>(std::string(rule.pattern)));
            }
        }
        compiled.compiled = compiled.set.Compile();
        return compiled;
    }();
    constexpr qsizetype maxChecksummed = 128;
    if (value.size() > maxChecksummed || !checksummed.compiled)
        return false;
    const std::string ascii = value.toLatin1().toStdString();
    std::vector<int> rows;
    if (!checksummed.set.Match(ascii, &rows))
        return false;
    std::string random;
    return std::any_of(rows.begin(), rows.end(), [&](int row) {
        return RE2::FullMatch(ascii, *checksummed.rows[size_t(row)], &random) && !hasBase62Checksum(QString::fromLatin1(random));
    });
}

bool passes(const SecretRule &rule, QStringView match, QStringView random)
{
    // An object's id is told by its prefix alone, before its body is read.
    if (isAnyIssuer(rule) && namesAnObject(match))
        return false;
    return entropy(random) >= rule.minEntropy && rule.looksReal(random) && !isDocumentedExample(match)
        && !holdsFake(match, rule.fakes) && !(isAnyIssuer(rule) && failsItsChecksum(match));
}

} // namespace tamo::secretrules
