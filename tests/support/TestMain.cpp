#include <QApplication>
#include <gmock/gmock.h>

// Widgets, images and timers need an application object; ctest names the
// platform each suite runs on. Listing a suite's tests (ctest's discovery)
// names none: without a display that runs offscreen.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
