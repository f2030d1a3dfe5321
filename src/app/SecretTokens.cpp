#include "app/SecretTokens.h"

#include "app/SecretText.h"

#include <array>
#include <vector>

namespace tamo::secrettokens {

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

// A fixed prefix, then a random body: the run of `alphabet` characters after
// the prefix, which must end where the token ends. Some bodies are two parts
// joined by one `joint` character at `jointAt`.
struct TokenFormat
{
    std::u16string_view prefix;
    quint16 alphabet;
    qsizetype minLength;
    qsizetype maxLength;
    bool (*looksReal)(QStringView body);
    char16_t joint = 0;
    qsizetype jointAt = 0;
};

constexpr TokenFormat formats[] = {
    // GitHub: classic personal, OAuth, user-to-server, server-to-server and
    // refresh tokens; fine-grained tokens are 22 characters, '_', 59 characters.
    {u"ghp_", Base62, 36, 36, hasBase62Checksum},
    {u"gho_", Base62, 36, 36, hasBase62Checksum},
    {u"ghu_", Base62, 36, 36, hasBase62Checksum},
    {u"ghs_", Base62, 36, 36, hasBase62Checksum},
    {u"ghr_", Base62, 36, 36, hasBase62Checksum},
    {u"github_pat_", Word, 82, 82, isMixedCaseRandom, u'_', 22},
    {u"npm_", Base62, 36, 36, hasBase62Checksum},
    // GitLab: personal, OAuth application, deploy, runner, CI/CD job, trigger,
    // feed, incoming mail, agent, SCIM and feature-flag tokens. Newer tokens
    // carry dotted routing parts.
    {u"glpat-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"gloas-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"gldt-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glrt-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glrtr-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glcbt-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glptt-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glft-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glimt-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glagent-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glsoat-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"glffct-", TokenChar | Dot, 20, 300, isMixedCaseRandom},
    {u"GR1348941", TokenChar, 20, 20, isMixedCaseRandom},
    // AWS access key ids, long-term and temporary; Alibaba Cloud's.
    {u"AKIA", Upper | Digit, 16, 16, isVaried},
    {u"ASIA", Upper | Digit, 16, 16, isVaried},
    {u"LTAI", Base62, 12, 20, isMixedCaseRandom},
    // Google API keys, OAuth client secrets and access tokens.
    {u"AIza", TokenChar, 35, 35, isMixedCaseRandom},
    {u"GOCSPX-", TokenChar, 28, 28, isMixedCaseRandom},
    {u"ya29.", TokenChar | Dot, 30, anyLength, isMixedCaseRandom},
    // OpenAI (sk-, sk-proj-, sk-svcacct-, sk-admin-) and Anthropic (sk-ant-).
    {u"sk-", TokenChar, 40, anyLength, isMixedCaseRandom},
    // Stripe secret, restricted and webhook signing keys; pk_ keys are public.
    {u"sk_live_", Base62, 20, anyLength, isMixedCaseRandom},
    {u"sk_test_", Base62, 20, anyLength, isMixedCaseRandom},
    {u"rk_live_", Base62, 20, anyLength, isMixedCaseRandom},
    {u"rk_test_", Base62, 20, anyLength, isMixedCaseRandom},
    {u"whsec_", Base62, 32, anyLength, isMixedCaseRandom},
    // Slack bot, user, app, refresh, session and app-level tokens.
    {u"xoxb-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxp-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxa-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxr-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxs-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxe-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxe.xoxp-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xapp-", Base62 | Dash, 40, anyLength, isSlackRandom},
    // Python and npm registries. PyPI tokens are macaroons whose first bytes
    // name pypi.org or test.pypi.org.
    {u"pypi-AgEIcHlwaS5vcmc", TokenChar, 50, anyLength, isVaried},
    {u"pypi-AgENdGVzdC5weXBpLm9yZw", TokenChar, 50, anyLength, isVaried},
    {u"rubygems_", Hex, 48, 48, isRandomHex},
    // AI services: Hugging Face user and organisation tokens, Groq,
    // Replicate, Perplexity, xAI.
    {u"hf_", Letter, 34, 34, isMixedCaseRandom},
    {u"api_org_", Letter, 34, 34, isMixedCaseRandom},
    {u"gsk_", Base62, 52, 52, isMixedCaseRandom},
    {u"r8_", Base62, 37, 37, isMixedCaseRandom},
    {u"pplx-", Base62, 48, 48, isMixedCaseRandom},
    {u"xai-", Base62, 80, 80, isMixedCaseRandom},
    // SendGrid: "SG." 22 characters '.' 43 characters.
    {u"SG.", TokenChar | Dot, 66, 66, isMixedCaseRandom, u'.', 22},
    // Twilio API key ids; Mailgun keys.
    {u"SK", Hex, 32, 32, isRandomHex},
    {u"key-", Hex, 32, 32, isRandomHex},
    // Shopify admin, custom app, private app and shared secrets.
    {u"shpat_", Hex, 32, 32, isRandomHex},
    {u"shpca_", Hex, 32, 32, isRandomHex},
    {u"shppa_", Hex, 32, 32, isRandomHex},
    {u"shpss_", Hex, 32, 32, isRandomHex},
    // DigitalOcean personal, OAuth and refresh tokens.
    {u"dop_v1_", Hex, 64, 64, isRandomHex},
    {u"doo_v1_", Hex, 64, 64, isRandomHex},
    {u"dor_v1_", Hex, 64, 64, isRandomHex},
    // Databricks, with an optional "-2" style suffix.
    {u"dapi", Hex | Dash, 32, 34, isRandomHex},
    // HashiCorp Vault service, batch and recovery tokens; Terraform Cloud.
    {u"hvs.", TokenChar, 24, anyLength, isMixedCaseRandom},
    {u"hvb.", TokenChar, 24, anyLength, isMixedCaseRandom},
    {u"hvr.", TokenChar, 24, anyLength, isMixedCaseRandom},
    {u"atlasv1.", TokenChar, 60, anyLength, isMixedCaseRandom},
    // Doppler personal, service, CLI, service-account, SCIM and audit tokens.
    {u"dp.pt.", TokenChar | Dot, 40, anyLength, isMixedCaseRandom},
    {u"dp.st.", TokenChar | Dot, 40, anyLength, isMixedCaseRandom},
    {u"dp.ct.", TokenChar | Dot, 40, anyLength, isMixedCaseRandom},
    {u"dp.sa.", TokenChar | Dot, 40, anyLength, isMixedCaseRandom},
    {u"dp.scim.", TokenChar | Dot, 40, anyLength, isMixedCaseRandom},
    {u"dp.audit.", TokenChar | Dot, 40, anyLength, isMixedCaseRandom},
    // Linear API keys and OAuth tokens; Postman: 24 hex, '-', 34 hex.
    {u"lin_api_", Base62, 40, 40, isMixedCaseRandom},
    {u"lin_oauth_", Hex, 64, 64, isRandomHex},
    {u"PMAK-", Hex | Dash, 59, 59, isRandomHex, u'-', 24},
    // Grafana service-account tokens (32 characters, '_', 8 hex), Cloud
    // tokens and API keys (base64 JSON).
    {u"glsa_", Word, 41, 41, isMixedCaseRandom, u'_', 32},
    {u"glc_", Base64 | Equals, 32, anyLength, isMixedCaseRandom},
    {u"eyJrIjoi", Base64 | Equals, 50, anyLength, isVaried},
    // New Relic user keys and Insights insert and query keys.
    {u"NRAK-", Upper | Digit, 27, 27, isVaried},
    {u"NRII-", TokenChar, 32, 32, isVaried},
    {u"NRIQ-", TokenChar, 32, 32, isVaried},
    // Sentry organisation and user auth tokens.
    {u"sntrys_", Base64 | Word | Equals, 60, anyLength, isMixedCaseRandom},
    {u"sntryu_", Hex, 64, 64, isRandomHex},
    // Atlassian API tokens, Bitbucket app passwords.
    {u"ATATT3", TokenChar | Equals, 100, anyLength, isMixedCaseRandom},
    {u"ATBB", Base62, 32, 32, isMixedCaseRandom},
    // Developer platforms: Docker Hub, Supabase, PlanetScale, Pulumi,
    // Figma, Netlify, Fly.io, Heroku, Buildkite, Sourcegraph, Prefect,
    // Contentful, Dynatrace, Airtable, Notion, Tailscale.
    {u"dckr_pat_", TokenChar, 27, 27, isMixedCaseRandom},
    {u"sbp_", Hex, 40, 40, isRandomHex},
    {u"pscale_tkn_", TokenChar | Dot, 32, anyLength, isMixedCaseRandom},
    {u"pscale_pw_", TokenChar | Dot, 32, anyLength, isMixedCaseRandom},
    {u"pscale_oauth_", TokenChar | Dot, 32, anyLength, isMixedCaseRandom},
    {u"pul-", Hex, 40, 40, isRandomHex},
    {u"figd_", TokenChar, 40, anyLength, isMixedCaseRandom},
    {u"nfp_", Word, 36, 36, isMixedCaseRandom},
    {u"fo1_", TokenChar, 43, 43, isMixedCaseRandom},
    {u"HRKU-", TokenChar, 40, anyLength, isMixedCaseRandom},
    {u"bkua_", Hex, 40, 40, isRandomHex},
    {u"sgp_", Hex | Underscore, 40, 57, isRandomHex},
    {u"pnu_", Base62, 36, 36, isMixedCaseRandom},
    {u"CFPAT-", TokenChar, 43, 43, isMixedCaseRandom},
    {u"dt0c01.", Upper | Digit | Dot, 89, 89, isVaried, u'.', 24},
    {u"pat", Base62 | Dot, 79, 79, isMixedCaseRandom, u'.', 14},
    {u"secret_", Base62, 43, 43, isMixedCaseRandom},
    {u"ntn_", Base62, 46, 46, isMixedCaseRandom},
    {u"tskey-auth-", TokenChar, 20, anyLength, isMixedCaseRandom},
    {u"tskey-api-", TokenChar, 20, anyLength, isMixedCaseRandom},
    {u"tskey-client-", TokenChar, 20, anyLength, isMixedCaseRandom},
    // 1Password service accounts, Mapbox secret tokens (pk. tokens are public).
    {u"ops_eyJ", TokenChar | Equals, 100, anyLength, isMixedCaseRandom},
    {u"sk.eyJ", TokenChar | Dot, 80, anyLength, isMixedCaseRandom},
    // Payments: Square, Braintree, Shippo.
    {u"sq0atp-", TokenChar, 22, 22, isMixedCaseRandom},
    {u"sq0csp-", TokenChar, 43, 43, isMixedCaseRandom},
    {u"access_token$production$", Base62 | Dollar, 49, 49, isVaried, u'$', 16},
    {u"access_token$sandbox$", Base62 | Dollar, 49, 49, isVaried, u'$', 16},
    {u"shippo_live_", Hex, 40, 40, isRandomHex},
    // X (Twitter) app bearer tokens, URL-encoded; Firebase Cloud Messaging
    // server keys: 7 characters, ':', "APA91b" and 134 more.
    {u"AAAAAAAAAAAAAAAAAAAAA", Base62 | Percent, 50, anyLength, isMixedCaseRandom},
    {u"AAAA", TokenChar | Colon, 148, 148, isMixedCaseRandom, u':', 7},
    // age encryption secret keys.
    {u"AGE-SECRET-KEY-1", Upper | Digit, 58, 58, isVaried},
};

bool matches(const TokenFormat &format, QStringView rest)
{
    Reader reader(rest);
    if (!reader.skip(format.prefix))
        return false;
    const QStringView body = reader.take(format.alphabet, format.maxLength + 1);
    if (body.size() < format.minLength || body.size() > format.maxLength || !reader.atTokenEnd())
        return false;
    if (format.joint && (body[format.jointAt] != format.joint || body.count(format.joint) != 1))
        return false;
    return format.looksReal(body);
}

// The formats by the first character of their prefix.
using FormatIndex = std::array<std::vector<const TokenFormat *>, 128>;

const FormatIndex &formatsByFirstChar()
{
    static const FormatIndex index = [] {
        FormatIndex byChar;
        for (const TokenFormat &format : formats)
            byChar[format.prefix.front()].push_back(&format);
        return byChar;
    }();
    return index;
}

} // namespace

bool failsItsChecksum(QStringView rest)
{
    if (rest.isEmpty() || rest.front().unicode() >= 128)
        return false;
    const auto &candidates = formatsByFirstChar()[rest.front().unicode()];
    return std::any_of(candidates.begin(), candidates.end(), [rest](const TokenFormat *format) {
        if (format->looksReal != hasBase62Checksum)
            return false;
        Reader reader(rest);
        return reader.skip(format->prefix) && reader.take(format->alphabet).size() == format->maxLength
            && !matches(*format, rest);
    });
}

bool mayStartToken(QChar c)
{
    return c.unicode() < 128 && !formatsByFirstChar()[c.unicode()].empty();
}

bool startsWithToken(QStringView rest)
{
    const auto &candidates = formatsByFirstChar()[rest.front().unicode()];
    return std::any_of(candidates.begin(), candidates.end(),
                       [rest](const TokenFormat *format) { return matches(*format, rest); });
}

} // namespace tamo::secrettokens
