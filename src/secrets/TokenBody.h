#pragma once

#include <QStringView>

namespace tamo::tokenbody {

// Whether `body`, what follows an issuer's short prefix and its separator
// (sk_prod_…, px-dep-…, signkey-test-…), is what a token generator makes:
// long enough, of one alphabet (base62 or base64url, or capitals and
// digits), random in it, and not spelt in words, not a name made of short
// parts and not a UUID. Dashes and underscores inside count for nothing.
bool looksIssued(QStringView body);

} // namespace tamo::tokenbody
