#include "model/WebAddress.h"

namespace tamo {

bool isSecureWebAddress(const QUrl &url)
{
    return url.isValid() && url.scheme().compare(u"https", Qt::CaseInsensitive) == 0 && !url.host().isEmpty();
}

} // namespace tamo
