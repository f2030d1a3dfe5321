#pragma once

#include <QStringView>

namespace tamo::secretassignments {

// Whether the '=' or ':' at `separatorAt` gives a secret a value, as in
// `aws_secret_access_key = …`, `"SecretAccessKey": "…"`, `API_TOKEN=…`,
// `password: …` or `AccountKey=…;` of a connection string. The value must
// look real: no reference such as ${VAR}, no placeholder, no code.
bool isSecretAssignment(QStringView text, qsizetype separatorAt);

// Whether the "://" at `colonAt` starts a URL with a password in it, as in
// postgres://app:…@db.example.com/app.
bool isUrlWithPassword(QStringView text, qsizetype colonAt);

} // namespace tamo::secretassignments
