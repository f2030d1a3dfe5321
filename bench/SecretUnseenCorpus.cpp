// A fourth check, written after the rules and measured before any rule was
// changed for it. Its kinds come from documents the rule table was not
// written from: the API-key pages of Paddle, Trigger.dev, Stytch, Inngest,
// Xata, Liveblocks, Polar, Runpod, Doppler, Snyk, Codecov, Opsgenie,
// Deepgram, Hetzner Cloud and Vultr; the manuals of the tools whose
// syntax carries the value (PowerShell's about_Environment_Variables,
// Windows' setx and set, fish's set, IPython's %env, Terraform's input
// variables, Compose's environment attribute, Python's os.environ); the
// manuals of the commands and files holding passwords (PostgreSQL's
// pgpass, sqlcmd, OpenLDAP's ldapsearch and ldapmodify, mongosh,
// htpasswd, OpenSSL's pass phrase arguments, Info-ZIP's zip, 7-Zip,
// smbclient, PHP's PDO, RFC 7517 JSON Web Keys, npm's .npmrc, MySQL's
// option files, wpa_supplicant.conf, ODBC connection strings).
// The bodies are random; none is a real key.
#include "SecretCorpus.h"
#include "SecretCorpusRandom.h"

namespace tamo::bench {

namespace {

const char *const passwordChars = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789.!~*-";

QString password(Random &r)
{
    return r.chars(letters, 3) + r.chars(digits, 2) + r.chars(passwordChars, 6 + r.below(6));
}

QString placed(Random &r, const QString &token)
{
    return r.pick({token, "token: " + token + "\n", "client = Client(\"" + token + "\")", "Authorization: Bearer " + token});
}

Kind token(const char *name, std::function<QString(Random &)> make)
{
    return {name, [make](Random &r) { return placed(r, make(r)); }};
}

// A value given to a key's name in one of the syntaxes people copy it in.
QString assigned(Random &r, const QString &name, const QString &value)
{
    return r.pick({"$env:" + name + " = \"" + value + "\"", "setx " + name + " \"" + value + "\"",
                   "set " + name + "=" + value, "set -gx " + name + " " + value, "%env " + name + "=" + value,
                   "os.environ[\"" + name + "\"] = \"" + value + "\"",
                   "variable \"" + name.toLower() + "\" {\n  type    = string\n  default = \"" + value + "\"\n}",
                   "services:\n  web:\n    environment:\n      - " + name + "=" + value + "\n",
                   "    environment:\n      " + name + ": " + value + "\n"});
}

// clang-format off
const QList<Family> &families()
{
    static const QList<Family> list = {
        {"tokens of unlisted issuers", {
            token("Paddle API key", [](Random &r) { return r.pick({"pdl_live_apikey_", "pdl_sdbx_apikey_"}) + r.chars(lowerDigits, 26) + "_" + r.chars(base62, 22) + "_" + r.chars(base62, 3); }),
            token("Trigger.dev secret key", [](Random &r) { return r.pick({"tr_prod_", "tr_dev_"}) + r.chars(base62, 20); }),
            token("Stytch secret", [](Random &r) { return r.pick({"secret-live-", "secret-test-"}) + r.chars(base64url, 36); }),
            token("Inngest signing key", [](Random &r) { return r.pick({"signkey-prod-", "signkey-test-"}) + r.chars(hex, 64); }),
            token("Xata API key", [](Random &r) { return "xau_" + r.chars(base62, 36); }),
            token("Liveblocks secret key", [](Random &r) { return "sk_prod_" + r.chars(base64url, 64); }),
            token("Polar access token", [](Random &r) { return "polar_oat_" + r.chars(base62, 43); }),
            token("Runpod API key", [](Random &r) { return "rpa_" + r.chars(upperDigits, 40); }),
            token("Doppler personal token", [](Random &r) { return "dp.pt." + r.chars(base62, 43); }),
        }},
        {"plain values under a key's name", {
            {"UUID under a token's name", [](Random &r) { return assigned(r, r.pick({"SNYK_TOKEN", "CODECOV_TOKEN", "OPSGENIE_API_KEY"}), versionFourUuid(r)); }},
            {"hex under a key's name", [](Random &r) { return r.pick({"DEEPGRAM_API_KEY=", "deepgram_api_key: ", "DG_KEY="}) + r.chars(hex, 40); }},
            {"capitals and digits under a key's name", [](Random &r) { return r.pick({"VULTR_API_KEY=", "export VULTR_API_KEY="}) + r.chars(upperDigits, 36); }},
            {"base62 in another syntax", [](Random &r) { return assigned(r, r.pick({"HCLOUD_TOKEN", "MUX_TOKEN_SECRET", "BASETEN_API_KEY"}), r.chars(base62, 64)); }},
        }},
        {"sentences naming the provider", {
            {"English", [](Random &r) { return "The " + r.pick({"Deepgram", "Hetzner", "Vultr"}) + " " + r.pick({"key", "token", "API key"}) + " is " + r.chars(base62, 32) + ", keep it safe."; }},
            {"Spanish", [](Random &r) { return "La clave de " + r.pick({"Deepgram", "Hetzner"}) + " es " + r.chars(base62, 32); }},
            {"German", [](Random &r) { return "Der " + r.pick({"Vultr", "Hetzner"}) + "-Schlüssel lautet " + r.chars(base62, 32); }},
            {"Japanese", [](Random &r) { return r.pick({"Deepgram", "Vultr"}) + " のAPIキー: " + r.chars(base62, 32); }},
        }},
        {"credentials in structure", {
            {"pgpass line", [](Random &r) { return r.pick({"db.internal", "localhost", "*"}) + ":5432:" + r.pick({"app", "*"}) + ":" + r.pick({"postgres", "report"}) + ":" + password(r) + "\n"; }},
            {"sqlcmd -P", [](Random &r) { return "sqlcmd -S db01 -U sa -P " + password(r) + " -Q \"SELECT 1\""; }},
            {"ldapmodify -w", [](Random &r) { return r.pick({"ldapmodify", "ldapsearch", "ldapadd"}) + " -x -H ldap://dc1 -D \"cn=admin,dc=example,dc=org\" -w " + password(r) + " -f x.ldif"; }},
            {"mongosh -p", [](Random &r) { return "mongosh \"mongodb://db01:27017\" -u admin -p " + password(r) + " --authenticationDatabase admin"; }},
            {"htpasswd -b", [](Random &r) { return "htpasswd -b /etc/nginx/.htpasswd ada " + password(r); }},
            {"openssl pass phrase", [](Random &r) { return "openssl pkcs12 -export -in c.pem -out c.p12 -passout pass:" + password(r); }},
            {"zip and 7z passwords", [](Random &r) { return r.pick({"zip -P " + password(r) + " -r backup.zip docs/", "7z a -p" + password(r) + " backup.7z docs/"}); }},
            {"smbclient user%password", [](Random &r) { return "smbclient //nas/share -U ada%" + password(r); }},
            {"PDO constructor", [](Random &r) { return "$db = new PDO('mysql:host=db;dbname=shop', 'shop', '" + password(r) + "');"; }},
            {"private JSON Web Key", [](Random &r) { return "{\"kty\":\"EC\",\"crv\":\"P-256\",\"x\":\"" + r.chars(base64url, 43) + "\",\"y\":\"" + r.chars(base64url, 43) + "\",\"d\":\"" + r.chars(base64url, 43) + "\"}"; }},
            {".npmrc auth", [](Random &r) { return r.pick({"_auth=" + base64Of(("ada:" + password(r)).toLatin1()), "//npm.example.com/:_password=" + base64Of(password(r).toLatin1())}) + "\n"; }},
            {"MySQL option file", [](Random &r) { return "[client]\nuser=backup\npassword=" + password(r) + "\n"; }},
            {"wpa_supplicant network", [](Random &r) { return "network={\n    ssid=\"home\"\n    psk=\"" + password(r) + "\"\n}\n"; }},
            {"ODBC connection string", [](Random &r) { return "Driver={ODBC Driver 18 for SQL Server};Server=db01;Database=shop;Uid=sa;Pwd=" + password(r) + ";"; }},
        }},
    };
    return list;
}

// Look-alikes of the same syntaxes holding no secret.
const QList<Kind> &lookAlikes()
{
    static const QList<Kind> kinds = {
        {"settings in other syntaxes", [](Random &r) { return assigned(r, r.pick({"API_BASE_URL", "LOG_LEVEL", "TOKEN_TTL"}), r.pick({"https://api.example.com/v2", "debug", "3600"})); }},
        {"references in other syntaxes", [](Random &r) { return assigned(r, r.pick({"API_KEY", "DEEPGRAM_API_KEY"}), r.pick({"$env:SECRET_FROM_VAULT", "%API_KEY%", "${{ secrets.API_KEY }}", "var.api_key"})); }},
        {"sentences about keys", [](Random &r) { return r.pick({"The Hetzner key is stored in the vault under ops/hetzner.", "La clave de Deepgram está en el gestor de secretos.", "Der Vultr-Schlüssel lautet wie im Wiki beschrieben.", "Vultr のAPIキーは管理画面で作成します。"}); }},
        {"commands with port and user flags", [](Random &r) { return r.pick({"psql -h db -p 5432 -U report app", "mongosh --port 27017 -u admin", "ssh -p 2222 ada@nas", "zip -r -9 backup.zip docs/"}); }},
        {"public JSON Web Key", [](Random &r) { return "{\"kty\":\"EC\",\"crv\":\"P-256\",\"x\":\"" + r.chars(base64url, 43) + "\",\"y\":\"" + r.chars(base64url, 43) + "\",\"kid\":\"" + r.chars(hex, 8) + "\"}"; }},
        {"identifiers with an issuer-like prefix", [](Random &r) { return r.pick({"tr_prod_deploymentQueueWorkerFactory", "xau_refreshSessionTokenIfExpired", "sk_prod_checkout_session_complete_handler", "rpa_ProcessQueueItemsByPriority"}); }},
    };
    return kinds;
}
// clang-format on

} // namespace

QList<SecretSample> unseenSecretCorpus(int samplesPerKind, quint32 seed)
{
    return samplesOf(families(), lookAlikes(), samplesPerKind, seed);
}

} // namespace tamo::bench
