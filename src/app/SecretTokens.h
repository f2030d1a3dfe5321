#pragma once

#include <QStringView>

namespace tamo::secrettokens {

// Whether a provider's prefixed key or token starts `rest`, standing alone up
// to its end: GitHub, GitLab, AWS, OpenAI, Stripe, Slack and the others the
// table lists. Where a format carries a checksum, it must hold.
bool startsWithToken(QStringView rest);

// Whether `rest` starts with a token of a format that carries a checksum,
// and the checksum fails: a made-up or mistyped token.
bool failsItsChecksum(QStringView rest);

// Whether a token may start with `c`: the scan tries the table only there.
bool mayStartToken(QChar c);

} // namespace tamo::secrettokens
