#include "platform/Symbols.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPalette>

using namespace tamo;

namespace {

int pixelsOf(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).alpha() > 100 && image.pixelColor(x, y).rgb() == colour.rgb();
    return count;
}

} // namespace

TEST(Symbols, EverySymbolDrawsInThePaletteTextColour)
{
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    const QStringList files = QDir(QStringLiteral(":/symbols")).entryList();
    ASSERT_GT(files.size(), 40);
    for (const QString &file : files) {
        const QImage image = symbolIcon(QFileInfo(file).completeBaseName()).pixmap(24, 24).toImage();
        EXPECT_GT(pixelsOf(image, text), 10) << file.toStdString();
    }
    EXPECT_TRUE(symbolIcon(QStringLiteral("no.such.symbol")).isNull());
}

TEST(Symbols, ACheckedMenuRowWithAnIconShowsACheckMark)
{
    const QColor accent = QGuiApplication::palette().color(QPalette::Highlight);
    QMenu menu;
    QAction *row = menu.addAction(checkableIcon(symbolIcon(QStringLiteral("doc"))), QStringLiteral("File"));
    row->setCheckable(true);
    menu.ensurePolished();
    menu.resize(menu.sizeHint());
    const int unchecked = pixelsOf(menu.grab().toImage(), accent);
    row->setChecked(true);
    EXPECT_GT(pixelsOf(menu.grab().toImage(), accent), unchecked + 20);
}
