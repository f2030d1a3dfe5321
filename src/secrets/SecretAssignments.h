#pragma once

#include "secrets/SecretProviderKeys.h"

#include <QStringView>

namespace tamo::secretassignments {

// Whether the '=' or ':' at `separatorAt` gives a secret a value, as in
// `aws_secret_access_key = …`, `"SecretAccessKey": "…"`, `API_TOKEN=…`,
// `password: …` or `AccountKey=…;` of a connection string. The value must
// look real: no reference such as ${VAR}, no placeholder, no code. A
// provider's generic-looking key counts where `headings` (of `text`) or the
// line name its provider.
bool isSecretAssignment(QStringView text, qsizetype separatorAt, secretproviders::Headings &headings);

// Whether `value`, given to `name` (of `text`) by other means than '=' or
// ':' (setx NAME "…", fish's set -gx NAME …, a Terraform variable's
// default), is a secret by what the name promises. `inCode`: the value may
// be code naming a value (settings.secret_key2) rather than the value.
bool isSecretValue(QStringView text, QStringView name, QStringView value, bool quoted, bool inCode = true);

// Whether `value`, given outside code (a URL, a netrc file, a command
// line), could be a password someone chose: long enough, letters with
// digits or symbols, no placeholder or reference. `quoted`
// values may start with characters that unquoted start a comment or a path.
bool isRealPassword(QStringView value, bool quoted);

// Whether the value starting at `valueAt` is given to a name that says it
// is no secret: a page token, a CSRF token, a hash, a link's query
// parameter whose name is not a key's.
bool isGivenToNonSecretName(QStringView text, qsizetype valueAt);

// Public keys that sound secret: Stripe's publishable keys, Mapbox's public tokens, SSH public keys.
bool isPublicKey(QStringView value);

// References to a secret kept elsewhere (${VAR}, %VAR%, {{ secrets.X }},
// <your key>; unquoted also YAML's !Ref Name, *alias and Azure's
// @Microsoft.KeyVault(…)) and paths are no secret.
bool startsAsReference(QStringView value, bool quoted);

// Placeholders (YOUR_API_KEY, xxxx, changeme, a slot as <token>, …) and documented fakes.
bool isPlaceholder(QStringView value);

} // namespace tamo::secretassignments
