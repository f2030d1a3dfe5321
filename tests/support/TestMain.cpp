#include <QApplication>
#include <gmock/gmock.h>

// Widgets, images and timers need an application object; the suites run it
// on the offscreen platform.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
