#pragma once

// What a web developer copies all day that holds no secret, though it holds
// prefixed ids, random-looking runs and secret-sounding names. Each is
// grouped by why it is no secret. Ids and nonces are shaped as their issuers
// print them; the keys are public ones from the tools' own manuals.

#include <QString>

#include <random>

namespace tamo::testing {

struct DeveloperCopy
{
    const char *why;
    QString text;
};

// A PNG's base64 of `size` characters, as compressed image data reads:
// runs of letters and digits between the odd '+' or '/', some of which
// spell a known prefix by chance (…/sk and 79 more letters is a token's shape).
inline QString pngDataUri(int size)
{
    const char *const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937 random(7);
    QString payload = QStringLiteral("iVBORw0KGgoAAAANSUhEUgAAAQAAAAEACAYAAABccqhmAAAA");
    while (payload.size() < size) {
        payload += QChar(u"+/"[random() % 2]);
        if (random() % 8 == 0)
            payload += QStringLiteral("sk");
        for (int run = 60 + int(random() % 60); run > 0; --run)
            payload += QChar::fromLatin1(alphabet[random() % 62]);
    }
    return QStringLiteral("data:image/png;base64,") + payload;
}

inline QList<DeveloperCopy> developerCopies()
{
    return {
        {"an option whose value is a word",
         "fetch(\"/api/items\", {\n  method: \"POST\",\n  credentials: \"same-origin\",\n"
         "  headers: { \"Content-Type\": \"application/json\" },\n  body: JSON.stringify(item),\n});"},
        {"a template expression",
         "apiVersion: v1\nkind: Secret\nmetadata:\n  name: {{ include \"app.fullname\" . }}\ntype: Opaque\ndata:\n"
         "  password: {{ .Values.auth.password | b64enc | quote }}\n"
         "  api-key: {{ .Values.auth.apiKey | default (randAlphaNum 32) | b64enc | quote }}\n"},
        {"an object id",
         "{\n  \"id\": \"pi_3MtwBwLkdIwHu7ix28a3tqPa\",\n  \"object\": \"payment_intent\",\n"
         "  \"latest_charge\": \"ch_3MtwBwLkdIwHu7ix2Wm1ocaT\",\n  \"payment_method\": \"pm_1MtwBwLkdIwHu7ixyq9q0Tko\",\n"
         "  \"price\": \"price_1MoBy5LkdIwHu7ixZhnattbh\",\n  \"order\": \"ord_Nq8Zt2Kx7mPvR4sLw3bY\"\n}\n"
         "stripe trigger: evt_1NG8Du2eZvKYlo2CUI79vXWy request_id=req_Xy7PqR2mNc8KtL4wZ9vB"},
        {"a name that says id",
         "2024-05-02T10:14:07Z INFO rotated signing key {\"key_id\": \"key_k4Rz8QmT2wXbN7vLpY3cV\", \"alg\": \"ES256\"}"},
        {"a nonce",
         "Content-Security-Policy: script-src 'nonce-Zk3qT9xB2mWv7LpR4nYc8A==' 'strict-dynamic'; object-src 'none'\n"
         "<script nonce=\"Zk3qT9xB2mWv7LpR4nYc8A==\" src=\"/static/app.js\"></script>"},
        {"a form token printed in every page",
         "<input type=\"hidden\" name=\"form_build_id\" value=\"form-Vq8Zt2Kx7mPvR4sLw3bYcN9qT5jH1uE6aD0fW2oXkLc\" />"},
        {"the payload of a declared binary type", "<img alt=\"logo\" src=\"" + pngDataUri(300 * 1024) + "\">"},
        {"a public key in wg show",
         "interface: wg0\n  public key: xTIBA5rboUvnH4htodjb6e697QjLERt1NAB4mZqp8Dg=\n  private key: (hidden)\n"
         "  listening port: 51820\n\npeer: TrMvSoP4jYQlY6RIzBgbssQqY3vxI2Pi+y71lOWWXX0=\n  endpoint: 192.95.5.69:51820\n"
         "  allowed ips: 10.192.122.0/24\n  latest handshake: 1 minute, 2 seconds ago\n"},
        {"an SSH public key",
         "users:\n  - name: deploy\n    ssh_authorized_keys:\n      - ssh-ed25519 "
         "AAAAC3NzaC1lZDI1NTE5AAAAIGq8Zt2Kx7mPvR4sLw3bYcN9qT5jH1uE6aD0fW2oXkL deploy@ci\n"
         "    host_key: AAAAE2VjZHNhLXNoYTItbmlzdHAyNTYAAAAIbmlzdHAyNTYAAABBBHq7Kb2mPw9Zx4TcV8nL3rYs6uJ0aE5dG1fQ2oXk"
         "M7bN4pR9tW8vC3zA6hS5jD0lF1gK2qI7yU4eO9wT3xB6mHc=\n"
         "deploy key: AAAAC3NzaC1lZDI1NTE5AAAAIGq8Zt2Kx7mPvR4sLw3bYcN9qT5jH1uE6aD0fW2oXkL"},
        {"a PEM public key and certificate",
         "signing:\n  public_key: |\n    -----BEGIN PUBLIC KEY-----\n"
         "    MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEq7Kb2mPw9Zx4TcV8nL3rYs6uJ0aE\n"
         "    5dG1fQ2oXkM7bN4pR9tW8vC3zA6hS5jD0lF1gK2qI7yU4eO9wT3xB6mHcQ==\n    -----END PUBLIC KEY-----\n"
         "  certificate: |\n    -----BEGIN CERTIFICATE-----\n"
         "    MIIBszCCAVmgAwIBAgIUQ7Kb2mPw9Zx4TcV8nL3rYs6uJ0aEwCgYIKoZIzj0EAwIw\n"
         "    EjEQMA4GA1UEAwwHdGVzdC1jYTAeFw0yNDAxMDEwMDAwMDBaFw0zNDAxMDEwMDAw\n    -----END CERTIFICATE-----\n"},
    };
}

} // namespace tamo::testing
