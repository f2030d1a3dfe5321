// A seventh check, committed and measured before any rule was changed for
// it: credentials by family, where they sit in the forms that carry them.
// Its kinds come from documents none of the other sets were written from:
// the manuals of curl (--oauth2-bearer, --proxy-user), GnuPG (--passphrase),
// GNU Wget (--proxy-password), ssh-keygen (-N, -P), lftp (-u user,pass),
// aria2c (--http-passwd), mosquitto_pub (-P), Net-SNMP's snmpwalk (-A, -X)
// and SQL*Plus (user/password@db); Verdaccio's and Sonatype Nexus's npm
// pages, Yarn's .yarnrc.yml reference, pip's configuration page, the Python
// Packaging Guide's .pypirc, Composer's auth.json, NuGet's nuget.config
// reference, RubyGems' credentials file, Cargo's credentials.toml, Terraform
// CLI's .terraformrc and Poetry's repositories page; Kubernetes' "Pull an
// Image from a Private Registry", Secret and kubeconfig pages,
// containers-auth.json(5), Docker's legacy .dockercfg and GitLab's
// DOCKER_AUTH_CONFIG; the Dockerfile reference's ENV and ARG; Java's
// Properties.loadFromXML, Spring's bean XML, Tomcat's context.xml and
// tomcat-users.xml, Hibernate's hibernate.cfg.xml, OAuth 1 client configs
// (ConsumerSecret); Python's os.getenv, Node's process.env, Ruby's
// ENV.fetch, PHP's getenv and Laravel's env(), Java's System.getenv, Spring's
// ${name:default}, Go's cmp.Or and the shell's ${name:-word}; the user
// statements of PostgreSQL, MySQL, SQL Server and Oracle; Docker's swarm
// join and unlock keys, NATS's nkeys, k3s's node tokens and minisign's
// secret keys.
// The values are made up; none is a real credential.
#include "SecretCorpus.h"
#include "SecretCorpusRandom.h"

