#include "OtherClient.h"
#include "platform/x11/X11Compositor.h"

#include <QTest>
#include <gtest/gtest.h>

using tamo::testing::OtherClient;
using tamo::x11::X11Compositor;
using tamo::x11::X11Connection;

namespace {

// Stands in for a compositing manager: owns the screen's _NET_WM_CM_S0
// selection through a window of its own, on a connection of its own.
class CompositorStandIn
{
public:
    CompositorStandIn()
    {
        xcb_set_selection_owner(m_client.connection(), m_client.createWindow(XCB_WINDOW_CLASS_INPUT_ONLY),
                                m_client.atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
        m_client.sync();
    }

private:
    OtherClient m_client;
};

} // namespace

TEST(X11Compositor, RunsWhileTheScreensCompositingSelectionHasAnOwner)
{
    const X11Compositor compositor(X11Connection::fromApplication());
    ASSERT_FALSE(compositor.isRunning()) << "the test X server has no compositor";
    {
        const CompositorStandIn standIn;
        EXPECT_TRUE(compositor.isRunning());
    }
    // The owner's connection closed, and the selection went with it once the
    // server has handled the close.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !compositor.isRunning(); }, 5000));
    EXPECT_FALSE(X11Compositor(X11Connection()).isRunning());
}
