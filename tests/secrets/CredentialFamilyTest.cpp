#include "secrets/SecretDetector.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct Copy
{
    QString text;
    bool secret;
};

class CredentialFamily : public ::testing::TestWithParam<Copy>
{
};

TEST_P(CredentialFamily, IsASecretOnlyWithARealValue)
{
    EXPECT_EQ(SecretDetector::containsSecret(GetParam().text), GetParam().secret) << qPrintable(GetParam().text);
}

QString base64(const char *text)
{
    return QString::fromLatin1(QByteArray(text).toBase64());
}

// A package registry's token or password in its client's config, whatever
// the registry's host; references and placeholders are none.
const Copy registryCopies[] = {
    {"//localhost:4873/:_authToken=\"Mq3xT8vLk2Rb7NwY5pZc9HdF4sJ6gUeA\"", true},
    {"npmRegistries:\n  \"https://npm.example.com\":\n    npmAuthIdent: \"deploy:Xq7.Kb2m~k2\"\n", true},
    {"{\n    \"gitlab-token\": {\n        \"gitlab.example.com\": \"Mq3xT8vLk2Rb7NwY5pZc\"\n    }\n}", true},
    {"---\n:rubygems_api_key: 9f2c4e1ab7d3605e8c1f2a9b4d7e0c63\n", true},
    {"//registry.npmjs.org/:_authToken=${NPM_TOKEN}", false},
    {"npmAuthIdent: \"${NPM_USER}:${NPM_PASSWORD}\"", false},
    {"{\n    \"github-oauth\": {\n        \"github.com\": \"${GITHUB_TOKEN}\"\n    }\n}", false},
    {"---\n:backtrace: true\n:bulk_threshold: 1000\n", false},
};

INSTANTIATE_TEST_SUITE_P(RegistryConfigs, CredentialFamily, ::testing::ValuesIn(registryCopies));

// Docker's config.json kept in base64 by Kubernetes: what it holds decides.
const Copy base64Copies[] = {
    {"type: kubernetes.io/dockerconfigjson\ndata:\n  .dockerconfigjson: "
         + base64(R"({"auths":{"ghcr.io":{"auth":")" + QByteArray("deploy:Xq7.Kb2m~k2").toBase64() + R"("}}})"),
     true},
    {".dockerconfigjson: " + base64(R"({"auths":{"registry.example.com:5000":{"username":"ci","password":"Xq7.Kb2m~k2"}}})"),
     true},
    {".dockerconfigjson: " + base64(R"({"auths":{"ghcr.io":{"auth":""}}})"), false},
    {".dockerconfigjson: " + base64(R"({"auths":{"ghcr.io":{"username":"ci","password":"${REGISTRY_PASSWORD}"}}})"), false},
    {".dockerconfigjson: " + base64(R"({"credsStore":"desktop"})"), false},
};

INSTANTIATE_TEST_SUITE_P(Base64InConfigs, CredentialFamily, ::testing::ValuesIn(base64Copies));

// Dockerfile ENV in its space form, as the form with '='.
const Copy dockerfileCopies[] = {
    {"FROM node:20\nENV NPM_TOKEN Mq3xT8vLk2Rb7NwY5pZc9HdF4sJ6gUeA\nRUN npm ci\n", true},
    {"ENV POSTGRES_PASSWORD Xq7.Kb2m~k2", true},
    {"ENV PATH /opt/app/bin:$PATH", false},
    {"ENV DB_PASSWORD_FILE /run/secrets/db_password", false},
    {"ENV SECRET_KEY ${SECRET_KEY}", false},
};

INSTANTIATE_TEST_SUITE_P(DockerfileEnv, CredentialFamily, ::testing::ValuesIn(dockerfileCopies));

// XML elements and entries named for a secret; their names' public kin and
// references are none.
const Copy xmlCopies[] = {
    {"<ConsumerSecret>Mq3xT8vLk2Rb7NwY5pZc9HdF4sJ6gUeA</ConsumerSecret>", true},
    {"<entry key=\"db.password\">Xq7.Kb2m~k2</entry>", true},
    {"<property name=\"hibernate.connection.password\">Xq7.Kb2m~k2</property>", true},
    {"<property name=\"password\" value=\"Xq7.Kb2m~k2\"/>", true},
    {"<entry key=\"db.user\">app</entry>", false},
    {"<property name=\"passwordEncoder\" ref=\"bcryptEncoder\"/>", false},
    {"<property name=\"password\" value=\"${db.password}\"/>", false},
    {"<user username=\"admin\" password=\"&lt;must-be-changed&gt;\" roles=\"manager-gui\"/>", false},
    {"<PublicKey>Mq3xT8vLk2Rb7NwY5pZc9HdF4sJ6gUeA</PublicKey>", false},
};

