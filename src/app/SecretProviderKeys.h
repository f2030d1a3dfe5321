#pragma once

#include <QStringView>

namespace tamo::secretproviders {

// Whether `value`, given by the '=' or ':' at `separatorAt` to `name`, is a
// provider's key whose own shape says too little (32 hex digits, a UUID, 88
// characters of base64) and whose provider is named around it: in the name
// (`DATADOG_APP_KEY=`), earlier on its line (`{"datadog": {"app_key": …`) or
// in the section it sits in (`[datadog]` above `app_key = …`, a YAML or JSON
// parent key). The name must sound like a key's or name the provider.
bool isProviderKey(QStringView text, qsizetype separatorAt, QStringView name, QStringView value);

} // namespace tamo::secretproviders
