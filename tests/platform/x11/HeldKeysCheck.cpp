// Every X11 test begins and ends with no key held down on the X server. A key
// left down (an xdotool stopped between its press and its release) makes the
// next press of it a repeat, which shortcuts ignore; this names the keys and
// the test that left them instead of letting a later test fail for no reason.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// The names of the keys held down on the display, comma-separated.
std::string heldKeys()
{
    const std::unique_ptr<Display, int (*)(Display *)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display)
        return {};
    char keys[32];
    XQueryKeymap(display.get(), keys);
    std::string names;
    for (int code = 8; code < 256; ++code) {
        if (!(keys[code / 8] & (1 << (code % 8))))
            continue;
        const char *name = XKeysymToString(XkbKeycodeToKeysym(display.get(), KeyCode(code), 0, 0));
        names += (names.empty() ? "" : ", ") + (name ? std::string(name) : "keycode " + std::to_string(code));
    }
    return names;
}

class HeldKeysCheck : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        const std::string held = heldKeys();
        EXPECT_TRUE(held.empty()) << "keys were held down before the test began: " << held;
    }
    // After the fixture is gone, with whatever it started.
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        const std::string held = heldKeys();
        EXPECT_TRUE(held.empty()) << "the test left keys held down: " << held;
    }
};

const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new HeldKeysCheck);
    return true;
}();

} // namespace
