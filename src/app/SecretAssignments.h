#pragma once

#include "app/SecretProviderKeys.h"

#include <QStringView>

namespace tamo::secretassignments {

// Whether the '=' or ':' at `separatorAt` gives a secret a value, as in
// `aws_secret_access_key = …`, `"SecretAccessKey": "…"`, `API_TOKEN=…`,
// `password: …` or `AccountKey=…;` of a connection string. The value must
// look real: no reference such as ${VAR}, no placeholder, no code. A
// provider's generic-looking key counts where `headings` (of `text`) or the
// line name its provider.
bool isSecretAssignment(QStringView text, qsizetype separatorAt, secretproviders::Headings &headings);

// Whether the ':' at `colonAt` splits the user and the password given to
// curl's -u or --user, as in `curl -u deploy:… https://…`.
bool isCurlUserPassword(QStringView text, qsizetype colonAt);

// Whether the "://" at `colonAt` starts a URL with a password in it, as in
// postgres://app:…@db.example.com/app.
bool isUrlWithPassword(QStringView text, qsizetype colonAt);

} // namespace tamo::secretassignments
