#include "secrets/SecretDetector.h"
#include "support/TestNames.h"

#include <QString>
#include <gtest/gtest.h>

using namespace tamo;

// Texts people copy every day that hold no secret: a copy dropped for one
// of them is lost without a word.

namespace {

struct Everyday
{
    const char *kind;
    const char *text;
};

const Everyday everydayTexts[] = {
    // Flags that take no password.
    {"mkdir", "mkdir -p build/release"},
    {"cp", "cp -p notes.txt backup/notes.txt"},
    {"rsync", "rsync -avz -p --delete src/ backup:/srv/site/"},
    {"ssh port", "ssh -p 2222 deploy@web01.internal"},
    {"scp port", "scp -P 2222 dump.sql deploy@web01:/tmp/"},
    {"fsck", "sudo e2fsck -p /dev/sdb1"},
    {"git patch", "git log -p --follow src/main.cpp"},
    {"git add", "git add -p src/secrets/SecretRules.cpp"},
    {"ps", "ps -p 4242 -o pid,cmd"},
    {"install", "install -p -m 0644 tamocove.desktop /usr/share/applications/"},
    {"psql port and user", "psql -h db.internal -p 5432 -U reporting analytics"},
    {"node print", "node --inspect -p 'inspector.url()'"},
    {"docker port", "docker run -p 8080:80 -u 1000:1000 nginx:stable"},
    {"useradd", "useradd -m -u 1500 -p '!' builder"},
    {"find", "find . -name '*.o' -print -perm -u=rwx"},
    {"prose about a flag", "executed if needed when printing it to stderr; likewise -p (--interactive)."},
    {"curl user alone", "curl -u deploy https://ci.example.com/api/queue"},
    {"unzip list", "unzip -l archive.zip && tar -xzpf backup.tgz"},
    // Shopping, booking, ad-click, search and tracking links.
    {"booking link", "https://www.booking.com/hotel/fr/le-petit.html?aid=304142&label=gen173nr-1FCAEoggI46AdIM1gEaE2IAQGYAQm4ARfIAQzYAQHoAQH4AQuIAgGoAgO4AsGl4aoGwAIB0gIkM2Q0NGRiYmEtZDkxNi00NjQwLWE2ZmYtYjYyYTQyNTdmOGVm2AIG4AIB&sid=1c3e0e61b0d4f5a2&dist=0"},
    {"search ad click", "https://www.googleadservices.com/pagead/aclk?sa=L&ai=DChcSEwi4lZ2K7ZWCAxWJ0ncKHUs3BtIYABAAGgJlZg&ae=2&sig=AOD64_3QYwq0kA7Vv2NfYcQh9TmXW7mQmA&q&adurl&ved=2ahUKEwjHoJ2K7ZWCAxXzhP0HHXk3C0cQ0Qx6BAgHEAE"},
    {"search result", "https://www.google.com/search?q=rsync+preserve+permissions&ei=dXNlZbG7BNWsi-gPl7SG4Ac&ved=0ahUKEwixmPK88JWCAxVVlgIHHRdaAXwQ4dUDCBA&uact=5&oq=rsync"},
    {"ad click ids", "https://shop.example.com/p/4711?gclid=Cj0KCQjw8NilBhDOARIsAHzpbLBu3kmJgE2fZxQeqTc9NvA8eU9mGhTqOe3kN4FzA7wXaAk8oEALw_wcB&fbclid=IwAR2Fh7d3xS9Qq4bWzKpLkXvM1aN8rT6yJcE0uHgV5iO3sD"},
    {"newsletter tracking", "https://news.example.org/a/2024/spring?utm_source=newsletter&utm_medium=email&utm_campaign=spring_sale_2024&utm_content=hero_button_v2&mc_eid=5f3b2a9c1d"},
    {"shared document", "  https://docs.google.com/spreadsheet/ccc?key=0Ao1yRmX6PQQzdG5wSFlrZl9HRWNET3ZyN0hnaGo5ZFE&usp=sharing"},
    {"shop product", "https://www.amazon.de/dp/B0BSHF7WHW/ref=sr_1_3?crid=2M8KX3ZQ0V1JQ&keywords=usb+c+hub&qid=1699871234&sprefix=usb+c%2Caps%2C98&sr=8-3"},
    // C and C++ identifiers and defines.
    {"X protocol define", "#define sz_xXF86DRIQueryDirectRenderingCapableReply 32"},
    {"enum constant", "    VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_SHADER_INTEGER_DOT_PRODUCT_PROPERTIES_KHR = 1000280001,"},
    {"test names", "    def test_undefinedExceptionNameObscuringLocalVariable2(self):"},
    {"mangled call", "    nid_key = self._lib.NID_aes_256_cbc"},
    {"long Qt name", "QAbstractItemModelTester_FailureReportingMode_QtTest2"},
    {"OpenSSL object name", "#define OBJ_pbe_WithSHA1And40BitRC2_CBC         OBJ_pkcs12_pbeids,6L"},
    {"OpenSSL parameter set", "#define OBJ_id_GostR3411_94_CryptoProParamSet           OBJ_cryptopro,30L,1L"},
    {"NSS callback type", "                      SEC_PKCS7DecryptionAllowedCallback decrypt_allowed_cb);"},
    {"NSS function", "SEC_PKCS7CreateEncryptedDataWithPBEV2(SECOidTag pbe_algorithm,"},
    {"X request size", "#define sz_xXF86DRIGetClientDriverNameReq\t8"},
    // Types, constants, calls, paths and placeholders under key-like names.
    {"type annotation", "private_key: ed25519.Ed25519PrivateKey = load_key()"},
    {"parameter annotation", "        self, private_key: ed25519.Ed25519PrivateKey, f_priv: _FragList"},
    {"constant", "SECRET_KEY_LENGTH = MAX_KEY_BYTES_V2 * 2"},
    {"C declaration", "static const char *api_token = kDefaultApiTokenName;"},
    {"call", "auth_token = session.fetchAccessToken2(refreshHandle)"},
    {"path", "ssl_key: /etc/ssl/private/web01.example.com.key"},
    {"placeholder", "OPENAI_API_KEY=<paste-your-key-here-2024>"},
    {"TypeScript type", "  readonly apiKey: ApiKeyCredentialV2;"},
    // Hashes named as hashes, UUIDs and digests on their own.
    {"fingerprint under a key's name", "sig_key:        51:C4:0C:6D:7E:A5:6C:D8:8F:B4:3A:DF:91:78:4F:18:BC:D5:E4:C5"},
    {"commit hash", "commit_sha=9fceb02d0ae598e95dc970b74767f19372d61af8"},
    {"content digest", "sha256:4bc453b53cb3d914b45f4b250294236adba2c0e09ff6f03793949e7e39fd4cc1"},
    {"UUID", "f47ac10b-58cc-4372-a567-0e02b2c3d479"},
    // Code and configuration whose values are no key however they are named.
    {"JavaScript comparison", "return b&&(\"input\"===b&&(\"text\"===a.type||\"password\"===a.type)||\"textarea\"===b)"},
    {"struct tag options", "`protobuf:\"bytes,13,rep,name=proto2_value\" protobuf_key:\"varint,1,opt,name=key,proto3\"`"},
    {"test's made-up token", "            expectedToken: \"server-valid-token-1\","},
    {"digest behind a capital word", "npx postject hello NODE_SEA_BLOB sea-prep.blob --sentinel-fuse NODE_SEA_FUSE_fce680ab2cc467b6e072b8b5df1996b2"},
    {"cipher string", "This means that you can now say, e.g., \"PSK:-PSK:HIGH\" to enable"},
    {"enumerator's doc comment", " * @GNUTLS_KX_ECDHE_PSK: ECDHE-PSK key-exchange algorithm."},
    {"changelog sentence", "  * pg_virtualenv: Write temporary password file before chowning the file.\n    (Closes: #933569)"},
    {"object identifier", "id_alg_AEADChaCha20Poly1305 = _OID(1, 2, 840, 113549, 1, 9, 16, 3, 18)"},
    {"npm integrity", "\"integrity\": \"sha512-v2kDEe57lecTulaDIuNTPy3Ry4gLGJ6Z1O3vE1krgXZNrsQ+LFTGHVxVjcXPs17LhbZVGedAJv8XZ1tvj5FvSg==\""},
};

class EverydayText : public ::testing::TestWithParam<Everyday>
{
};

TEST_P(EverydayText, IsNeverTakenForASecret)
{
    EXPECT_FALSE(SecretDetector::containsSecret(QString::fromUtf8(GetParam().text))) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Copies, EverydayText, ::testing::ValuesIn(everydayTexts),
                         [](const ::testing::TestParamInfo<Everyday> &info) { return tamo::testing::testNameOf(info.param.kind); });

} // namespace
