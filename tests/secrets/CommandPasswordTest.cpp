#include "secrets/SecretDetector.h"

#include <QString>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct CommandLine
{
    const char *text;
    bool holdsPassword;
};

// A flag is a password only for the command that reads one there; the
// same flag on another command, or on the same command without a value,
// is something else.
const CommandLine commandLines[] = {
    {"mysql -h db -u root -pXq7.Kb2m~k2 shop", true},
    {"sudo /usr/bin/mariadb-dump -u root -p'Xq7.Kb2m~k2' shop > shop.sql", true},
    {"sshpass -p 'Xq7.Kb2m~k2' ssh deploy@10.0.0.5", true},
    {"sshpass -pXq7.Kb2m~k2 ssh deploy@10.0.0.5", true},
    {"plink -ssh -pw Xq7.Kb2m~k2 deploy@10.0.0.5", true},
    {"sqlcmd -S db01 -U sa -P Xq7.Kb2m~k2 -Q \"SELECT 1\"", true},
    {"ldapsearch -x -D \"cn=admin,dc=example,dc=org\" -w Xq7.Kb2m~k2 -b dc=example,dc=org", true},
    {"redis-cli -h cache -a Xq7.Kb2m~k2 ping", true},
    {"mongosh \"mongodb://db01:27017\" -u admin -p Xq7.Kb2m~k2", true},
    {"smbclient //nas/share -U ada%Xq7.Kb2m~k2", true},
    {"curl -fsS -u ada:Xq7.Kb2m~k2 https://ci.example.com/api/json", true},
    {"curl https://ci.example.com \\\n  -u ada:Xq7.Kb2m~k2", true},
    {"zip -P Xq7.Kb2m~k2 -r backup.zip docs/", true},
    {"7z a -pXq7.Kb2m~k2 backup.7z docs/", true},
    {"openssl pkcs12 -export -in c.pem -out c.p12 -passout pass:Xq7.Kb2m~k2", true},
    {"keytool -list -keystore app.jks -storepass Xq7.Kb2m~k2", true},
    {"mysql -h db -u root -p shop", false},
    {"mysql -h db -u root -p && mkdir -p Xq7.Kb2m~k2", false},
    {"ssh -p Xq7.Kb2m~k2 deploy@10.0.0.5", false},
    {"node --inspect -p 'Xq7.Kb2m~k2()'", false},
    {"docker run -u 1000:1000 -p 8080:80 img", false},
    {"git commit -p -m 'Xq7.Kb2m~k2'", false},
    {"psql -h db -p 5432 -U report Xq7.Kb2m~k2", false},
    {"smbclient //nas/share -U ada", false},
};

class CommandPassword : public ::testing::TestWithParam<CommandLine>
{
};

TEST_P(CommandPassword, IsFoundOnlyWhereTheCommandTakesOne)
{
    EXPECT_EQ(SecretDetector::containsSecret(QString::fromUtf8(GetParam().text)), GetParam().holdsPassword)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandPassword, ::testing::ValuesIn(commandLines));

// Long options and combined short flags: the family, not one tool. An
// option read from a file or a descriptor, an empty passphrase, a
// reference and the next option are no password.
const CommandLine optionLines[] = {
    {"curl -fsSL --oauth2-bearer 'QlPFi8FKf52f7o0yydbDqYXX3Ei7GUb9rXTNBgWN' https://api.example.com/v1/me", true},
    {"curl -x http://proxy:3128 --proxy-user ada:Xq7.Kb2m~k2 https://example.org", true},
    {"gpg --batch --pinentry-mode loopback --passphrase 'Xq7.Kb2m~k2' -d backup.tar.gpg", true},
    {"wget --proxy-user=ada --proxy-password=Xq7.Kb2m~k2 https://mirror.example.org/x.iso", true},
    {"ssh-keygen -p -P 'Xq7.Kb2m~k2' -N 'Rq7vLm2xT9kd' -f ~/.ssh/id_rsa", true},
    {"zip -rP Xq7.Kb2m~k2 backup.zip docs/", true},
    {"lftp -u ada,Xq7.Kb2m~k2 sftp://files.example.org", true},
    {"mosquitto_pub -h broker.lan -u sensor -P Xq7.Kb2m~k2 -t home/temp -m 21", true},
    {"snmpwalk -v3 -l authPriv -u monitor -a SHA -A \"$AUTH_PASS\" -x AES -X Rq7vLm2xT9kd 10.0.0.1", true},
    {"sqlplus system/Xq7.Kb2m~k2@//db01:1521/ORCLPDB1", true},
    {"htpasswd -Bbn ada Xq7.Kb2m~k2", true},
    {"poetry config http-basic.private ada Xq7.Kb2m~k2", true},
    {"curl --oauth2-bearer \"$TOKEN\" https://api.example.com/v1/me", false},
    {"gpg --batch --passphrase-file ~/.gnupg/pass.txt -d backup.tar.gpg", false},
    {"ssh-keygen -t ed25519 -N '' -f ~/.ssh/ci", false},
    {"psql --no-password --dbname=shop2024 -h db", false},
    {"docker run -dp 3000:3000 getting-started", false},
    {"lftp -u ada sftp://files.example.org", false},
    {"sqlplus / as sysdba", false},
    {"poetry config http-basic.private ada", false},
};

INSTANTIATE_TEST_SUITE_P(Options, CommandPassword, ::testing::ValuesIn(optionLines));

} // namespace
