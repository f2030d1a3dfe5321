#include "app/SecretTokens.h"

#include "app/SecretText.h"

#include <array>
#include <bitset>
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

constexpr quint16 Base36Lower = Lower | Digit;

constexpr TokenFormat formats[] = {
    // ---- Source hosting and CI ----
    // GitHub: classic personal, OAuth, user-to-server, server-to-server and
    // refresh tokens; fine-grained tokens are 22 characters, '_', 59 characters.
    {u"ghp_", Base62, 36, 36, hasBase62Checksum},
    {u"gho_", Base62, 36, 36, hasBase62Checksum},
    {u"ghu_", Base62, 36, 36, hasBase62Checksum},
    {u"ghs_", Base62, 36, 36, hasBase62Checksum},
    {u"ghr_", Base62, 36, 36, hasBase62Checksum},
    {u"github_pat_", Word, 82, 82, isMixedCaseRandom, u'_', 22},
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
    {u"_gitlab_session=", Base36Lower, 32, 32, isRandomLowerDigits},
    // Atlassian API tokens, Bitbucket app passwords.
    {u"ATATT3", TokenChar | Equals, 100, anyLength, isMixedCaseRandom},
    {u"ATBB", Base62, 32, 32, isMixedCaseRandom},
    // CircleCI personal tokens: 22 characters, '_', 40 hex; Buildkite;
    // Harness personal and service-account tokens; SonarQube user, project
    // and analysis tokens; Sourcegraph; Octopus Deploy; JFrog Artifactory
    // API keys and reference tokens.
    {u"CCIPAT_", Word, 63, 63, isMixedCaseRandom, u'_', 22},
    {u"bkua_", Hex, 40, 40, isRandomHex},
    {u"pat.", TokenChar | Dot, 66, 70, isDottedTriple},
    {u"sat.", TokenChar | Dot, 66, 70, isDottedTriple},
    {u"squ_", Hex, 40, 40, isRandomHex},
    {u"sqp_", Hex, 40, 40, isRandomHex},
    {u"sqa_", Hex, 40, 40, isRandomHex},
    {u"sgp_", Hex | Underscore, 40, 57, isRandomHex},
    {u"API-", Upper | Digit, 26, 32, isRandomUpperDigits},
    {u"AKCp", Base62, 69, 69, isMixedCaseRandom},
    {u"cmVmd", Base62, 59, 59, isMixedCaseRandom},

    // ---- Package registries ----
    // npm, PyPI (macaroons whose first bytes name pypi.org or test.pypi.org),
    // RubyGems, NuGet, crates.io, Clojars.
    {u"npm_", Base62, 36, 36, hasBase62Checksum},
    {u"pypi-AgEIcHlwaS5vcmc", TokenChar, 50, anyLength, isVaried},
    {u"pypi-AgENdGVzdC5weXBpLm9yZw", TokenChar, 50, anyLength, isVaried},
    {u"rubygems_", Hex, 48, 48, isRandomHex},
    {u"oy2", Base36Lower, 43, 43, isRandomLowerDigits},
    {u"cio", Base62, 32, 32, isRandomBase62},
    {u"CLOJARS_", Base36Lower, 60, 60, isRandomLowerDigits},
    // Docker Hub personal and organisation tokens.
    {u"dckr_pat_", TokenChar, 27, 27, isMixedCaseRandom},
    {u"dckr_oat_", TokenChar, 27, 64, isMixedCaseRandom},

    // ---- Cloud platforms ----
    // AWS access key ids, long-term, temporary and other kinds; the MWS
    // auth token; Alibaba Cloud's key ids.
    {u"AKIA", Upper | Digit, 16, 16, isVaried},
    {u"ASIA", Upper | Digit, 16, 16, isVaried},
    {u"ABIA", Upper | Digit, 16, 16, isVaried},
    {u"ACCA", Upper | Digit, 16, 16, isVaried},
    {u"amzn.mws.", Hex | Dash, 36, 36, isUuid},
    {u"LTAI", Base62, 12, 20, isMixedCaseRandom},
    // Google API keys, OAuth client secrets, access and refresh tokens.
    {u"AIza", TokenChar, 35, 35, isMixedCaseRandom},
    {u"GOCSPX-", TokenChar, 28, 28, isMixedCaseRandom},
    {u"ya29.", TokenChar | Dot, 30, anyLength, isMixedCaseRandom},
    {u"1//0", TokenChar, 40, anyLength, isMixedCaseRandom},
    // Cloudflare origin CA keys: "v1.0-", 24 hex, '-', 146 hex.
    {u"v1.0-", Hex | Dash, 171, 171, isRandomHex, u'-', 24},
    // DigitalOcean personal, OAuth and refresh tokens.
    {u"dop_v1_", Hex, 64, 64, isRandomHex},
    {u"doo_v1_", Hex, 64, 64, isRandomHex},
    {u"dor_v1_", Hex, 64, 64, isRandomHex},
    // Yandex Cloud API keys and OAuth tokens.
    {u"AQVN", TokenChar, 35, 38, isRandomBase62},
    {u"y0_", TokenChar, 55, 60, isRandomBase62},
    {u"y1_", TokenChar, 55, 60, isRandomBase62},
    {u"y2_", TokenChar, 55, 60, isRandomBase62},
    {u"y3_", TokenChar, 55, 60, isRandomBase62},
    // OpenShift user tokens.
    {u"sha256~", TokenChar, 43, 43, isMixedCaseRandom},
    // Heroku, Fly.io (tokens and macaroons), Render, Deno Deploy, Netlify, Scalingo.
    {u"HRKU-", TokenChar, 40, anyLength, isMixedCaseRandom},
    {u"fo1_", TokenChar, 43, 43, isMixedCaseRandom},
    {u"fm1a_", Base64 | Equals, 100, anyLength, isMixedCaseRandom},
    {u"fm1r_", Base64 | Equals, 100, anyLength, isMixedCaseRandom},
    {u"fm2_", Base64 | Equals, 100, anyLength, isMixedCaseRandom},
    {u"rnd_", Base62, 32, 32, isRandomBase62},
    {u"ddp_", Base62, 36, 36, isRandomBase62},
    {u"ddw_", Base62, 36, 36, isRandomBase62},
    {u"nfp_", Word, 36, 36, isMixedCaseRandom},
    {u"tk-us-", TokenChar, 48, 48, isRandomBase62},
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
    // Pulumi, Infracost, Tailscale, 1Password service accounts and
    // account secret keys, Defined Networking.
    {u"pul-", Hex, 40, 40, isRandomHex},
    {u"ico-", Base62, 32, 32, isRandomBase62},
    {u"tskey-auth-", TokenChar, 20, anyLength, isMixedCaseRandom},
    {u"tskey-api-", TokenChar, 20, anyLength, isMixedCaseRandom},
    {u"tskey-client-", TokenChar, 20, anyLength, isMixedCaseRandom},
    {u"ops_eyJ", TokenChar | Equals, 100, anyLength, isMixedCaseRandom},
    {u"A3-", Upper | Digit | Dash, 36, 37, isOnePasswordSecretKey},
    {u"dnkey-", TokenChar, 70, 90, isMixedCaseRandom},

    // ---- Databases and data platforms ----
    // Supabase management and secret keys, PlanetScale, Neon, ClickHouse
    // Cloud, Airtable personal tokens.
    {u"sbp_", Hex, 40, 40, isRandomHex},
    {u"sb_secret_", TokenChar, 20, 80, isMixedCaseRandom},
    {u"pscale_tkn_", TokenChar | Dot, 32, anyLength, isMixedCaseRandom},
    {u"pscale_pw_", TokenChar | Dot, 32, anyLength, isMixedCaseRandom},
    {u"pscale_oauth_", TokenChar | Dot, 32, anyLength, isMixedCaseRandom},
    {u"napi_", Base36Lower, 64, 64, isRandomLowerDigits},
    {u"4b1d", Base62, 38, 38, isRandomBase62},
    {u"pat", Base62 | Dot, 79, 79, isMixedCaseRandom, u'.', 14},

    // ---- AI services ----
    // OpenAI (sk-, sk-proj-, sk-svcacct-, sk-admin-), Anthropic (sk-ant-),
    // DeepSeek (32 hex), OpenRouter, Langfuse secret keys.
    {u"sk-", TokenChar, 40, anyLength, isMixedCaseRandom},
    {u"sk-", Hex, 32, 32, isRandomHex},
    {u"sk-or-v1-", Hex, 64, 64, isRandomHex},
    {u"sk-lf-", Hex | Dash, 36, 36, isUuid},
    // Hugging Face user and organisation tokens, Groq, Replicate,
    // Perplexity, xAI, NVIDIA, LangSmith, Pinecone, Fireworks, ElevenLabs,
    // Cerebras, Voyage.
    {u"hf_", Letter, 34, 34, isMixedCaseRandom},
    {u"api_org_", Letter, 34, 34, isMixedCaseRandom},
    {u"gsk_", Base62, 52, 52, isMixedCaseRandom},
    {u"r8_", Base62, 37, 37, isMixedCaseRandom},
    {u"pplx-", Base62, 48, 48, isMixedCaseRandom},
    {u"xai-", Base62, 80, 80, isMixedCaseRandom},
    {u"nvapi-", TokenChar, 64, 64, isMixedCaseRandom},
    {u"lsv2_pt_", Hex | Underscore, 43, 43, isRandomHex, u'_', 32},
    {u"lsv2_sk_", Hex | Underscore, 43, 43, isRandomHex, u'_', 32},
    {u"pcsk_", Word, 50, 100, isMixedCaseRandom},
    {u"fw_", Base62, 24, 24, isRandomBase62},
    {u"sk_", Hex, 48, 48, isRandomHex},
    {u"csk-", Base36Lower, 48, 48, isRandomLowerDigits},
    {u"pa-", TokenChar, 43, 43, isRandomBase62},

    // ---- Messaging and email ----
    // Slack bot, user, app, refresh, session, configuration and app-level tokens.
    {u"xoxb-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxp-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxa-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxr-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxs-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxo-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxe-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxe.xoxp-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xoxe.xoxb-", Base62 | Dash, 30, anyLength, isSlackRandom},
    {u"xapp-", Base62 | Dash, 40, anyLength, isSlackRandom},
    // SendGrid: "SG." 22 characters '.' 43 characters. Brevo API and SMTP
    // keys: 64 hex, '-', 16 characters. Mandrill; Twilio API key ids;
    // Mailgun keys.
    {u"SG.", TokenChar | Dot, 66, 66, isMixedCaseRandom, u'.', 22},
    {u"xkeysib-", Base62 | Dash, 81, 81, isVaried, u'-', 64},
    {u"xsmtpsib-", Base62 | Dash, 81, 81, isVaried, u'-', 64},
    {u"md-", TokenChar, 22, 22, isRandomBase62},
    {u"SK", Hex, 32, 32, isRandomHex},
    {u"key-", Hex, 32, 32, isRandomHex},
    // Facebook and Instagram access tokens.
    {u"EAA", Base62, 100, anyLength, isMixedCaseRandom},
    {u"IGQV", TokenChar, 100, anyLength, isMixedCaseRandom},
    // X (Twitter) app bearer tokens, URL-encoded; Firebase Cloud Messaging
    // server keys: 7 characters, ':', "APA91b" and 134 more.
    {u"AAAAAAAAAAAAAAAAAAAAA", Base62 | Percent, 50, anyLength, isMixedCaseRandom},
    {u"AAAA", TokenChar | Colon, 148, 148, isMixedCaseRandom, u':', 7},

    // ---- Payments and commerce ----
    // Stripe secret, restricted and webhook signing keys (pk_ keys are
    // public); the same prefixes carry Paystack's hex keys.
    {u"sk_live_", Base62, 20, anyLength, isRandomKey},
    {u"sk_test_", Base62, 20, anyLength, isRandomKey},
    {u"rk_live_", Base62, 20, anyLength, isRandomKey},
    {u"rk_test_", Base62, 20, anyLength, isRandomKey},
    {u"whsec_", Base62, 32, anyLength, isMixedCaseRandom},
    // Square, Braintree, Shippo, Duffel, EasyPost, Lob, Flutterwave, Plaid.
    {u"sq0atp-", TokenChar, 22, 22, isMixedCaseRandom},
    {u"sq0csp-", TokenChar, 43, 43, isMixedCaseRandom},
    {u"EAAA", TokenChar, 60, 60, isMixedCaseRandom},
    {u"access_token$production$", Base62 | Dollar, 49, 49, isVaried, u'$', 16},
    {u"access_token$sandbox$", Base62 | Dollar, 49, 49, isVaried, u'$', 16},
    {u"shippo_live_", Hex, 40, 40, isRandomHex},
    {u"shippo_test_", Hex, 40, 40, isRandomHex},
    {u"duffel_live_", TokenChar, 43, 43, isMixedCaseRandom},
    {u"duffel_test_", TokenChar, 43, 43, isMixedCaseRandom},
    {u"EZAK", Base62, 54, 54, isMixedCaseRandom},
    {u"EZTK", Base62, 54, 54, isMixedCaseRandom},
    {u"live_", Hex, 35, 35, isRandomHex},
    {u"test_", Hex, 35, 35, isRandomHex},
    {u"FLWSECK-", Base62 | Dash, 34, 34, isVaried, u'-', 32},
    {u"FLWSECK_TEST-", Base62 | Dash, 34, 34, isVaried, u'-', 32},
    {u"FLWSECK_TEST", Hex, 12, 12, isRandomHex},
    {u"FLWSECK_TEST-", Hex, 12, 12, isRandomHex},
    {u"access-sandbox-", Hex | Dash, 36, 36, isUuid},
    {u"access-development-", Hex | Dash, 36, 36, isUuid},
    {u"access-production-", Hex | Dash, 36, 36, isUuid},
    // Shopify admin, custom app, private app and shared secrets.
    {u"shpat_", Hex, 32, 32, isRandomHex},
    {u"shpca_", Hex, 32, 32, isRandomHex},
    {u"shppa_", Hex, 32, 32, isRandomHex},
    {u"shpss_", Hex, 32, 32, isRandomHex},

    // ---- Monitoring and observability ----
    // Grafana service-account tokens (32 characters, '_', 8 hex), Cloud
    // tokens and API keys (base64 JSON).
    {u"glsa_", Word, 41, 41, isMixedCaseRandom, u'_', 32},
    {u"glc_", Base64 | Equals, 32, anyLength, isMixedCaseRandom},
    {u"eyJrIjoi", Base64 | Equals, 50, anyLength, isVaried},
    // JSON Web Tokens encoded once more in base64, as some configurations keep them.
    {u"ZXlK", Base64 | Equals, 60, anyLength, isMixedCaseRandom},
    // New Relic user keys, Insights insert and query keys, browser keys.
    {u"NRAK-", Upper | Digit, 27, 27, isVaried},
    {u"NRII-", TokenChar, 32, 32, isVaried},
    {u"NRIQ-", TokenChar, 32, 32, isVaried},
    {u"NRJS-", Hex, 19, 19, isRandomHex},
    // Sentry organisation and user auth tokens; Dynatrace; PostHog
    // personal keys (phc_ keys are public).
    {u"sntrys_", Base64 | Word | Equals, 60, anyLength, isMixedCaseRandom},
    {u"sntryu_", Hex, 64, 64, isRandomHex},
    {u"dt0c01.", Upper | Digit | Dot, 89, 89, isVaried, u'.', 24},
    {u"phx_", Base62, 40, 50, isRandomBase62},

    // ---- Productivity and developer tools ----
    // Linear API keys and OAuth tokens; Postman: 24 hex, '-', 34 hex.
    {u"lin_api_", Base62, 40, 40, isMixedCaseRandom},
    {u"lin_oauth_", Hex, 64, 64, isRandomHex},
    {u"PMAK-", Hex | Dash, 59, 59, isRandomHex, u'-', 24},
    // Figma, Prefect, Contentful, Notion, HubSpot private apps, Typeform,
    // ReadMe, Frame.io, SettleMint, Adobe client secrets, ClickUp, 42.
    {u"figd_", TokenChar, 40, anyLength, isMixedCaseRandom},
    {u"pnu_", Base62, 36, 36, isMixedCaseRandom},
    {u"CFPAT-", TokenChar, 43, 43, isMixedCaseRandom},
    {u"secret_", Base62, 43, 43, isMixedCaseRandom},
    {u"ntn_", Base62, 46, 46, isMixedCaseRandom},
    {u"pat-na1-", Hex | Dash, 36, 36, isUuid},
    {u"pat-eu1-", Hex | Dash, 36, 36, isUuid},
    {u"tfp_", TokenChar | Dot | Equals, 59, 59, isMixedCaseRandom},
    {u"rdme_", Base36Lower, 70, 70, isRandomLowerDigits},
    {u"fio-u-", TokenChar | Equals, 64, 64, isMixedCaseRandom},
    {u"sm_pat_", Base62, 16, 16, isRandomBase62},
    {u"sm_aat_", Base62, 16, 16, isRandomBase62},
    {u"sm_sat_", Base62, 16, 16, isRandomBase62},
    {u"p8e-", Base62, 32, 32, isRandomKey},
    {u"pk_", Upper | Digit | Underscore, 39, 43, isClickUpBody},
    {u"s-s4t2ud-", Hex, 64, 64, isRandomHex},
    {u"s-s4t2af-", Hex, 64, 64, isRandomHex},
    // Dropbox short-lived tokens; Mapbox secret tokens (pk. tokens are public).
    {u"sl.", TokenChar | Dot, 130, anyLength, isMixedCaseRandom},
    {u"sk.eyJ", TokenChar | Dot, 80, anyLength, isMixedCaseRandom},

    // ---- Encryption keys ----
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
    return format.looksReal(body) && !isDocumentedExample(body);
}

