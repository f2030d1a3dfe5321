#include "sheets/CardSheets.h"

#include "sheets/SampleSet.h"

#include "cards/CardAppearanceBuilder.h"
#include "cards/CardPainter.h"
#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

namespace tamo::sheets {

namespace {

constexpr int columns = 4;
constexpr qreal cellSpacing = 22;
constexpr qreal sheetMargin = 40;

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

} // namespace

void writeCardSheets(const CardContext &context, const QPalette &palette, const QString &theme, const QString &folder)
{
    SampleSet set(context.clock.now());
    const QList<Sample> samples = set.make();
    SheetRenderer renderer(context, folder);
    for (const qreal dpr : {1.0, 2.0}) {
        const QString suffix = QStringLiteral("-%1-%2x").arg(theme).arg(dpr);
        renderer.render(QStringLiteral("cards-glass") + suffix, samples, CardStyle::glass, palette, dpr, CardSize{1.0},
                        false);
        renderer.render(QStringLiteral("cards-classic") + suffix, samples, CardStyle::classic, palette, dpr,
                        CardSize{1.0}, false);
        renderer.render(QStringLiteral("cards-menubar") + suffix, samples, CardStyle::glass, palette, dpr,
                        CardSize{0.72}, true);
    }
}

} // namespace tamo::sheets
