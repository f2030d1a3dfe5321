#pragma once

#include <QStringView>

namespace tamo::SecretDetector {

// Whether a credential appears anywhere in the text: a GitHub, AWS, OpenAI,
// Stripe, Slack or Google API key or token, a Slack webhook URL, a JSON Web
// Token, or a PEM, OpenSSH or PGP private key block. A candidate must look
// real: placeholders such as "ghp_xxxx…" and a key header with no key
// material under it do not count.
// One pass over the whole text, linear in its length; safe from any thread.
bool containsSecret(QStringView text);

} // namespace tamo::SecretDetector
