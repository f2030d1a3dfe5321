// A fifth check, measured before any rule was changed for it. Its kinds come
// from documents none of the other sets nor the rule table were written
// from: WordPress's "Editing wp-config.php" and its secret-key service, the
// PHP manual's define(), the Mutt and NeoMutt manuals (imap_pass,
// smtp_pass), the README files of the VS Code SFTP extension and Sublime
// SFTP, the OpenVPN static key mini-HOWTO, cntlm(1), the deploy and build
// hook pages of Netlify, Vercel and Render, Azure Storage's SAS token page,
// the nginx proxy_set_header, Apache mod_headers and HAProxy http-request
// manuals, HTTPie's authentication page, the irssi, WeeChat and ZNC SASL
// guides, .NET's appSettings element, the client quick starts of Postmark,
// Meraki, Mailchimp, Algolia and Pusher, Chargebee's and Harvest's curl
// examples, AWS API Gateway's and RapidAPI's key headers, Loqate's address
// API and the Rails credentials guide (config/master.key).
// The bodies are random; none is a real key.
#include "SecretCorpus.h"
#include "SecretCorpusRandom.h"

namespace tamo::bench {

namespace {

const char *const upperHex = "0123456789ABCDEF";
// What WordPress's secret-key service draws its salts from.
const char *const saltChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!@#$%^&*()-_[]{}<>~`+=,.;:/?|";

// A password as a person or a password manager makes it.
QString chosenPassword(Random &r)
{
    return r.pick({r.chars(letters, 4) + r.chars(digits, 3) + r.chars("!#%*-_.", 1) + r.chars(base62, 5 + r.below(6)),
                   r.chars(base62, 16 + r.below(8))});
}

QString basicCredentials(Random &r)
{
    return base64Of((r.pick({"ada", "deploy", "ci-bot", "admin"}) + ":" + chosenPassword(r)).toLatin1());
}

// An SAS token as Azure's portal prints it, without the address before it.
QString sasToken(Random &r)
{
    return "sv=2022-11-02&ss=" + r.pick({"b", "bfqt"}) + "&srt=sco&sp=rwdlacupiytfx&se=2027-0" + r.chars("123456789", 1)
        + "-01T00:00:00Z&st=2026-12-01T00:00:00Z&spr=https&sig=" + r.chars(base62, 40) + r.chars(base64, 3) + "%3D";
}

QString openVpnStaticKey(Random &r)
{
    QString lines;
    for (int i = 0; i < 16; ++i)
        lines += r.chars(hex, 32) + "\n";
    return "#\n# 2048 bit OpenVPN static key\n#\n-----BEGIN OpenVPN Static key V1-----\n" + lines
        + "-----END OpenVPN Static key V1-----\n";
}

// clang-format off
const QList<Family> &families()
{
    static const QList<Family> list = {
        {"configuration syntaxes", {
            {"PHP define", [](Random &r) { return "define( '" + r.pick({"DB_PASSWORD", "SMTP_PASS", "MAILGUN_KEY", "AUTH_SECRET"}) + "', '" + chosenPassword(r) + "' );"; }},
            {"WordPress salts", [](Random &r) { return "define( '" + r.pick({"AUTH_KEY", "SECURE_AUTH_KEY", "LOGGED_IN_KEY", "NONCE_SALT"}) + "',         '" + r.chars(saltChars, 64).replace(u'\'', u'^') + "' );"; }},
            {"mutt password", [](Random &r) { return "set imap_user = \"ada@example.com\"\nset " + r.pick({"imap_pass", "smtp_pass", "pop_pass"}) + " = \"" + chosenPassword(r) + "\"\n"; }},
            {"editor SFTP config", [](Random &r) { return "{\n    \"name\": \"staging\",\n    \"host\": \"" + r.pick({"10.0.4.12", "staging.example.net"}) + "\",\n    \"protocol\": \"sftp\",\n    \"username\": \"deploy\",\n    \"" + r.pick({"password", "pass"}) + "\": \"" + chosenPassword(r) + "\",\n    \"remotePath\": \"/var/www\"\n}"; }},
            {".NET appSettings key", [](Random &r) { return "<appSettings>\n  <add key=\"" + r.pick({"StripeSecretKey", "ApiKey", "SendGridKey", "StorageAccountKey"}) + "\" value=\"" + r.chars(base62, 32) + "\" />\n</appSettings>"; }},
            {"IRC SASL password", [](Random &r) { return r.pick({"/set irc.server.libera.sasl_password \"" + chosenPassword(r) + "\"", "  sasl_username = \"ada\";\n  sasl_password = \"" + chosenPassword(r) + "\";", "/msg *sasl Set ada " + chosenPassword(r)}); }},
        }},
        {"key blocks and hashes", {
            {"OpenVPN static key", openVpnStaticKey},
            {"cntlm password hash", [](Random &r) { return "Username  ada\nDomain    CORP\n" + r.pick({"PassNTLMv2", "PassNT", "PassLM"}) + "  " + r.chars(upperHex, 32) + "\n"; }},
            {"SAS token alone", [](Random &r) { return r.pick({"", "?", "AZURE_STORAGE_SAS_TOKEN=\""}) + sasToken(r); }},
            {"deploy hook URL", [](Random &r) { return r.pick({"curl -X POST -d {} https://api.netlify.com/build_hooks/" + r.chars(hex, 24), "https://api.vercel.com/v1/integrations/deploy/prj_" + r.chars(base62, 28) + "/" + r.chars(base62, 10), "curl https://api.render.com/deploy/srv-" + r.chars(lowerDigits, 20) + "?key=" + r.chars(base62, 11)}); }},
            {"Rails master key", [](Random &r) { return "echo " + r.chars(hex, 32) + " > config/master.key"; }},
        }},
        {"Basic auth spellings", {
            {"nginx Basic header", [](Random &r) { return "location /api/ {\n    proxy_pass http://backend;\n    proxy_set_header Authorization \"Basic " + basicCredentials(r) + "\";\n}"; }},
            {"Apache Basic header", [](Random &r) { return "RequestHeader set Authorization \"Basic " + basicCredentials(r) + "\""; }},
            {"HAProxy Basic header", [](Random &r) { return "backend api\n    http-request set-header Authorization \"Basic " + basicCredentials(r) + "\"\n"; }},
            {"HTTPie -a", [](Random &r) { return "http -a " + r.pick({"ada", "admin"}) + ":" + chosenPassword(r) + " " + r.pick({"pie.dev/basic-auth/ada/x", "POST api.example.com/items name=x"}); }},
            {"curl -u key as user", [](Random &r) { return "curl https://" + r.pick({"acme.chargebee.com/api/v2/customers", "api.harvestapp.com/v2/users/me"}) + " \\\n  -u " + r.chars(r.pick({"0123456789abcdefghijklmnopqrstuvwxyz", base62}).toLatin1(), 32 + r.below(8)) + ":"; }},
        }},
        {"unnamed values", {
            {"client constructor", [](Random &r) { return r.pick({"session = meraki.APISession(\"" + r.chars(hex, 40) + "\")", "const client = new postmark.ServerClient('" + versionFourUuid(r) + "');", "const client = new Client('" + r.chars(base62, 32) + "');", "client = algoliasearch.Client(\"" + r.chars(upperDigits, 10) + "\", \"" + r.chars(hex, 32) + "\")"}); }},
            {"key setter", [](Random &r) { return r.pick({"mailchimp.setKey('" + r.chars(hex, 32) + "-us" + QString::number(1 + r.below(20)) + "');", "client.setApiKey(\"" + r.chars(base62, 40) + "\");", "pusher.setKey('" + r.chars(hex, 20) + "')"}); }},
        }},
        {"context words", {
            {"integration key header", [](Random &r) { return r.pick({"x-pd-integration-key: ", "X-Duo-Integration-Key: ", "x-hub-integration-key: "}) + r.chars(hex, 32); }},
            {"api key header", [](Random &r) { return "curl -H \"" + r.pick({"x-api-key", "X-RapidAPI-Key"}) + ": " + r.chars(base62, 40) + "\" https://" + r.pick({"a1b2c3.execute-api.eu-west-1.amazonaws.com/prod/items", "weather.p.rapidapi.com/current"}); }},
            {"Key query parameter", [](Random &r) { return "https://api.addressy.com/Capture/Interactive/Find/v1.10/json3.ws?Key=" + r.chars(upperDigits, 4) + "-" + r.chars(upperDigits, 4) + "-" + r.chars(upperDigits, 4) + "-" + r.chars(upperDigits, 4) + "&Text=" + r.pick({"SW1A", "EC1"}) + "&Countries=GB"; }},
        }},
    };
    return list;
}

// Near misses of the same syntaxes holding no secret.
const QList<Kind> &lookAlikes()
{
    static const QList<Kind> kinds = {
        {"PHP settings and placeholders", [](Random &r) { return r.pick({"define( 'DB_PASSWORD', 'password_here' );", "define( 'AUTH_KEY', 'put your unique phrase here' );", "define('DB_PASSWORD', getenv('DB_PASSWORD'));", "define( 'WP_DEBUG_LOG', true );", "define( 'DB_HOST', 'localhost:3306' );"}); }},
        {"mail client settings", [](Random &r) { return r.pick({"set imap_pass = \"`pass show mail/imap`\"", "set smtp_url = \"smtps://ada@smtp.example.com:465/\"", "set imap_check_subscribed = yes", "set smtp_pass = $my_pass"}); }},
        {"editor config options", [](Random &r) { return r.pick({"{\n    \"protocol\": \"sftp\",\n    \"passive\": true,\n    \"password\": null,\n    \"uploadOnSave\": true\n}", "\"password\": \"\",\n\"privateKeyPath\": \"~/.ssh/id_ed25519\"", "\"passphrase\": true,"}); }},
        {"XML app settings", [](Random &r) { return r.pick({"<add key=\"ClientValidationEnabled\" value=\"true\" />", "<add key=\"ApiKey\" value=\"$(ApiKey)\" />", "<add key=\"webpages:Version\" value=\"3.0.0.0\" />", "<add key=\"StorageKeyName\" value=\"primary\" />"}); }},
        {"client constructors of words and addresses", [](Random &r) { return r.pick({"const client = new Client('localhost');", "session = APISession(\"https://api.meraki.com/api/v1\")", "cache.setKey('user_settings');", "const c = new Client('/var/run/docker.sock');", "client.setApiKey(process.env.SENDGRID_API_KEY);", "new Client('YOUR_API_KEY')", "const client = new Client(" + r.pick({"'amqp://localhost'", "'redis'", "'development'"}) + ");"}); }},
        {"Basic auth placeholders", [](Random &r) { return r.pick({"Authorization: Basic <credentials>", "proxy_set_header Authorization \"Basic $http_authorization\";", "RequestHeader set Authorization \"Basic %{AUTH}e\"", "http -a username:password pie.dev/basic-auth/username/password", "curl -u $API_KEY: https://api.example.com", "auth_basic \"Restricted Content\";"}); }},
        {"static key talk", [](Random &r) { return r.pick({"openvpn --genkey secret static.key", "secret static.key 0", "# PassNTLMv2 is printed by cntlm -H", "echo \"config/master.key\" >> .gitignore", "cat config/master.key"}); }},
        {"headers and parameters without keys", [](Random &r) { return r.pick({"x-api-key: {{apiKey}}", "X-Request-Id: " + versionFourUuid(r), "?Key=YOUR_KEY&Text=SW1A&Countries=GB", "x-integration-key-id: " + r.chars(digits, 6), "sv=2022-11-02&ss=b&srt=sco&sp=r"}); }},
    };
    return kinds;
}
// clang-format on

} // namespace

QList<SecretSample> structureSecretCorpus(int samplesPerKind, quint32 seed)
{
    return samplesOf(families(), lookAlikes(), samplesPerKind, seed);
}

} // namespace tamo::bench
