#include "secrets/SecretRules.h"
#include "support/TokenChecksum.h"

#include <QString>
#include <gtest/gtest.h>
#include <re2/re2.h>

#include <algorithm>
#include <cstring>
#include <random>

using namespace tamo;

// The shortest and longest token of every format of a fixed length, or a
// bounded one, as its issuer documents it: a row whose bounds drift lets
// real tokens of that length through. The bodies are random fakes.

namespace {

enum class Body { base62, hex, lower, upper, letters, base64, base64url, checksummed };

struct TokenFormat
{
    const char *row;
    const char *prefix;
    Body body;
    int shortest;
    int longest;
    const char *separator = ""; // and a second part of a fixed length, where the format has one
    int secondLength = 0;
};

const TokenFormat formats[] = {
    {"github-github-pat", "github_pat_", Body::base62, 22, 22, "_", 59},
    {"circleci-ccipat", "CCIPAT_", Body::base62, 22, 22, "_", 40},
    {"langsmith-lsv2-pt", "lsv2_pt_", Body::hex, 32, 32, "_", 10},
    {"langsmith-lsv2-sk", "lsv2_sk_", Body::hex, 32, 32, "_", 10},
    {"grafana-glsa", "glsa_", Body::base62, 32, 32, "_", 8},
    {"sendgrid-sg", "SG.", Body::base64url, 22, 22, ".", 43},
    {"brevo-xkeysib", "xkeysib-", Body::base62, 64, 64, "-", 16},
    {"brevo-xsmtpsib", "xsmtpsib-", Body::base62, 64, 64, "-", 16},
    {"postman-pmak", "PMAK-", Body::hex, 24, 24, "-", 34},
    {"dynatrace-dt0c01", "dt0c01.", Body::upper, 24, 24, ".", 64},
    {"akamai-edgegrid-token", "akab-", Body::lower, 16, 16, "-", 16},
    {"airtable-pat", "pat", Body::base62, 14, 14, ".", 64},
    {"github-ghp", "ghp_", Body::checksummed, 36, 36},
    {"github-gho", "gho_", Body::checksummed, 36, 36},
    {"github-ghu", "ghu_", Body::checksummed, 36, 36},
    {"github-ghs", "ghs_", Body::checksummed, 36, 36},
    {"github-ghr", "ghr_", Body::checksummed, 36, 36},
    {"gitlab-gr1348941", "GR1348941", Body::base64url, 20, 20},
    {"gitlab-gitlab-session", "_gitlab_session=", Body::lower, 32, 32},
    {"bitbucket-atbb", "ATBB", Body::base62, 32, 32},
    {"buildkite-bkua", "bkua_", Body::hex, 40, 40},
    {"sonarqube-squ", "squ_", Body::hex, 40, 40},
    {"sonarqube-sqp", "sqp_", Body::hex, 40, 40},
    {"sonarqube-sqa", "sqa_", Body::hex, 40, 40},
    {"octopus-deploy-api", "API-", Body::upper, 26, 32},
    {"jfrog-akcp", "AKCp", Body::base62, 69, 69},
    {"jfrog-cmvmd", "cmVmd", Body::base62, 59, 59},
    {"npm-npm", "npm_", Body::checksummed, 36, 36},
    {"rubygems-rubygems", "rubygems_", Body::hex, 48, 48},
    {"nuget-oy2", "oy2", Body::lower, 43, 43},
    {"cratesio-cio", "cio", Body::base62, 32, 32},
    {"clojars-clojars", "CLOJARS_", Body::lower, 60, 60},
    {"docker-hub-dckr-pat", "dckr_pat_", Body::base64url, 27, 27},
    {"docker-hub-dckr-oat", "dckr_oat_", Body::base64url, 27, 64},
    {"aws-akia", "AKIA", Body::upper, 16, 16},
    {"aws-asia", "ASIA", Body::upper, 16, 16},
    {"aws-abia", "ABIA", Body::upper, 16, 16},
    {"aws-acca", "ACCA", Body::upper, 16, 16},
    {"alibaba-cloud-ltai", "LTAI", Body::base62, 12, 20},
    {"google-aiza", "AIza", Body::base64url, 35, 35},
    {"google-gocspx", "GOCSPX-", Body::base64url, 28, 28},
    {"digitalocean-dop-v1", "dop_v1_", Body::hex, 64, 64},
    {"digitalocean-doo-v1", "doo_v1_", Body::hex, 64, 64},
    {"digitalocean-dor-v1", "dor_v1_", Body::hex, 64, 64},
    {"yandex-cloud-aqvn", "AQVN", Body::base64url, 35, 38},
    {"yandex-cloud-y0", "y0_", Body::base64url, 55, 60},
    {"yandex-cloud-y1", "y1_", Body::base64url, 55, 60},
    {"yandex-cloud-y2", "y2_", Body::base64url, 55, 60},
    {"yandex-cloud-y3", "y3_", Body::base64url, 55, 60},
    {"openshift-sha256", "sha256~", Body::base64url, 43, 43},
    {"flyio-fo1", "fo1_", Body::base64url, 43, 43},
    {"render-rnd", "rnd_", Body::base62, 32, 32},
    {"deno-deploy-ddp", "ddp_", Body::base62, 36, 36},
    {"deno-deploy-ddw", "ddw_", Body::base62, 36, 36},
    {"scalingo-tk-us", "tk-us-", Body::base64url, 48, 48},
    {"pulumi-pul", "pul-", Body::hex, 40, 40},
    {"infracost-ico", "ico-", Body::base62, 32, 32},
    {"defined-networking-dnkey", "dnkey-", Body::base64url, 70, 90},
    {"supabase-sbp", "sbp_", Body::hex, 40, 40},
    {"supabase-sb-secret", "sb_secret_", Body::base64url, 20, 80},
    {"neon-napi", "napi_", Body::lower, 64, 64},
    {"clickhouse-cloud-4b1d", "4b1d", Body::base62, 38, 38},
    {"openai-sk-2", "sk-", Body::hex, 32, 32},
    {"openrouter-sk-or-v1", "sk-or-v1-", Body::hex, 64, 64},
    {"hugging-face-hf", "hf_", Body::letters, 34, 34},
    {"hugging-face-api-org", "api_org_", Body::letters, 34, 34},
    {"groq-gsk", "gsk_", Body::base62, 52, 52},
    {"replicate-r8", "r8_", Body::base62, 37, 37},
    {"perplexity-pplx", "pplx-", Body::base62, 48, 48},
    {"xai-xai", "xai-", Body::base62, 80, 80},
    {"nvidia-nvapi", "nvapi-", Body::base64url, 64, 64},
    {"fireworks-fw", "fw_", Body::base62, 24, 24},
    {"elevenlabs-sk", "sk_", Body::hex, 48, 48},
    {"cerebras-csk", "csk-", Body::lower, 48, 48},
    {"voyage-ai-pa", "pa-", Body::base64url, 43, 43},
    {"mandrill-md", "md-", Body::base64url, 22, 22},
    {"twilio-sk", "SK", Body::hex, 32, 32},
    {"mailgun-key", "key-", Body::hex, 32, 32},
    {"square-sq0atp", "sq0atp-", Body::base64url, 22, 22},
    {"square-sq0csp", "sq0csp-", Body::base64url, 43, 43},
    {"square-eaaa", "EAAA", Body::base64url, 60, 60},
    {"shippo-shippo-live", "shippo_live_", Body::hex, 40, 40},
    {"shippo-shippo-test", "shippo_test_", Body::hex, 40, 40},
    {"duffel-duffel-live", "duffel_live_", Body::base64url, 43, 43},
    {"duffel-duffel-test", "duffel_test_", Body::base64url, 43, 43},
    {"easypost-ezak", "EZAK", Body::base62, 54, 54},
    {"easypost-eztk", "EZTK", Body::base62, 54, 54},
    {"lob-live", "live_", Body::hex, 35, 35},
    {"lob-test", "test_", Body::hex, 35, 35},
    {"flutterwave-flwseck-test-2", "FLWSECK_TEST", Body::hex, 12, 12},
    {"flutterwave-flwseck-test-3", "FLWSECK_TEST-", Body::hex, 12, 12},
    {"shopify-shpat", "shpat_", Body::hex, 32, 32},
    {"shopify-shpca", "shpca_", Body::hex, 32, 32},
    {"shopify-shppa", "shppa_", Body::hex, 32, 32},
    {"shopify-shpss", "shpss_", Body::hex, 32, 32},
    {"new-relic-nrak", "NRAK-", Body::upper, 27, 27},
    {"new-relic-nrii", "NRII-", Body::base64url, 32, 32},
    {"new-relic-nriq", "NRIQ-", Body::base64url, 32, 32},
    {"new-relic-nrjs", "NRJS-", Body::hex, 19, 19},
    {"sentry-sntryu", "sntryu_", Body::hex, 64, 64},
    {"posthog-phx", "phx_", Body::base62, 40, 50},
    {"linear-lin-api", "lin_api_", Body::base62, 40, 40},
    {"linear-lin-oauth", "lin_oauth_", Body::hex, 64, 64},
    {"prefect-pnu", "pnu_", Body::base62, 36, 36},
    {"contentful-cfpat", "CFPAT-", Body::base64url, 43, 43},
    {"notion-secret", "secret_", Body::base62, 43, 43},
    {"notion-ntn", "ntn_", Body::base62, 46, 46},
    {"readme-rdme", "rdme_", Body::lower, 70, 70},
    {"frameio-fio-u", "fio-u-", Body::base64url, 64, 64},
    {"settlemint-sm-pat", "sm_pat_", Body::base62, 16, 16},
    {"settlemint-sm-aat", "sm_aat_", Body::base62, 16, 16},
    {"settlemint-sm-sat", "sm_sat_", Body::base62, 16, 16},
    {"adobe-p8e", "p8e-", Body::base62, 32, 32},
    {"42-s-s4t2ud", "s-s4t2ud-", Body::hex, 64, 64},
    {"42-s-s4t2af", "s-s4t2af-", Body::hex, 64, 64},
    {"age-age-secret-key-1", "AGE-SECRET-KEY-1", Body::upper, 58, 58},
    {"mattermost-webhook", "/hooks/", Body::lower, 26, 26},
    {"tencent-key-id", "AKID", Body::base62, 32, 32},
    {"digitalocean-spaces-key-id", "DO00", Body::upper, 16, 16},
    {"scaleway-key-id", "SCW", Body::upper, 17, 17},
    {"databricks-oauth-secret", "dose", Body::hex, 32, 32},
    {"together-key", "tgp_v1_", Body::base64url, 43, 43},
    {"firecrawl-key", "fc-", Body::hex, 32, 32},
    {"jina-key", "jina_", Body::base64url, 60, 60},
    {"llamacloud-key", "llx-", Body::base62, 48, 48},
    {"runpod-key", "rpa_", Body::upper, 40, 50},
    {"brave-search-key", "BSA", Body::base64url, 27, 28},
    {"browserbase-key", "bb_live_", Body::base64url, 27, 27},
    {"e2b-key", "e2b_", Body::hex, 40, 40},
    {"mem0-key", "m0-", Body::base62, 40, 40},
    {"apify-token", "apify_api_", Body::base62, 36, 36},
    {"mailersend-token", "mlsn.", Body::hex, 64, 64},
    {"aftership-key", "asat_", Body::base62, 32, 32},
    {"klaviyo-key", "pk_", Body::hex, 34, 34},
    {"ecwid-secret", "secret_", Body::base62, 32, 32},
    {"statsig-key", "secret-", Body::base62, 43, 43},
    {"flagsmith-key", "ser.", Body::base62, 22, 22},
    {"checkly-key", "cu_", Body::hex, 32, 32},
    {"new-relic-admin-key", "NRAA-", Body::base62, 27, 27},
};

QString randomBody(Body body, int length, std::mt19937 &random)
{
    const char *alphabet = "";
    switch (body) {
    case Body::base62: case Body::checksummed: alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"; break;
    case Body::hex: alphabet = "0123456789abcdef"; break;
    case Body::lower: alphabet = "0123456789abcdefghijklmnopqrstuvwxyz"; break;
    case Body::upper: alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"; break;
    case Body::letters: alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"; break;
    case Body::base64: alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"; break;
    case Body::base64url: alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"; break;
    }
    const int size = int(std::strlen(alphabet));
    QString text;
    for (int i = 0; i < length - (body == Body::checksummed ? 6 : 0); ++i)
        text += QLatin1Char(alphabet[random() % size]);
    return body == Body::checksummed ? test::withTokenChecksum(text) : text;
}

TEST(TokenLength, TheShortestAndLongestTokenOfEachFormatCount)
{
    std::mt19937 random(5);
    for (const TokenFormat &format : formats) {
        const auto rules = secretrules::rules();
        const auto rule = std::find_if(rules.begin(), rules.end(), [&](const auto &r) { return r.id == format.row; });
        ASSERT_NE(rule, rules.end()) << format.row;
        const RE2 pattern(std::string(rule->pattern));
        for (int length : {format.shortest, format.longest}) {
            // A short random body now and then repeats too much to pass as one: draw again.
            QString token;
            bool found = false;
            for (int draw = 0; draw < 20 && !found; ++draw) {
                QString body = randomBody(format.body, length, random);
                if (format.secondLength > 0)
                    body += QLatin1String(format.separator) + randomBody(format.body, format.secondLength, random);
                token = QLatin1String(format.prefix) + body;
                found = RE2::FullMatch(token.toStdString(), pattern) && secretrules::passes(*rule, token, body);
            }
            EXPECT_TRUE(found) << format.row << ", " << length << " characters: " << qPrintable(token);
        }
    }
}

} // namespace
