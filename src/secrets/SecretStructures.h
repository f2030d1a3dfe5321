#pragma once

#include "secrets/SecretProviderKeys.h"

#include <QStringView>

#include <array>
#include <span>
#include <string_view>

namespace tamo::secretstructures {

// A match of a structure's pattern in the text being scanned.
struct Found
{
    QStringView text;     // the whole text
    qsizetype begin = 0;  // of the match
    qsizetype end = 0;
    std::array<QStringView, 3> groups; // capture groups 1 to 3; empty where they did not take part
    secretproviders::Headings &headings; // of `text`, shared by one scan
};

// Text whose structure holds a credential whoever issued it: a URL with a
// password, a private key block, a netrc entry, a password handed to a
// command or a constructor, a value given to a name that says it is secret.
// The pattern finds a candidate; `holdsSecret` judges it.
struct Structure
{
    std::string_view id;
    std::string_view pattern; // RE2 syntax
    bool (*holdsSecret)(const Found &found);
};

std::span<const Structure> structures();

// Whether `value`, quoted or not, is a password someone chose; "$PASS" and
// other references are none.
bool isPasswordValue(QStringView value);

// Whether `encoded` is "user:password" in base64 with a password someone
// chose, as Docker's and npm's configs keep them.
bool holdsUserPassword(QStringView encoded);

// Whether the value in group 2, quoted or not, given to the name in group 1
// by other means than '=' or ':', is a secret by what the name promises.
bool namedValue(const Found &found);

// As namedValue, where the value is written out and is no code: an XML
// element's text, a Dockerfile's ENV, a default in a string literal.
bool namedLiteral(const Found &found);

} // namespace tamo::secretstructures