// The formats by the first character of their prefix, and which second
// characters follow it: most words the scan stops at fail on those two.
struct FormatIndex
{
    std::array<std::vector<const TokenFormat *>, 128> byFirstChar;
    std::array<std::bitset<128>, 128> secondChars;
};

const FormatIndex &formatIndex()
{
    static const FormatIndex index = [] {
        FormatIndex built;
        for (const TokenFormat &format : formats) {
            built.byFirstChar[format.prefix[0]].push_back(&format);
            built.secondChars[format.prefix[0]].set(format.prefix[1]);
        }
        return built;
    }();
    return index;
}

const std::vector<const TokenFormat *> &candidatesFor(QStringView rest)
{
    static const std::vector<const TokenFormat *> none;
    const FormatIndex &index = formatIndex();
    if (rest.size() < 2 || rest[0].unicode() >= 128 || rest[1].unicode() >= 128
        || !index.secondChars[rest[0].unicode()].test(rest[1].unicode()))
        return none;
    return index.byFirstChar[rest[0].unicode()];
}

} // namespace

bool failsItsChecksum(QStringView rest)
{
    const auto &candidates = candidatesFor(rest);
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
    return c.unicode() < 128 && !formatIndex().byFirstChar[c.unicode()].empty();
}

bool startsWithToken(QStringView rest)
{
    const auto &candidates = candidatesFor(rest);
    return std::any_of(candidates.begin(), candidates.end(),
                       [rest](const TokenFormat *format) { return matches(*format, rest); });
}

} // namespace tamo::secrettokens
