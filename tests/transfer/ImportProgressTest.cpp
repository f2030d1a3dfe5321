#include "transfer/ImportProgress.h"
#include "support/UnnamedControls.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tamo;

// A quit closes every window and is given up when one refuses: the window
// once stopped the import instead, and the app went on running.
TEST(ImportProgressTest, TheUserStopsTheImportButAQuitClosesTheWindow)
{
    struct Case
    {
        const char *name;
        std::function<bool(ImportProgressWindow &)> act; // whether the window closed
        bool stops;
    };
    const std::vector<Case> cases{
        {"Cancel", [](ImportProgressWindow &window) {
             QTest::mouseClick(window.findChild<QPushButton *>(), Qt::LeftButton);
             return window.isHidden();
         }, true},
        {"Escape", [](ImportProgressWindow &window) {
             QTest::keyClick(&window, Qt::Key_Escape);
             return window.isHidden();
         }, true},
        {"quit", [](ImportProgressWindow &window) { return window.close(); }, false},
    };
    for (const Case &c : cases) {
        ImportProgressWindow window;
        int stops = 0;
        window.begin(QStringLiteral("Importing “a.tamocove”"), [&stops] { ++stops; });
        window.update(QStringLiteral("Adding 1 of 2 clips…"), 1, 2);
        window.show();
        EXPECT_EQ(c.act(window), !c.stops) << c.name;
        EXPECT_EQ(stops, c.stops ? 1 : 0) << c.name;
        EXPECT_TRUE(tamo::testing::unnamedControls(&window).isEmpty()) << c.name;
    }
}
