#include "cards/ViewStyles.h"

#include "platform/Symbols.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTextLayout>
#include <QPalette>
#include <QScreen>

namespace tamo {

namespace {

// Secondary text is the label colour toned down, as desktop themes rarely
// name a colour of their own for it.
constexpr float secondaryLabelOpacity = 0.55f;

qreal logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInch() : 0;
    return dpi > 0 ? dpi : 96;
}

} // namespace

const QColor &sharedLabelColor()
{
    static const QColor color = QGuiApplication::palette().color(QPalette::WindowText);
    return color;
}

QColor labelColorAt(double opacity)
{
    QColor color = sharedLabelColor();
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

const QColor &sharedSecondaryLabelColor()
{
    static const QColor color = [] {
        QColor secondary = sharedLabelColor();
        secondary.setAlphaF(secondary.alphaF() * secondaryLabelOpacity);
        return secondary;
    }();
    return color;
}

QFont uiFont(double points, QFont::Weight weight)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(points * 72 / logicalDpi());
    font.setWeight(weight);
    return font;
}

QPixmap tintedSymbol(const QString &name, int side, const QColor &colour, qreal devicePixelRatio)
{
    const QIcon icon = symbolIcon(name);
    if (icon.isNull())
        return {};
    QPixmap pixmap = icon.pixmap(QSize(side, side), devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), colour);
    return pixmap;
}

QPixmap discImage(const QColor &colour, int side, qreal inset, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0, 0, side, side).adjusted(inset, inset, -inset, -inset));
    return pixmap;
}

QIcon symbolOnDisc(const QString &name, int symbolSide, int discSide, const QColor &disc, qreal devicePixelRatio)
{
    QPixmap pixmap = discImage(disc, discSide, 0, devicePixelRatio);
    QPainter painter(&pixmap);
    const qreal offset = (discSide - symbolSide) / 2.0;
    painter.drawPixmap(QPointF(offset, offset), tintedSymbol(name, symbolSide, Qt::white, devicePixelRatio));
    return QIcon(pixmap);
}

QString literalLabel(const QString &text)
{
    QString label = text;
    return label.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QStringList wrappedLines(const QString &text, const QFont &font, int width)
{
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
        if (paragraph.isEmpty())
            lines.append(QString());
    }
    return lines;
}

} // namespace tamo
