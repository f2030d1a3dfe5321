// Renders a sheet of sample clip cards to PNG files, so anyone can look at
// them: every kind in both styles, selected, with badge and tag, long and
// right-to-left texts, emoji, a 10,000-pixel image, a missing file and an
// unknown kind; at 1× and 2×, in a light and a dark palette, in the drawer
// and in the menu bar.
//
// Usage: tamo_card_samples [output folder]   (default: card-samples/ beside the tool)

#include "support/FakeClock.h"
#include "support/FakeWorkspace.h"
#include "support/SampleClips.h"

#include "app/AppIcons.h"
#include "cards/CardAppearanceBuilder.h"
#include "cards/CardPainter.h"
#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "cards/ThumbnailCache.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboard.h"
#include "model/Sqlite.h"
#include "platform/Defaults.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <cstdio>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr int columns = 4;
constexpr qreal cellSpacing = 22;
constexpr qreal sheetMargin = 40;

struct Sample
{
    ClipItemPtr item;
    std::optional<int> badge;
    PinboardPtr tag;
    bool selected = false;
};

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

QImage pageImage()
{
    QImage image(1200, 630, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 1200, 630);
    fill.setColorAt(0, QColor(0x5B, 0x3C, 0xC4));
    fill.setColorAt(1, QColor(0xE0, 0x4F, 0x8A));
    painter.fillRect(image.rect(), fill);
    QFont font;
    font.setPixelSize(120);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Field Notes"));
    return image;
}

class SampleSet
{
public:
    explicit SampleSet(const QDateTime &now)
        : m_now(now)
    {
        m_work = std::make_shared<Pinboard>(QStringLiteral("Work"), 0, 0);
        m_recipes = std::make_shared<Pinboard>(QStringLiteral("Recipes and weekend plans"), 6, 1);
    }

    QList<Sample> make()
    {
        const auto ago = [this](qint64 seconds) { return m_now.addSecs(-seconds); };
        const QString notes = QStringLiteral("com.example.Notes");
        const QString browser = QStringLiteral("org.example.Browser");
        const QString paint = QStringLiteral("org.example.Paint");
        QList<Sample> samples;

        samples.append({textClip(QStringLiteral("Meet at the north entrance at 7:30. I\u2019ll bring the tickets and "
                                                "the charger you left in my car."),
                                 notes, QStringLiteral("Notes"), ago(180)),
                        1, {}, true});

        QString longText;
        for (int i = 0; i < 40; ++i)
            longText += QStringLiteral("Paragraph %1. The quick brown fox jumps over the lazy dog while the "
                                       "committee reviews the quarterly figures once more.\n").arg(i + 1);
        auto titled = textClip(longText, QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"),
                               ago(2 * 3600));
        titled->setTitle(QStringLiteral("Minutes of the long meeting about very many things"));
        samples.append({titled, 2, m_work, false});

        samples.append({textClip(QStringLiteral("שלום! הפגישה נדחתה ליום שלישי בשעה 10:00. "
                                                "مرحبا، سنلتقي في المقهى بعد الظهر."),
                                 QStringLiteral("org.example.Mail"), QStringLiteral("Mail"), ago(26 * 3600)),
                        3, {}, false});

        auto emoji = textClip(QStringLiteral("Party tonight 🎉🥳 bring snacks 🍕🍩 and good vibes ❤️ 👍🏽 👨‍👩‍👧 🇫🇷"),
                              QStringLiteral("org.example.Chat"), QStringLiteral("Chat"), ago(3 * 86400));
        emoji->setIconEmoji(QStringLiteral("🎉"));
        samples.append({emoji, 4, m_recipes, false});

        samples.append({linkPreviewClip(QStringLiteral("https://www.fieldnotes.example.org/articles/2026/walking-the-coast"),
                                        QStringLiteral("Walking the coast: twelve days from harbour to harbour"),
                                        pageImage(), ago(40 * 60)),
                        5, {}, false});
        samples.append({textClip(QStringLiteral("https://git.example.com/tamocove/tamocove/-/merge_requests/1432/diffs"
                                                "?commit_id=8f3e2a1b9c#note_99812"),
                                 browser, QStringLiteral("Browser"), ago(12)),
                        6, {}, false});

        samples.append({imageClip(landscape(1600, 1000), QStringLiteral("Screenshot"), ago(5 * 60)), 7, {}, false});
        samples.append({imageClip(landscape(10000, 1200), QStringLiteral("Image Viewer"), ago(45 * 86400)), 8,
                        m_work, false});

        samples.append({fileClip({writeImageFile()}, ago(9 * 60)), 9, {}, false});
        samples.append({fileClip({emptyFile(QStringLiteral("Quarterly report.pdf")), emptyFile(QStringLiteral("notes.txt")),
                                  emptyFile(QStringLiteral("slides.odp")), emptyFile(QStringLiteral("budget.ods"))},
                                 ago(3 * 3600)),
                        {}, {}, false});
        samples.append({fileClip({QStringLiteral("/nonexistent/Budget 2024.xlsx")}, ago(400 * 86400)), {}, {}, false});

        samples.append({textClip(QStringLiteral("#FF9500"), paint, QStringLiteral("Paint"), ago(70)), {}, {}, false});
        samples.append({textClip(QStringLiteral("#3478F680"), paint, QStringLiteral("Paint"), ago(75)), {}, {}, false});

        ClipDraft broken;
        broken.kind = ClipKind::image;
        broken.imageData = QByteArray("these bytes are not an image");
        broken.imageWidth = 800;
        broken.imageHeight = 600;
        samples.append({sampleClip(broken, ago(20 * 86400)), {}, {}, false});

        samples.append({storedClipOfUnknownKind(ago(5 * 3600)), {}, {}, false});

        const ClipDraft noApp = ClipDraft::fromText(
            QStringLiteral("    \n\n  indented code after blank lines\n\tif (x) {\n\t\treturn 42;\n\t}"));
        samples.append({sampleClip(noApp, ago(90)), {}, {}, false});

        return samples;
    }

private:
    // Kinds a later version may add reach this one through sync; only the
    // store can hold one.
    ClipItemPtr storedClipOfUnknownKind(const QDateTime &created)
    {
        m_store = std::make_unique<ModelContainer>(m_files.filePath(QStringLiteral("store")));
        ModelContext &context = m_store->mainContext();
        const QUuid id = QUuid::createUuid();
        context.insert(std::make_shared<ClipItem>(
            ClipDraft::fromText(QStringLiteral("A sticker from a newer version: a turtle waving 🐢👋"), std::nullopt,
                                QStringLiteral("org.example.Chat"), QStringLiteral("Chat")),
            created, id));
        context.save();
        sql::Database db;
        db.open(m_files.filePath(QStringLiteral("store/") + QLatin1String(ModelContainer::syncedStoreName)));
        db.exec(QStringLiteral("UPDATE ClipItem SET kindRaw = 'sticker'"));
        return context.fetch<ClipItem>(FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, id))
            .value(0);
    }

    QString writeImageFile()
    {
        const QString path = m_files.filePath(QStringLiteral("Harbour at dusk.png"));
        landscape(2400, 1600).save(path);
        return path;
    }

    QString emptyFile(const QString &name)
    {
        const QString path = m_files.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    QDateTime m_now;
    QTemporaryDir m_files;
    std::unique_ptr<ModelContainer> m_store;
    PinboardPtr m_work;
    PinboardPtr m_recipes;
};

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

