#include "AppModelFixture.h"
#include "support/FakeStatusItem.h"

#include "app/AboutPanel.h"
#include "app/Product.h"
#include "app/TamoApp.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace tamo::testing {
namespace {

QStringList labelTexts(const QWidget &window)
{
    QStringList texts;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->text().isEmpty())
            texts.append(label->text());
    }
    return texts;
}

int shownPanels()
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        count += qobject_cast<AboutPanel *>(window) && window->isVisible();
    return count;
}

class AboutPanelTest : public AppModelFixture
{
protected:
    AboutPanelTest()
    {
        QPixmap icon(64, 64);
        icon.fill(Qt::darkCyan);
        QApplication::setWindowIcon(icon);
    }
    ~AboutPanelTest() override
    {
        QApplication::setWindowIcon({});
    }
};

// Icon, name, version, copyright and licence, as a desktop's about dialog
// shows them; asked again, the one panel comes back to the front.
TEST_F(AboutPanelTest, OnePanelWithWhatADesktopsAboutDialogShows)
{
    AboutPanel panel;
    panel.showAbout();
    panel.showAbout();
    EXPECT_EQ(shownPanels(), 1);
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("About TamoCove"));
    const QStringList texts = labelTexts(panel);
    for (const QString &expected : {QStringLiteral("TamoCove"), QStringLiteral("Version ") + product::version(),
                                    AboutPanel::copyrightLine, AboutPanel::licence})
        EXPECT_TRUE(texts.contains(expected)) << expected.toStdString() << " in " << texts.join('|').toStdString();
    const auto labels = panel.findChildren<QLabel *>();
    EXPECT_TRUE(std::any_of(labels.cbegin(), labels.cend(), [](QLabel *label) { return !label->pixmap().isNull(); }));

    panel.close();
    panel.showAbout();
    EXPECT_EQ(shownPanels(), 1);
}

TEST_F(AboutPanelTest, TheTrayMenusAboutOpensIt)
{
    AboutPanel panel;
    AppExtensions extensions = ext.extensions();
    extensions.about = &panel;
    AppModel model(services(), storeDir.path(), extensions);
    FakeStatusItem tray;
    TamoApp app(model, defaults, tray);
    for (QAction *row : app.menu()->actions()) {
        if (row->text() == u"About TamoCove")
            row->trigger();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.isVisible(); }));
}

} // namespace
} // namespace tamo::testing
