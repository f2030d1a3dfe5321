#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tamo::secretcommands {

// How a command takes its password after the flag.
enum class Given {
    glued,        // -pSECRET
    apart,        // -p SECRET
    clustered,    // -P SECRET, also at the end of a cluster of flags: -rP SECRET
    either,       // -pSECRET or -p SECRET
    userColon,    // -u user:SECRET
    userPercent,  // -U user%SECRET
    userComma,    // -u user,SECRET
    userSlash,    // user/SECRET@database, as the command's own argument
    option,       // --flag SECRET or --flag=SECRET
    lastArgument, // -b [file] user SECRET: the command's last argument, the
                  // flag maybe among others (-Bbn)
};

// A flag that hands a command its password. A flag means a password only
// for the commands that read one there: `-p` is a port to ssh and psql, a
// mode to cp and mkdir, a password to mysql. Adding a command is adding a row.
struct CommandPassword
{
    std::string_view commands; // space separated
    std::string_view flag;     // as typed, e.g. "-p", "-pw", "-passin pass:"
    Given given;
    std::string_view source;   // the manual the row was written from
};

std::span<const CommandPassword> commandPasswords();

// The RE2 pattern finding the row's password on a command line: group 1
// is the value, quoted or not.
std::string patternOf(const CommandPassword &row);

} // namespace tamo::secretcommands