// A bright wallpaper under a glass drawer, as the cards are seen.
void paintBackdrop(QPainter &painter, const QRectF &sheet, const QPalette &palette)
{
    QLinearGradient wallpaper(sheet.topLeft(), sheet.bottomRight());
    wallpaper.setColorAt(0, QColor(0x1F, 0x8A, 0x9E));
    wallpaper.setColorAt(0.5, QColor(0x7B, 0x5C, 0xD6));
    wallpaper.setColorAt(1, QColor(0xF0, 0x8A, 0x4B));
    painter.fillRect(sheet, wallpaper);
    GlassStyle glass;
    glass.base = palette.color(QPalette::Window);
    glass.translucent = true;
    const QRectF drawer = sheet.adjusted(sheetMargin / 2, sheetMargin / 2, -sheetMargin / 2, -sheetMargin / 2);
    paintGlass(painter, roundedRect(drawer, 32), glass);
}

class SheetRenderer
{
public:
    SheetRenderer(CardContext context, const QString &folder)
        : m_context(context)
        , m_folder(folder)
    {
    }

    void render(const QString &name, const QList<Sample> &samples, CardStyle style, const QPalette &palette,
                qreal dpr, CardSize size, bool menuBar)
    {
        CardContext context = m_context;
        context.isInMenuBarPanel = menuBar;
        const CardAppearanceBuilder builder(context);
        const QList<CardAppearance> cards = waitForPictures(builder, samples, style, palette, dpr, size);

        const qreal cell = size.side() + cellSpacing;
        const int rows = int((cards.size() + columns - 1) / columns);
        const QSizeF sheet(2 * sheetMargin + columns * cell - cellSpacing, 2 * sheetMargin + rows * cell - cellSpacing);
        QImage image((sheet * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paintBackdrop(painter, QRectF(QPointF(), sheet), palette);
        for (int i = 0; i < cards.size(); ++i) {
            const QRectF bounds(sheetMargin + (i % columns) * cell, sheetMargin + (i / columns) * cell, size.side(),
                                size.side());
            CardPainter::paint(painter, bounds, cards[i]);
        }
        painter.end();
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        if (!image.save(path))
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        else
            std::printf("%s\n", qPrintable(path));
    }

private:
    // Pictures are decoded on worker threads; the sheet waits for them.
    QList<CardAppearance> waitForPictures(const CardAppearanceBuilder &builder, const QList<Sample> &samples,
                                          CardStyle style, const QPalette &palette, qreal dpr, CardSize size)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            QList<CardAppearance> cards;
            bool pending = false;
            for (const Sample &sample : samples) {
                CardFields fields;
                fields.item = sample.item;
                fields.size = size;
                fields.isSelected = sample.selected;
                fields.quickPasteNumber = sample.badge;
                fields.forcedStyle = style;
                fields.pinboardTag = sample.tag;
                cards.append(builder.build(fields, palette, dpr));
                const QRectF card(0, 0, size.side(), size.side());
                pending |= !cards.last().content.picture && !CardPainter::pictureRect(card, cards.last()).isEmpty();
            }
            if (!pending || timer.elapsed() > 60'000)
                return cards;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }

    CardContext m_context;
    QString m_folder;
};

// The offscreen platform knows no icon theme; take the desktop's, as a
// session on X11 does.
void useDesktopIconTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    const QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString &dir : dataDirs.split(u':', Qt::SkipEmptyParts))
        paths.append(dir + QStringLiteral("/icons"));
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useDesktopIconTheme();

    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("card-samples"));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "could not create %s\n", qPrintable(folder));
        return 1;
    }

    FakeWorkspace workspace;
    const struct {
        const char *bundleID;
        const char *name;
        QIcon icon;
    } apps[] = {
        {"com.example.Notes", "Notes", appIcon(QColor(0xFF, 0xD8, 0x4D), QColor(0xF5, 0xB0, 0x1B), QStringLiteral("N"))},
        {"org.gnome.TextEditor", "Text Editor", QIcon::fromTheme(QStringLiteral("accessories-text-editor"))},
        {"org.example.Mail", "Mail", appIcon(QColor(0x4F, 0xA3, 0xFF), QColor(0x16, 0x62, 0xE0), QStringLiteral("@"))},
        {"org.example.Chat", "Chat", appIcon(QColor(0x5D, 0xE0, 0x7A), QColor(0x1F, 0xA8, 0x4A), QStringLiteral("C"))},
        {"org.example.Browser", "Browser", appIcon(QColor(0xFF, 0x9F, 0x43), QColor(0xE8, 0x4A, 0x1F), QStringLiteral("B"))},
        {"org.example.Viewer", "Image Viewer", appIcon(QColor(0xB3, 0x7A, 0xFF), QColor(0x7B, 0x3F, 0xE4), QStringLiteral("V"))},
        {"org.gnome.Nautilus", "Files", appIcon(QColor(0x6F, 0xB8, 0xFF), QColor(0x2F, 0x7C, 0xD9), QStringLiteral("F"))},
        {"org.example.Paint", "Paint", appIcon(QColor(0xFF, 0x6B, 0x9E), QColor(0xD6, 0x2F, 0x6A), QStringLiteral("P"))},
    };
    for (const auto &entry : apps)
        workspace.install({QString::fromLatin1(entry.bundleID), QString::fromLatin1(entry.name)}, entry.icon);

    QTemporaryDir scratch;
    Defaults defaults(scratch.filePath(QStringLiteral("defaults.json")));
    FakeClock clock(QDateTime(QDate(2026, 3, 15), QTime(12, 0)));
    AppIcons icons(workspace);
    ThumbnailCache thumbnails;
    const CardContext context{icons, thumbnails, defaults, clock};

    SampleSet set(clock.now());
    const QList<Sample> samples = set.make();
    SheetRenderer renderer(context, folder);
    const struct {
        const char *name;
        QPalette palette;
    } themes[] = {{"light", lightPalette()}, {"dark", darkPalette()}};
    for (const auto &theme : themes) {
        for (const qreal dpr : {1.0, 2.0}) {
            const QString suffix = QStringLiteral("-%1-%2x").arg(QLatin1String(theme.name)).arg(dpr);
            renderer.render(QStringLiteral("glass") + suffix, samples, CardStyle::glass, theme.palette, dpr,
                            CardSize{1.0}, false);
            renderer.render(QStringLiteral("classic") + suffix, samples, CardStyle::classic, theme.palette, dpr,
                            CardSize{1.0}, false);
            renderer.render(QStringLiteral("menubar") + suffix, samples, CardStyle::glass, theme.palette, dpr,
                            CardSize{0.72}, true);
        }
    }
    return 0;
}
