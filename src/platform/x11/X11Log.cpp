#include "platform/x11/X11Log.h"

namespace tamo::x11 {

Q_LOGGING_CATEGORY(lcX11, "tamo.platform.x11")

} // namespace tamo::x11