namespace tamo::bench {

namespace {

const char *const base32 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
const char *const lowerBase36 = "abcdefghijklmnopqrstuvwxyz0123456789";
const char *const punctuation = "!#%*_-.+";

// A password as people and password managers make them: a word-like start
// with digits and a mark, or a random run.
QString passwordLike(Random &r)
{
    return r.pick({r.chars(upper, 1) + r.chars("abcdefghijkmnopqrstuvwxyz", 4 + r.below(3)) + r.chars(digits, 2 + r.below(3))
                       + r.chars(punctuation, 1) + r.chars(base62, 3 + r.below(4)),
                   r.chars(base62, 14 + r.below(10)), r.chars(printable, 18 + r.below(8))});
}

// An opaque token a registry or service hands out.
QString opaqueToken(Random &r)
{
    return r.pick({r.chars(base62, 32 + r.below(12)), r.chars(base64url, 43), versionFourUuid(r)});
}

QString userName(Random &r)
{
    return r.pick({"ada", "deploy", "ci-bot", "svc_backup", "report"});
}

QString secretName(Random &r)
{
    return r.pick({"DB_PASSWORD", "API_TOKEN", "SECRET_KEY", "STRIPE_API_KEY", "SMTP_PASSWORD", "JWT_SECRET"});
}

QString dockerAuths(Random &r, const QString &registry)
{
    const QString user = userName(r);
    const QString password = passwordLike(r);
    return "{\"auths\":{\"" + registry + "\":{\"username\":\"" + user + "\",\"password\":\"" + password
        + "\",\"auth\":\"" + base64Of((user + ":" + password).toLatin1()) + "\"}}}";
}

// clang-format off
const QList<Family> &families()
{
    static const QList<Family> list = {
        {"command-line options", {
            {"curl --oauth2-bearer", [](Random &r) { const QString quote = r.pick({"'", "\"", ""}); return "curl " + r.pick({"-s ", "-fsSL ", ""}) + "--oauth2-bearer " + quote + r.chars(base62, 40) + quote + " https://api.example.com/v1/me"; }},
            {"curl --proxy-user", [](Random &r) { return "curl -x http://proxy.corp:3128 " + r.pick({"--proxy-user ", "-U "}) + userName(r) + ":" + passwordLike(r) + " https://example.org/file.tgz -O"; }},
            {"gpg --passphrase", [](Random &r) { return "gpg --batch --yes --pinentry-mode loopback " + r.pick({"--passphrase '" + passwordLike(r) + "'", "--passphrase=" + passwordLike(r)}) + " --decrypt backup.tar.gpg > backup.tar"; }},
            {"wget --proxy-password", [](Random &r) { return "wget --proxy-user=" + userName(r) + " --proxy-password=" + passwordLike(r) + " https://mirror.example.org/debian.iso"; }},
            {"ssh-keygen -N", [](Random &r) { return r.pick({"ssh-keygen -t ed25519 -C deploy@ci -N '" + passwordLike(r) + "' -f ~/.ssh/deploy", "ssh-keygen -p -P '" + passwordLike(r) + "' -N '" + passwordLike(r) + "' -f ~/.ssh/id_rsa"}); }},
            {"lftp -u user,password", [](Random &r) { return "lftp -u " + userName(r) + "," + passwordLike(r) + " " + r.pick({"sftp://files.example.org", "ftp://10.0.0.9"}) + " -e \"mirror -R dist /www; quit\""; }},
            {"aria2c --http-passwd", [](Random &r) { return "aria2c --http-user=" + userName(r) + " " + r.pick({"--http-passwd=", "--ftp-passwd="}) + passwordLike(r) + " https://dl.example.org/big.iso"; }},
            {"mosquitto_pub -P", [](Random &r) { return r.pick({"mosquitto_pub", "mosquitto_sub"}) + " -h broker.lan -u sensor -P " + passwordLike(r) + " -t home/temp" + r.pick({" -m 21.5", ""}); }},
            {"snmpwalk -A -X", [](Random &r) { return "snmpwalk -v3 -l authPriv -u monitor -a SHA -A " + passwordLike(r) + " -x AES -X " + passwordLike(r) + " 10.0.0.1 system"; }},
            {"sqlplus user/password", [](Random &r) { return "sqlplus " + r.pick({"system", "app_owner", "scott"}) + "/" + passwordLike(r) + "@" + r.pick({"//db01:1521/ORCLPDB1", "PROD"}); }},
        }},
        {"registry configs", {
            {".npmrc _authToken on any host", [](Random &r) { return "registry=" + r.pick({"http://localhost:4873/", "https://nexus.example.com/repository/npm-group/"}) + "\n" + r.pick({"//localhost:4873/", "//nexus.example.com/repository/npm-group/", "//npm.internal:8080/"}) + ":_authToken=" + r.pick({"\"" + r.chars(base64, 44) + "\"", "NpmToken." + versionFourUuid(r), opaqueToken(r)}) + "\n"; }},
            {".yarnrc.yml npmAuthToken", [](Random &r) { return "npmRegistries:\n  \"https://npm.example.com\":\n    npmAlwaysAuth: true\n    " + r.pick({"npmAuthToken: " + opaqueToken(r), "npmAuthIdent: \"" + userName(r) + ":" + passwordLike(r) + "\""}) + "\n"; }},
            {".pypirc password", [](Random &r) { return "[distutils]\nindex-servers =\n    nexus\n\n[nexus]\nrepository = https://nexus.example.com/repository/pypi-internal/\nusername = " + userName(r) + "\npassword = " + passwordLike(r) + "\n"; }},
            {"Composer auth.json", [](Random &r) { return r.pick({"{\n    \"http-basic\": {\n        \"repo.example.org\": {\n            \"username\": \"" + userName(r) + "\",\n            \"password\": \"" + passwordLike(r) + "\"\n        }\n    }\n}", "{\n    \"gitlab-token\": {\n        \"gitlab.example.com\": \"" + r.chars(base62, 20) + "\"\n    }\n}", "{\n    \"bearer\": {\n        \"packages.example.org\": \"" + opaqueToken(r) + "\"\n    }\n}"}); }},
            {"NuGet ClearTextPassword", [](Random &r) { return "<packageSourceCredentials>\n  <Contoso>\n    <add key=\"Username\" value=\"" + userName(r) + "\" />\n    <add key=\"ClearTextPassword\" value=\"" + passwordLike(r) + "\" />\n  </Contoso>\n</packageSourceCredentials>"; }},
            {"gem credentials for a host", [](Random &r) { return "---\n:" + r.pick({"gems_example_com_api_key", "internal"}) + ": " + r.chars(hex, 32) + "\n\"https://gems.example.com\": " + r.chars(hex, 32) + "\n"; }},
            {"Cargo registry token", [](Random &r) { return "[registries." + r.pick({"my-registry", "kellnr", "shipyard"}) + "]\ntoken = \"" + opaqueToken(r) + "\"\n"; }},
            {".terraformrc credentials", [](Random &r) { return "credentials \"" + r.pick({"tfe.example.com", "app.terraform.io"}) + "\" {\n  token = \"" + r.chars(base62, 14) + "." + r.chars(base62, 6) + "." + r.chars(base62, 60) + "\"\n}\n"; }},
            {"Poetry credentials", [](Random &r) { return r.pick({"poetry config http-basic.private " + userName(r) + " " + passwordLike(r), "poetry config pypi-token.private " + r.chars(base62, 40)}); }},
        }},
        {"base64 inside configs", {
            {"Kubernetes .dockerconfigjson", [](Random &r) { return "apiVersion: v1\nkind: Secret\nmetadata:\n  name: regcred\ntype: kubernetes.io/dockerconfigjson\ndata:\n  .dockerconfigjson: " + base64Of(dockerAuths(r, r.pick({"https://index.docker.io/v1/", "registry.example.com:5000"})).toLatin1()) + "\n"; }},
            {"dockerconfigjson value alone", [](Random &r) { return ".dockerconfigjson: " + base64Of(dockerAuths(r, "ghcr.io").toLatin1()); }},
            {"Secret as JSON", [](Random &r) { return "{\n    \"apiVersion\": \"v1\",\n    \"data\": {\n        \"" + r.pick({"api-token", "client-secret", "DB_PASSWORD"}) + "\": \"" + base64Of(r.pick({opaqueToken(r), passwordLike(r)}).toLatin1()) + "\"\n    },\n    \"kind\": \"Secret\",\n    \"metadata\": {\"name\": \"app\"}\n}"; }},
            {"Secret data under secret names", [](Random &r) { return "kind: Secret\napiVersion: v1\nmetadata:\n  name: app-env\ntype: Opaque\ndata:\n  " + r.pick({"STRIPE_API_KEY", "api-token", "AWS_SECRET_ACCESS_KEY", "webhook-secret"}) + ": " + base64Of(r.chars(base62, 32 + r.below(9)).toLatin1()) + "\n"; }},
            {"podman and legacy auth files", [](Random &r) { return r.pick({"{\n  \"" + r.pick({"quay.io", "registry.example.com"}) + "\": {\n    \"auth\": \"" + base64Of((userName(r) + ":" + passwordLike(r)).toLatin1()) + "\",\n    \"email\": \"ada@example.com\"\n  }\n}", "DOCKER_AUTH_CONFIG='{\"auths\":{\"registry.example.com\":{\"auth\":\"" + base64Of((userName(r) + ":" + passwordLike(r)).toLatin1()) + "\"}}}'"}); }},
            {"kubeconfig client-key-data", [](Random &r) { return "users:\n- name: admin\n  user:\n    client-certificate-data: " + base64Of(pem(r, "CERTIFICATE", 3).toLatin1()) + "\n    client-key-data: " + base64Of(pem(r, "EC PRIVATE KEY", 3).toLatin1()) + "\n"; }},
        }},
        {"Dockerfile ENV", {
            {"ENV name value", [](Random &r) { return "FROM node:20-alpine\nWORKDIR /app\nENV " + r.pick({"API_TOKEN", "NPM_TOKEN", "SECRET_KEY_BASE", "SENTRY_AUTH_TOKEN"}) + " " + r.chars(base62, 32 + r.below(16)) + "\nRUN npm ci\n"; }},
            {"ENV password value", [](Random &r) { return "FROM postgres:16\nENV " + r.pick({"POSTGRES_PASSWORD", "MYSQL_ROOT_PASSWORD", "DB_PASS"}) + " " + passwordLike(r) + "\n"; }},
            {"ARG with a default", [](Random &r) { return "ARG " + r.pick({"GITHUB_PAT", "ARTIFACTORY_API_KEY", "NUGET_PASSWORD"}) + "=" + r.pick({opaqueToken(r), passwordLike(r)}) + "\nRUN ./fetch-deps.sh\n"; }},
        }},
        {"XML named for secrets", {
            {"element named for a secret", [](Random &r) { return "<" + r.pick({"ConsumerSecret", "ClientSecret", "SecretAccessKey", "AuthToken", "SharedSecret"}) + ">" + r.chars(base62, 32 + r.below(12)) + "</"; }},
            {"properties entry", [](Random &r) { return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE properties SYSTEM \"http://java.sun.com/dtd/properties.dtd\">\n<properties>\n  <entry key=\"db.user\">app</entry>\n  <entry key=\"" + r.pick({"db.password", "mail.smtp.password", "api.secret", "oauth.client-secret"}) + "\">" + passwordLike(r) + "</entry>\n</properties>"; }},
            {"Spring bean property", [](Random &r) { return "<bean id=\"dataSource\" class=\"org.apache.commons.dbcp2.BasicDataSource\">\n    <property name=\"username\" value=\"app\"/>\n    <property name=\"" + r.pick({"password", "secretKey", "clientSecret"}) + "\" value=\"" + passwordLike(r) + "\"/>\n</bean>"; }},
            {"Tomcat password attribute", [](Random &r) { return r.pick({"<Resource name=\"jdbc/app\" auth=\"Container\" type=\"javax.sql.DataSource\"\n          username=\"app\" password=\"" + passwordLike(r) + "\"\n          driverClassName=\"org.postgresql.Driver\" url=\"jdbc:postgresql://db/app\"/>", "<user username=\"admin\" password=\"" + passwordLike(r) + "\" roles=\"manager-gui,admin-gui\"/>"}); }},
            {"Hibernate connection password", [](Random &r) { return "<property name=\"hibernate.connection.username\">app</property>\n<property name=\"hibernate.connection.password\">" + passwordLike(r) + "</property>"; }},
        }},
        {"environment reads with a default", {
            {"Python", [](Random &r) { return r.pick({"os.getenv(", "os.environ.get("}) + "\"" + secretName(r) + "\", \"" + passwordLike(r) + "\")"; }},
            {"JavaScript", [](Random &r) { return "const " + r.pick({"apiKey", "secret", "dbPassword"}) + " = process.env." + secretName(r) + r.pick({" || ", " ?? "}) + "'" + passwordLike(r) + "';"; }},
            {"Ruby", [](Random &r) { return r.pick({"ENV.fetch(\"" + secretName(r) + "\", \"" + passwordLike(r) + "\")", "ENV[\"" + secretName(r) + "\"] || \"" + passwordLike(r) + "\""}); }},
            {"PHP", [](Random &r) { return r.pick({"$password = getenv('" + secretName(r) + "') ?: '" + passwordLike(r) + "';", "'password' => env('" + secretName(r) + "', '" + passwordLike(r) + "'),"}); }},
            {"Java and Spring", [](Random &r) { return r.pick({"String pw = System.getenv().getOrDefault(\"" + secretName(r) + "\", \"" + passwordLike(r) + "\");", "spring.datasource.password=${" + secretName(r) + ":" + passwordLike(r) + "}"}); }},
            {"Go and shell", [](Random &r) { return r.pick({"token := cmp.Or(os.Getenv(\"" + secretName(r) + "\"), \"" + passwordLike(r) + "\")", "psql \"postgres://app:${" + secretName(r) + ":-" + passwordLike(r) + "}@db/app\"", "password=\"${" + secretName(r) + ":-" + passwordLike(r) + "}\""}); }},
        }},
        {"SQL user statements", {
            {"PostgreSQL", [](Random &r) { return r.pick({"ALTER USER postgres WITH PASSWORD '", "CREATE ROLE app LOGIN PASSWORD '", "CREATE USER report WITH ENCRYPTED PASSWORD '", "ALTER ROLE app WITH LOGIN PASSWORD '"}) + passwordLike(r) + "';"; }},
            {"MySQL", [](Random &r) { return r.pick({"CREATE USER 'app'@'%' IDENTIFIED BY '", "ALTER USER 'root'@'localhost' IDENTIFIED WITH mysql_native_password BY '", "SET PASSWORD FOR 'app'@'%' = '", "GRANT ALL ON shop.* TO 'shop'@'localhost' IDENTIFIED BY '"}) + passwordLike(r) + "';"; }},
            {"SQL Server", [](Random &r) { return r.pick({"CREATE LOGIN app WITH PASSWORD = '", "ALTER LOGIN sa WITH PASSWORD = '"}) + passwordLike(r) + "';\nGO"; }},
            {"Oracle", [](Random &r) { return r.pick({"CREATE USER app IDENTIFIED BY ", "ALTER USER system IDENTIFIED BY "}) + r.pick({passwordLike(r), "\"" + passwordLike(r) + "\""}) + ";"; }},
        }},
        {"documented prefixes", {
            {"swarm join token", [](Random &r) { return r.pick({"docker swarm join --token ", "SWARM_TOKEN="}) + "SWMTKN-1-" + r.chars(lowerBase36, 50) + "-" + r.chars(lowerBase36, 25) + r.pick({" 10.0.0.1:2377", ""}); }},
            {"swarm unlock key", [](Random &r) { return "To unlock a swarm manager after it restarts, run the `docker swarm unlock`\ncommand and provide the following key:\n\n    SWMKEY-1-" + r.chars(base62, 43) + "\n"; }},
            {"NATS nkey seed", [](Random &r) { return r.pick({"-----BEGIN USER NKEY SEED-----\n", "seed: ", "NATS_NKEY_SEED="}) + "S" + r.pick({"U", "A", "O"}) + r.chars(base32, 56) + "\n"; }},
            {"k3s node token", [](Random &r) { return r.pick({"K3S_TOKEN=", "curl -sfL https://get.k3s.io | K3S_URL=https://10.0.0.1:6443 K3S_TOKEN="}) + "K10" + r.chars(hex, 64) + "::" + r.pick({"server", "node"}) + ":" + r.chars(hex, 32); }},
            {"minisign secret key", [](Random &r) { return "untrusted comment: minisign encrypted secret key\nRWRTY0Iy" + r.chars(base64, 150) + "=="; }},
        }},
    };
    return list;
}

// Near misses of the same forms holding no secret.
const QList<Kind> &lookAlikes()
{
    static const QList<Kind> kinds = {
        {"options without a credential", [](Random &r) { return r.pick({"curl --oauth2-bearer \"$TOKEN\" https://api.example.com/v1/me", "gpg --batch --passphrase-file ~/.gnupg/pass.txt -d backup.tar.gpg", "gpg --pinentry-mode loopback --passphrase-fd 0 -d x.gpg", "ssh-keygen -t ed25519 -N '' -f ~/.ssh/ci", "ssh-keygen -t rsa -b 4096 -C \"ada@example.com\"", "curl --proxy-user \"$PROXY_USER:$PROXY_PASS\" https://example.org", "wget --ask-password --user=ada https://example.org/f", "mosquitto_pub -h broker.lan -p 1883 -t home/temp -m 21", "snmpwalk -v2c -c public 10.0.0.1 system", "lftp -u ada sftp://files.example.org", "sqlplus / as sysdba", "sqlplus -S /nolog @setup.sql", "aria2c --max-connection-per-server=4 --http-user=ada https://dl.example.org/big.iso"}); }},
        {"registry configs with references", [](Random &r) { return r.pick({"//registry.npmjs.org/:_authToken=${NPM_TOKEN}", "//localhost:4873/:_authToken=\"<token>\"", "npmRegistries:\n  \"https://npm.example.com\":\n    npmAlwaysAuth: true\n    npmAuthToken: \"${NPM_AUTH_TOKEN}\"\n", "{\n    \"github-oauth\": {}\n}", "[global]\nindex-url = https://pypi.org/simple\ntimeout = 60\n", "<add key=\"ClearTextPassword\" value=\"%NUGET_PASSWORD%\" />", "[registry]\nglobal-credential-providers = [\"cargo:token\"]\n", "plugin_cache_dir = \"$HOME/.terraform.d/plugin-cache\"", "poetry config http-basic.private ada", "[nexus]\nrepository = https://nexus.example.com/repository/pypi/\nusername = __token__\npassword = <your token>\n"}); }},
        {"base64 in configs without a secret", [](Random &r) { return r.pick({"kind: Secret\ndata:\n  username: " + base64Of("admin") + "\n  port: " + base64Of("5432") + "\n", "{\n  \"credsStore\": \"desktop\",\n  \"auths\": {\n    \"ghcr.io\": {}\n  }\n}", "clusters:\n- cluster:\n    certificate-authority-data: " + base64Of(pem(r, "CERTIFICATE", 3).toLatin1()) + "\n    server: https://10.0.0.1:6443\n", "kind: ConfigMap\nbinaryData:\n  logo.png: iVBORw0KGgo" + r.chars(base64, 120) + "\n", ".dockerconfigjson: " + base64Of("{\"auths\":{\"ghcr.io\":{\"auth\":\"\"}}}")}); }},
        {"Dockerfile ENV settings", [](Random &r) { return "FROM python:3.12-slim\n" + r.pick({"ENV PATH /opt/app/bin:$PATH", "ENV PYTHONDONTWRITEBYTECODE 1", "ENV NODE_ENV production", "ENV DB_PASSWORD_FILE /run/secrets/db_password", "ENV API_TOKEN \"\"", "ENV SECRET_KEY ${SECRET_KEY}", "ARG NPM_TOKEN\nRUN --mount=type=secret,id=npm_token npm ci"}) + "\n"; }},
        {"XML settings", [](Random &r) { return r.pick({"<entry key=\"db.user\">app</entry>", "<property name=\"passwordEncoder\" ref=\"bcryptEncoder\"/>", "<property name=\"password\" value=\"${db.password}\"/>", "<user username=\"admin\" password=\"&lt;must-be-changed&gt;\" roles=\"manager-gui\"/>", "<ConsumerSecret></ConsumerSecret>", "<ClientSecret>$(ClientSecret)</ClientSecret>", "<PasswordPolicy>Strict</PasswordPolicy>", "<entry key=\"password.min-length\">12</entry>"}); }},
        {"environment reads without a secret", [](Random &r) { return r.pick({"os.getenv(\"DB_PASSWORD\")", "os.getenv(\"PORT\", \"8080\")", "os.environ.get(\"SECRET_KEY\", \"\")", "const key = process.env.API_KEY || '';", "ENV.fetch(\"SECRET_KEY_BASE\") { raise \"missing\" }", "$pw = getenv('DB_PASSWORD') ?: null;", "'password' => env('DB_PASSWORD', ''),", "spring.datasource.password=${DB_PASSWORD}", "password=\"${DB_PASSWORD:-}\"", "host := cmp.Or(os.Getenv(\"DB_HOST\"), \"localhost\")"}); }},
        {"SQL without a password", [](Random &r) { return r.pick({"ALTER USER app WITH PASSWORD NULL;", "CREATE USER app IDENTIFIED BY :password;", "ALTER USER 'app'@'%' IDENTIFIED BY '<password>';", "ALTER ROLE app VALID UNTIL 'infinity';", "CREATE USER 'app'@'localhost' IDENTIFIED WITH auth_socket;", "ALTER USER app PASSWORD EXPIRE;", "CREATE LOGIN [CORP\\ada] FROM WINDOWS;", "CREATE USER app IDENTIFIED EXTERNALLY;", "SELECT usename, passwd IS NOT NULL FROM pg_shadow;"}); }},
        {"prefixes with placeholders and public keys", [](Random &r) { return r.pick({"docker swarm join --token SWMTKN-1-<token> 10.0.0.1:2377", "docker swarm join --token ${SWARM_TOKEN} manager:2377", "Account ID: A" + r.chars(base32, 55), "nsc describe user: U" + r.chars(base32, 55), "K3S_TOKEN=${K3S_TOKEN}", "minisign -Vm release.tar.gz -P RWQ" + r.chars(base64, 53), "SWMKEY-1-<unlock key>"}); }},
    };
    return kinds;
}
// clang-format on

} // namespace

QList<SecretSample> familySecretCorpus(int samplesPerKind, quint32 seed)
{
    return samplesOf(families(), lookAlikes(), samplesPerKind, seed);
}

} // namespace tamo::bench
