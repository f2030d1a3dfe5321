#include "secrets/SecretCommands.h"

#include <cctype>

namespace tamo::secretcommands {

namespace {

// clang-format off
constexpr CommandPassword table[] = {
    {"mysql mysqldump mysqladmin mysqlimport mysqlshow mysqlcheck mariadb mariadb-dump mariadb-admin", "-p", Given::glued, "mysql(1): --password[=password], -p[password]"},
    {"sshpass", "-p", Given::either, "sshpass(1): -p password"},
    {"plink pscp psftp", "-pw", Given::apart, "PuTTY manual, plink: -pw password"},
    {"sqlcmd bcp osql", "-P", Given::either, "learn.microsoft.com sqlcmd utility: -P password"},
    {"ldapsearch ldapmodify ldapadd ldapdelete ldapcompare ldapmodrdn ldapwhoami ldappasswd ldapexop", "-w", Given::apart, "ldapsearch(1): -w passwd"},
    {"redis-cli", "-a", Given::apart, "redis-cli(1): -a <password>"},
    {"mongo mongosh mongodump mongorestore mongoexport mongoimport", "-p", Given::apart, "mongosh manual: --password, -p"},
    {"docker podman nerdctl", "-p", Given::apart, "docker login: --password, -p"},
    {"az", "-p", Given::apart, "az login: --password -p"},
    {"zip", "-P", Given::clustered, "zip(1): -P password"},
    {"7z 7za 7zz 7zr rar unrar", "-p", Given::glued, "7-Zip manual: -p{Password}; unrar: -p<pwd>"},
    {"keytool jarsigner", "-storepass", Given::apart, "keytool manual: -storepass arg"},
    {"keytool jarsigner", "-keypass", Given::apart, "keytool manual: -keypass arg"},
    {"openssl", "pass:", Given::glued, "openssl-passphrase-options(1): pass:password"},
    {"smbclient rpcclient smbcacls smbget", "-U", Given::userPercent, "smbclient(1): -U username[%password]"},
    {"smbclient rpcclient smbcacls smbget", "--user=", Given::userPercent, "smbclient(1): --user=username[%password]"},
    {"curl", "-u", Given::userColon, "curl(1): -u, --user <user:password>"},
    {"curl", "--user", Given::userColon, "curl(1): -u, --user <user:password>"},
    {"http https", "-a", Given::userColon, "HTTPie documentation, Authentication: -a, --auth USERNAME[:PASSWORD]"},
    {"http https", "--auth", Given::userColon, "HTTPie documentation, Authentication: -a, --auth USERNAME[:PASSWORD]"},
    {"curl", "--oauth2-bearer", Given::option, "curl(1): --oauth2-bearer <token>"},
    {"curl", "-U", Given::userColon, "curl(1): -U, --proxy-user <user:password>"},
    {"curl", "--proxy-user", Given::userColon, "curl(1): -U, --proxy-user <user:password>"},
    {"ssh-keygen", "-N", Given::clustered, "ssh-keygen(1): -N new_passphrase"},
    {"ssh-keygen", "-P", Given::clustered, "ssh-keygen(1): -P passphrase"},
    {"lftp", "-u", Given::userComma, "lftp(1): -u user[,pass]"},
    {"mosquitto_pub mosquitto_sub mosquitto_rr", "-P", Given::apart, "mosquitto_pub(1): -P, --pw password"},
    {"mosquitto_pub mosquitto_sub mosquitto_rr", "--pw", Given::option, "mosquitto_pub(1): -P, --pw password"},
    {"snmpwalk snmpbulkwalk snmpget snmpgetnext snmpbulkget snmpset snmptable snmptrap snmpstatus", "-A", Given::apart, "snmpcmd(1): -A authPassword"},
    {"snmpwalk snmpbulkwalk snmpget snmpgetnext snmpbulkget snmpset snmptable snmptrap snmpstatus", "-X", Given::apart, "snmpcmd(1): -X privPassword"},
    {"sqlplus rman expdp impdp sqlldr", "", Given::userSlash, "SQL*Plus User's Guide, SQLPLUS: username[/password][@connect_identifier]"},
    {"htpasswd", "-b", Given::lastArgument, "htpasswd(1): -b, batch mode: htpasswd -b[cmBdpsD] passwdfile username password; -n: to standard output"},
    {"poetry", "http-basic.", Given::lastArgument, "Poetry documentation, Repositories: poetry config http-basic.foo <username> <password>"},
    {"poetry", "pypi-token.", Given::lastArgument, "Poetry documentation, Repositories: poetry config pypi-token.foo <token>"},
};
// clang-format on

constexpr std::string_view value = R"x(("[^"\n]{1,200}"|'[^'\n]{1,200}'|[^\s'"]{1,200}))x";

std::string escaped(std::string_view literal)
{
    std::string text;
    for (char c : literal) {
        if (std::string_view("\\.+*?()[]{}|^$-").find(c) != std::string_view::npos)
            text += '\\';
        text += c;
    }
    return text;
}

// The flag as typed; a clustered flag may come last in a cluster of others
// (zip -rP), a batch flag anywhere in one (htpasswd -Bbn). Only those rows
// read clusters: a cluster read after every docker or az costs the scan.
std::string flagPattern(const CommandPassword &row)
{
    const bool oneLetter = row.flag.size() == 2 && row.flag[0] == '-' && std::isalpha(static_cast<unsigned char>(row.flag[1]));
    if (oneLetter && row.given == Given::clustered)
        return "-[A-Za-z]{0,8}" + std::string(1, row.flag[1]);
    if (oneLetter && row.given == Given::lastArgument)
        return "-[A-Za-z]{0,8}" + std::string(1, row.flag[1]) + "[A-Za-z]{0,8}";
    return escaped(row.flag);
}

} // namespace

std::span<const CommandPassword> commandPasswords()
{
    return table;
}

namespace {

// What follows the flag, the value in one group, quoted or not.
std::string valueAfterFlag(Given given)
{
    switch (given) {
    case Given::glued:
        return R"x(("[^"\n]{1,200}"|'[^'\n]{1,200}'|[^\s'"-][^\s'"]{1,200}))x";
    case Given::apart:
    case Given::clustered:
        return R"x([ \t]{1,8})x" + std::string(value);
    case Given::either:
        return R"x([ \t]{0,8})x" + std::string(value);
    case Given::userColon:
        return R"x((?:[ \t]{1,8}|=)["']?[^\s'":$]{1,64}:([^\s'"]{1,200}))x";
    case Given::userPercent:
        return R"x([ \t]{0,8}["']?[^\s'"%$]{1,64}%([^\s'"]{1,200}))x";
    case Given::userComma:
        return R"x([ \t]{1,8}["']?[^\s'",$]{1,64},([^\s'"]{1,200}))x";
    case Given::userSlash:
        return R"x(["']?[0-9A-Za-z_$#.]{1,64}/("[^"\n]{1,200}"|[^\s'"@/]{1,200}))x";
    case Given::option:
        return R"x((?:[ \t]{1,8}|=))x" + std::string(value);
    case Given::lastArgument:
        return R"x([^\s'"]{0,64}(?:[ \t]{1,8}[^\s'"]{1,200}){0,2}[ \t]{1,8})x" + std::string(value) + R"x([ \t]{0,8}(?:$|[;&|>)]))x";
    }
    return {};
}

} // namespace

std::string patternOf(const CommandPassword &row)
{
    std::string commands;
    for (std::string_view rest = row.commands; !rest.empty();) {
        const size_t space = std::min(rest.find(' '), rest.size());
        commands += (commands.empty() ? "" : "|") + escaped(rest.substr(0, space));
        rest.remove_prefix(std::min(space + 1, rest.size()));
    }
    // The command word, maybe behind a path or sudo, then its own arguments
    // up to the flag: never past the end of the command line, but over a
    // line continued with a backslash. A row a pattern: one shared by a
    // command's flags would judge only the first flag of a line.
    return R"x((?m)(?:^|[\s;&|(`])(?:[\w./-]{0,64}/)?(?:)x" + commands + R"x()(?:[ \t](?:[^\n;&|]|\\\n){0,200}?)?(?:[ \t]|\\\n))x"
        + flagPattern(row) + valueAfterFlag(row.given);
}

} // namespace tamo::secretcommands