INSTANTIATE_TEST_SUITE_P(XmlNamedForSecrets, CredentialFamily, ::testing::ValuesIn(xmlCopies));

// A default given where code reads the environment, in the languages'
// spellings; defaults of settings and empty ones are none.
const Copy environmentCopies[] = {
    {"os.getenv(\"DB_PASSWORD\", \"Xq7.Kb2m~k2\")", true},
    {"const key = process.env.API_KEY || 'Mq3xT8vLk2Rb7NwY5pZc9HdF4sJ6gUeA';", true},
    {"'password' => env('DB_PASSWORD', 'Xq7.Kb2m~k2'),", true},
    {"$pw = getenv('DB_PASSWORD') ?: 'Xq7.Kb2m~k2';", true},
    {"token := cmp.Or(os.Getenv(\"API_TOKEN\"), \"Mq3xT8vLk2Rb7NwY5pZc9HdF\")", true},
    {"psql \"postgres://app:${DB_PASSWORD:-Xq7.Kb2m~k2}@db/app\"", true},
    {"const key = process.env.API_KEY || '';", false},
    {"host := cmp.Or(os.Getenv(\"DB_HOST\"), \"db.internal.example\")", false},
};

INSTANTIATE_TEST_SUITE_P(EnvironmentDefaults, CredentialFamily, ::testing::ValuesIn(environmentCopies));

// Users' passwords in the SQL of four servers; hashes, binds, placeholders
// and other clauses are none.
const Copy sqlCopies[] = {
    {"ALTER USER postgres WITH PASSWORD 'Xq7.Kb2m~k2';", true},
    {"CREATE USER 'app'@'%' IDENTIFIED BY 'Xq7.Kb2m~k2';", true},
    {"ALTER USER 'root'@'localhost' IDENTIFIED WITH mysql_native_password BY 'Xq7.Kb2m~k2';", true},
    {"SET PASSWORD FOR 'app'@'%' = 'Xq7.Kb2m~k2';", true},
    {"GRANT ALL ON shop.* TO 'shop'@'localhost' IDENTIFIED BY 'Xq7.Kb2m~k2';", true},
    {"grant the user a password reset link", false},
    {"CREATE USER app IDENTIFIED BY Xq7Kb2mk2;", true},
    {"ALTER USER app WITH PASSWORD NULL;", false},
    {"CREATE USER app IDENTIFIED BY :password;", false},
    {"ALTER USER 'app'@'%' IDENTIFIED BY '<password>';", false},
    {"CREATE ROLE app LOGIN ENCRYPTED PASSWORD 'md53175bce1d3201d16594cebf9d7eb3f9d';", false},
    {"CREATE USER app IDENTIFIED BY PASSWORD '*2470C0C06DEE42FD1618BB99005ADCA2EC9D1E19';", false},
};

INSTANTIATE_TEST_SUITE_P(SqlUserStatements, CredentialFamily, ::testing::ValuesIn(sqlCopies));

// Documented prefixes no earlier row knew; their documented examples,
// placeholders and public keys are none.
const Copy prefixCopies[] = {
    {"SWMKEY-1-Mq3xT8vLk2Rb7NwY5pZc9HdF4sJ6gUeA7q1w/Kd+3Rf", true},
    {"-----BEGIN USER NKEY SEED-----\nSUPIX6EA6QOM66ZJOJYAEKCTBR6Y3Z4IXGCI7NQ3T2YW2OVBRKUGNRSHE6\n", true},
    {"untrusted comment: minisign encrypted secret key\nRWRTY0Iy" + QString("Mq3xT8vLk2Rb7NwY5pZc9HdF4sJ6gUeA").repeated(5), true},
    {"docker swarm unlock-key\nSWMKEY-1-7c37Cc8654o6p38HnroywCi19pllOnGtbdZEgtKxZu8", false},
    {"Account ID: AD6FWE2JBS32HCCYVRPCTAEGCM2SQJCVUXIYY5YGR3PT3QTVA2UBYIDV", false},
    {"nkey seed: SUAM3XT8VLK2RB7NWY5PZC", false},
    {"minisign -Vm release.tar.gz -P RWQf6LRCGA9i53mlYecO4IzT51TGPpvWucNSCh1CBM0QTaLn73Y7GFO3", false},
};

INSTANTIATE_TEST_SUITE_P(DocumentedPrefixes, CredentialFamily, ::testing::ValuesIn(prefixCopies));

} // namespace
