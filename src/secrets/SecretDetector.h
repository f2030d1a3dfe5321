#pragma once

#include <QStringView>

#include <cstddef>

namespace tamo::SecretDetector {

// Whether a credential appears anywhere in the text: a provider's API key or
// access token (GitHub, GitLab, AWS, OpenAI, Anthropic, Stripe, Slack and
// many more), a webhook URL, a bot token, a JSON Web Token, a private key
// block, a URL with a password, or a value given to a name that says it is
// secret (`api_key=`, `"SecretAccessKey":`, `password:`). A candidate must
// look real: placeholders, references such as ${VAR}, a key header with no
// key material under it and tokens failing their checksum do not count.
// One pass over the whole text, linear in its length; safe from any thread.
bool containsSecret(QStringView text);

// What one scan did, counted: characters the patterns ran over and matches
// judged, which stay within a few times the text's length whatever its shape,
// and characters whose groups only the slowest engine could read.
struct ScanWork
{
    size_t searched = 0;
    size_t judged = 0;
    size_t readSlowly = 0;
};

// As above, adding what the scan did to `work`.
bool containsSecret(QStringView text, ScanWork &work);

} // namespace tamo::SecretDetector
