// Renders sample sheets to PNG files so that each change of the views can be
// looked at: sample cards of every kind, the drawer and the menu-bar panel in
// their main states, and every settings page and the onboarding windows'
// pages, in a light and a dark palette, with and without a compositor's
// transparency.
//
// Usage: tamo_sample_sheets [output folder] [light|dark]
// (default: sample-sheets/ beside the tool, both palettes)

#include "sheets/CardSheets.h"
#include "sheets/OnboardingSheets.h"
#include "sheets/PanelSheets.h"
#include "sheets/SettingsSheets.h"
#include "sheets/Scene.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QStyle>
#include <QStyleFactory>

#include <cstdio>

using namespace tamo;
using namespace tamo::sheets;

namespace {

// An app icon drawn at every size a card asks for: a rounded square in the
// app's colours with a white glyph.
QIcon appIcon(const QColor &top, const QColor &bottom, const QString &glyph)
{
    QIcon icon;
    for (const int side : {24, 32, 48, 64, 96, 128}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, 0, side);
        fill.setColorAt(0, top);
        fill.setColorAt(1, bottom);
        const QRectF square(side * 0.06, side * 0.06, side * 0.88, side * 0.88);
        painter.fillPath(roundedRect(square, side * 0.22), fill);
        QFont font;
        font.setPixelSize(int(side * 0.5));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(square, Qt::AlignCenter, glyph);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QPalette lightPalette()
{
    return QStyleFactory::create(QStringLiteral("Fusion"))->standardPalette();
}

QPalette darkPalette()
{
    QPalette palette = lightPalette();
    palette.setColor(QPalette::Window, QColor(0x26, 0x27, 0x2B));
    palette.setColor(QPalette::WindowText, QColor(0xF2, 0xF2, 0xF5));
    palette.setColor(QPalette::Base, QColor(0x1C, 0x1C, 0x1F));
    palette.setColor(QPalette::Text, QColor(0xF2, 0xF2, 0xF5));
    palette.setColor(QPalette::Highlight, QColor(0x3D, 0x8B, 0xFD));
    palette.setColor(QPalette::Link, QColor(0x6C, 0xB4, 0xFF));
    return palette;
}

void installApps(tamo::testing::FakeWorkspace &workspace)
{
    const struct {
        const char *bundleID;
        const char *name;
        QIcon icon;
    } apps[] = {
        {"com.example.Notes", "Notes", appIcon(QColor(0xFF, 0xD8, 0x4D), QColor(0xF5, 0xB0, 0x1B), QStringLiteral("N"))},
        {"org.gnome.TextEditor", "Text Editor", appIcon(QColor(0xE8, 0xE8, 0xEC), QColor(0xB8, 0xB8, 0xC0), QStringLiteral("T"))},
        {"org.example.Mail", "Mail", appIcon(QColor(0x4F, 0xA3, 0xFF), QColor(0x16, 0x62, 0xE0), QStringLiteral("@"))},
        {"org.example.Chat", "Chat", appIcon(QColor(0x5D, 0xE0, 0x7A), QColor(0x1F, 0xA8, 0x4A), QStringLiteral("C"))},
        {"org.example.Browser", "Browser", appIcon(QColor(0xFF, 0x9F, 0x43), QColor(0xE8, 0x4A, 0x1F), QStringLiteral("B"))},
        {"org.example.Viewer", "Image Viewer", appIcon(QColor(0xB3, 0x7A, 0xFF), QColor(0x7B, 0x3F, 0xE4), QStringLiteral("V"))},
        {"org.gnome.Nautilus", "Files", appIcon(QColor(0x6F, 0xB8, 0xFF), QColor(0x2F, 0x7C, 0xD9), QStringLiteral("F"))},
        {"org.example.Paint", "Paint", appIcon(QColor(0xFF, 0x6B, 0x9E), QColor(0xD6, 0x2F, 0x6A), QStringLiteral("P"))},
    };
    for (const auto &entry : apps)
        workspace.install({QString::fromLatin1(entry.bundleID), QString::fromLatin1(entry.name)}, entry.icon);
}

// Labels keep the palette's colours for the life of the process, so each
// palette gets a run of its own.
int runForEachTheme(const QString &folder)
{
    int failures = 0;
    for (const QString &theme : {QStringLiteral("light"), QStringLiteral("dark")})
        failures += QProcess::execute(QCoreApplication::applicationFilePath(), {folder, theme}) != 0;
    return failures;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sample-sheets"));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "could not create %s\n", qPrintable(folder));
        return 1;
    }
    if (argc < 3)
        return runForEachTheme(folder);
    const QString theme = QString::fromLocal8Bit(argv[2]);
    const QPalette palette = theme == QStringLiteral("dark") ? darkPalette() : lightPalette();
    QApplication::setPalette(palette);

    tamo::testing::FakeCompositor compositor;
    setCompositor(&compositor);
    Scene full;
    Scene empty;
    installApps(full.workspace);
    installApps(empty.workspace);
    writeCardSheets(full.cards(), palette, theme, folder);
    writePanelSheets(full, empty, compositor, theme, folder);
    writeSettingsSheets(full, theme, folder);
    writeOnboardingSheets(full, theme, folder);
    return 0;
}
