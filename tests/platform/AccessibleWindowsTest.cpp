#include "platform/AccessibleWindows.h"
#include "platform/KeyHintMenu.h"

#include "support/ShownText.h"

#include <QAccessible>
#include <QDialog>
#include <QMenu>
#include <QStyleOptionMenuItem>
#include <gtest/gtest.h>

namespace tamo {

// Stand-ins for the app's own windows.
class SampleWindow : public QWidget
{
    Q_OBJECT
};

class SampleDialog : public QDialog
{
    Q_OBJECT
};

} // namespace tamo

using namespace tamo;

namespace {

bool lists(const AccessibleApplication &application, QObject *window)
{
    for (int i = 0; i < application.childCount(); ++i) {
        if (application.child(i)->object() == window)
            return application.indexOfChild(application.child(i)) == i;
    }
    return false;
}

QAccessible::Role roleOf(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object)->role();
}

} // namespace

TEST(AccessibleWindows, ShownPopUpsAreAmongTheApplicationsWindows)
{
    AccessibleApplication application;
    QWidget window;
    QMenu menu;
    menu.addAction(QStringLiteral("Settings…"));
    window.show();
    window.hide();
    EXPECT_TRUE(lists(application, &window)) << "windows are listed shown or not, as Qt lists them";
    EXPECT_FALSE(lists(application, &menu));
    menu.popup(QPoint(20, 20));
    EXPECT_TRUE(lists(application, &menu));
    menu.hide();
    EXPECT_FALSE(lists(application, &menu));
}

TEST(AccessibleWindows, OurWindowsReadAsWindowsAndDialogsKeepTheirRole)
{
    installAccessibleWindows();
    SampleWindow window;
    SampleDialog dialog;
    QWidget plainChild(&window);
    SampleWindow ourChild;
    ourChild.setParent(&window);
    EXPECT_EQ(roleOf(&window), QAccessible::Window);
    EXPECT_EQ(roleOf(&dialog), QAccessible::Dialog);
    EXPECT_EQ(roleOf(&ourChild), QAccessible::Client);
    EXPECT_EQ(roleOf(&plainChild), QAccessible::Client);
}

TEST(KeyHintMenu, RowsShowTheirKeysTheDesktopsWayAndAreNamedByTheirTitles)
{
    struct Menu : KeyHintMenu
    {
        QString shownText(QAction *row) const
        {
            QStyleOptionMenuItem option;
            initStyleOption(&option, row);
            return option.text;
        }
    } menu;
    QAction *settings = menu.addAction(QStringLiteral("Settings…"));
    QAction *open = menu.addAction(QStringLiteral("Open TamoCove"));
    QAction *about = menu.addAction(QStringLiteral("About TamoCove"));
    KeyHintMenu::setKeys(settings, QStringLiteral("⌘,"));
    KeyHintMenu::setKeys(open, QStringLiteral("⌃⌥Z"));
    EXPECT_EQ(menu.shownText(settings), QStringLiteral("Settings…\tCtrl+,"));
    EXPECT_EQ(menu.shownText(open), QStringLiteral("Open TamoCove\tSuper+Alt+Z"));
    EXPECT_EQ(menu.shownText(about), QStringLiteral("About TamoCove"));
    EXPECT_EQ(tamo::testing::shownRows(menu), QStringList({"Settings…", "Open TamoCove", "About TamoCove"}));
    KeyHintMenu::setKeys(open, QString());
    EXPECT_EQ(menu.shownText(open), QStringLiteral("Open TamoCove"));
}

#include "AccessibleWindowsTest.moc"
