#include "platform/x11/X11Compositor.h"

#include <QTest>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>

using tamo::x11::X11Compositor;
using tamo::x11::X11Connection;

namespace {

// Stands in for a compositing manager: owns the screen's _NET_WM_CM_S0
// selection through a window of its own, on a connection of its own.
class CompositorStandIn
{
public:
    CompositorStandIn()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const char name[] = "_NET_WM_CM_S0";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, false, sizeof name - 1, name), nullptr);
        xcb_set_selection_owner(m_connection, m_window, atom->atom, XCB_CURRENT_TIME);
        std::free(atom);
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));  // sync
    }
    ~CompositorStandIn() { xcb_disconnect(m_connection); }

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_window = 0;
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
