#include "platform/x11/X11Accessibility.h"

#include "platform/x11/X11Log.h"

#include <xcb/xtest.h>

namespace tamo::x11 {

bool X11Accessibility::isTrusted() const
{
    return m_x11.isValid() && xcb_get_extension_data(m_x11.xcb, &xcb_test_id)->present;
}

void X11Accessibility::promptForTrust()
{
    qCInfo(lcX11) << "X11 grants synthetic input without asking; the X server"
                  << (isTrusted() ? "has" : "lacks") << "the XTest extension";
}

} // namespace tamo::x11
