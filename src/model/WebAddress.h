#pragma once

#include <QUrl>

namespace tamo {

// An address TamoCove may fetch from or hand to the browser on its own: https
// to a named host, so nobody on the way can read or change what comes back.
bool isSecureWebAddress(const QUrl &url);

} // namespace tamo
