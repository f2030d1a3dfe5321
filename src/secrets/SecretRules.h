#pragma once

#include "secrets/SeparatorRuns.h"

#include <QStringView>

#include <span>
#include <string_view>

namespace tamo::secretrules {

// Where a rule's pattern is looked for.
enum class Where {
    anywhere,    // in the whole text: the token names its issuer
    givenToName, // against the whole value given to a name: a key whose shape
                 // says too little unless its provider is named around it
};

// One format of key or token. Adding a format is adding a row.
struct SecretRule
{
    std::string_view id;
    std::string_view provider;
    Where where;
    // Lower case, space separated. Anywhere: one must appear on the token's
    // line or the line above (empty: none needed). Given to a name: the
    // provider's names, one of which the name, the line or a section above
    // must hold.
    std::string_view keywords;
    // RE2 syntax. Anywhere: group 1 is the random part, and the match must
    // stand alone (no word character or dash glued to either end). Given to
    // a name: the whole value.
    std::string_view pattern;
    double minEntropy; // Shannon bits per character of the random part
    bool (*looksReal)(QStringView random); // its shape, or its checksum
    // Documented fakes and public look-alikes, space separated: a match
    // holding one is none.
    std::string_view fakes;
};

std::span<const SecretRule> rules();

// The row for tokens of issuers no other row lists: it must not take a
// listed token glued to a word for an unlisted one.
bool isAnyIssuer(const SecretRule &rule);

// Whether a token of no listed issuer is an id naming an object (pi_…,
// req_…, id_…) or a nonce, which a response or page prints for all to see.
bool namesAnObject(QStringView token);

// What every token of `rule` holds where its pattern has no literal to look
// for; null where it has one, or none is known.
const SeparatorRun *separatorRunOf(const SecretRule &rule);

// Whether `random`, matched by `rule`, passes the rule's entropy, shape or
// checksum, and is none of its documented fakes (`match` is the whole token).
bool passes(const SecretRule &rule, QStringView match, QStringView random);

// Whether `value` is a whole token of a format that carries a checksum, and
// the checksum fails: a made-up or mistyped token.
bool failsItsChecksum(QStringView value);

// Shannon entropy of the characters, in bits per character.
double entropy(QStringView text);

} // namespace tamo::secretrules
