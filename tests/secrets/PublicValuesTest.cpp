// Values that look random or sit under a secret's name, yet are printed
// for all to see or are no value at all: words, a page's form token, an
// object's id, a slot to fill in. Each table holds near misses that stay
// secrets.
#include "secrets/SecretDetector.h"

#include <QString>
#include <gtest/gtest.h>

#include <span>

using namespace tamo;

namespace {

struct Row
{
    const char *text;
    bool secret;
};

void expectJudged(std::span<const Row> rows)
{
    for (const Row &row : rows)
        EXPECT_EQ(SecretDetector::containsSecret(QString::fromUtf8(row.text)), row.secret) << row.text;
}

TEST(PublicValuesTest, WordsInAnyScriptAreNeverGenerated)
{
    const Row rows[] = {
        {R"("Password": "Contraseña",)", false},
        {R"("Current Password": "Nuværende adgangskode",)", false},
        {R"("Reset Password": "Parolayı Sıfırla")", false},
        {R"(password: "Hasło_tymczasowe")", false},
        {R"('password' => 'required|alpha_dash|string|max:255',)", false},
        {R"('new_password' => 'required|string|min:8|confirmed')", false},
        // Digits in a word, random case or short random chunks are no words.
        {R"("Password": "Contraseña2024!x")", true},
        {R"(password: "kQ#mZ!pXwT")", true},
        {R"(password: "qz#kw!xp$mt")", true},
        {R"('password' => 'Hunter2|Xq3zW9vK')", true},
    };
    expectJudged(rows);
}

TEST(PublicValuesTest, FormTokensArePerPageNonces)
{
    const Row rows[] = {
        {R"(<input type="hidden" name="authenticity_token" value="x8AJk2Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4xC1vB6nM0qW3eR5tY8uI2oP4aS6dF9gH1jK3lZ5xC7vB9nM==" />)", false},
        {R"(  Parameters: {"authenticity_token"=>"x8AJk2Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4xC1vB6nM0qW3eR5tY8uI2oP4aS6dF9gH1jK3lZ5xC7v==", "commit"=>"Log in"})", false},
        {R"(<input type="hidden" name="_token" value="Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4" autocomplete="off">)", false},
        {R"(local.DEBUG: {"_token":"Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4","email":"ada@example.org"})", false},
        {R"(<input type="hidden" name="form_token" value="Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4">)", false},
        {R"(headers: {'X-CSRF-Token': 'Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4'})", false},
        // A token a form shows only its owner, or outside a hidden field, is one.
        {R"(<input type="text" name="api_token" value="Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4">)", true},
        {R"(<input type="hidden" name="client_secret" value="Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4">)", true},
        {R"(<a>hidden</a> value: "Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4" name: api_token)", false},
        {R"({"token":"Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4","email":"ada@example.org"})", true},
        {R"(self._token = "Qm9ZrT7bV4nL1pW0sE6yU3oI5aD2fG8hJ7kK9lZ4")", true},
    };
    expectJudged(rows);
}

TEST(PublicValuesTest, ObjectIdsAreNoKeys)
{
    const Row rows[] = {
        {"batch msgbatch_01GgqTz9XzriGNHzTSGZsJJ8 ended", false},
        {R"({"id": "msg_013Zva2CMHLNnXjNJJKqJ2EF", "type": "message"})", false},
        {R"({"type": "tool_use", "id": "toolu_01A09q90qw90lq917835lq9"})", false},
        {"chatcmpl-8XaZq3TgK9mNvB2cW7pRfLs1YdE4h", false},
        {"https://example.org/viewdocument?DocumentKey=12d8d106-1137-4d7c-8bb4-3ea1faec83fa", false},
        // A prefix that joins no objects' names, or a key's own name, stays a key.
        {"xyz_01GgqTz9XzriGNHzTSGZsJJ8", true},
        {"msgkey_01GgqTz9XzriGNHzTSGZsJJ8", true},
        {"pyin_01GgqTz9XzriGNHzTSGZsJJ8", true},
        {"https://api.example.org/v1/items?api_key=12d8d106-1137-4d7c-8bb4-3ea1faec83fa", true},
        {"DocumentKey=12d8d106-1137-4d7c-8bb4-3ea1faec83fa", true},
    };
    expectJudged(rows);
}

TEST(PublicValuesTest, APrefixBeforeASlotIsNoToken)
{
    const Row rows[] = {
        {"docker swarm join --token SWMTKN-1-<token> 10.0.0.1:2377", false},
        {R"(<user username="admin" password="&lt;must-be-changed&gt;" roles="manager-gui"/>)", false},
        {R"(api_key: "sk_live_<your-key>")", false},
        {R"(config.secret_key = '#{SecureRandom.hex(64)}')", false},
        {"docker swarm join --token SWMTKN-1-49nj1cmql0jkz5s954yi3oex3nedyz0fb0xx14ie39trti4wxv-8vxv8rssmk743ojnwacrr2e7c 10.0.0.1:2377",
         true},
        {R"(<user username="admin" password="Tr0ub4dor&amp;3xQ" roles="manager-gui"/>)", true},
        {R"(password="Tr0ub<4dor>Xq3zW9v")", true},
        {R"(define( 'AUTH_KEY', '`ZEk=?@^d2Gbt<Kty><hX~eG3F`z3Y5,!}I~@RwIm?lV:ds|$H$tZc9uT7ppK#L;' );)", true},
        {R"(config.secret_key = 'a8f#{x}3b9c7d2e1f0a8b7c6d5e4f3a2b1c0d9e8f7a6b5c4')", true},
    };
    expectJudged(rows);
}

TEST(PublicValuesTest, QualifiedAndNegatedNamesAreCode)
{
    const Row rows[] = {
        {"htpasswd = WEBrick::HTTPAuth::Htpasswd.new 'my_password_file', password_hash: :bcrypt", false},
        {"xhr.withCredentials = !!options.withCredentials;", false},
        {"password = Xq3z::Tr0ub4dorW9v", true},
        {"password = Xq3z:Tr0ub4dorW9v", true},
    };
    expectJudged(rows);
}

TEST(PublicValuesTest, OnlyTheAnnouncingColonIntroducesAPassword)
{
    const Row rows[] = {
        {"a generated password (see javadoc:org.springframework.boot.autoconfigure.security.SecurityProperties)", false},
        {"The generated password: Tr0ub4dorXq3zW9v", true},
        {"the temporary password:Tr0ub4dorXq3zW9v", true},
        {"Using generated security password: 8e557245-73e2-4286-969a-ff57fe326336", true},
    };
    expectJudged(rows);
}

} // namespace
