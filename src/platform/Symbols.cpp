#include "platform/Symbols.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

namespace tamo {

namespace {

QString symbolPath(const QString &name)
{
    return QStringLiteral(":/symbols/%1.svg").arg(name);
}

QColor modeColour(QIcon::Mode mode)
{
    const QPalette palette = QGuiApplication::palette();
    switch (mode) {
    case QIcon::Disabled:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case QIcon::Selected:
        return palette.color(QPalette::HighlightedText);
    case QIcon::Normal:
    case QIcon::Active:
        break;
    }
    return palette.color(QPalette::WindowText);
}

// The symbols are drawn in black; the colour is laid over what they cover.
QPixmap paintSymbol(const QString &path, const QSize &size, const QColor &colour)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), colour);
    return pixmap;
}

// An engine that draws what its pixmap() makes, at the painter's pixel ratio.
class PixmapIconEngine : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        QPixmap image = pixmap(rect.size() * ratio, mode, state);
        image.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, image);
    }
};

class SymbolIconEngine : public PixmapIconEngine
{
public:
    explicit SymbolIconEngine(QString path) : m_path(std::move(path)) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        return paintSymbol(m_path, size, modeColour(mode));
    }

    QIconEngine *clone() const override { return new SymbolIconEngine(m_path); }

private:
    QString m_path;
};

class CheckableIconEngine : public PixmapIconEngine
{
public:
    explicit CheckableIconEngine(QIcon icon) : m_icon(std::move(icon)) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap image(size);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        m_icon.paint(&painter, image.rect(), Qt::AlignCenter, mode, QIcon::Off);
        if (state == QIcon::On)
            paintCheckBadge(painter, image.rect());
        return image;
    }

    QIconEngine *clone() const override { return new CheckableIconEngine(m_icon); }

private:
    // A check on an accent disc over the icon's lower right corner, large
    // enough to read at menu icon sizes.
    static void paintCheckBadge(QPainter &painter, const QRect &rect)
    {
        const int side = qRound(rect.width() * 0.7);
        const QRect badge(rect.right() + 1 - side, rect.bottom() + 1 - side, side, side);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QGuiApplication::palette().color(QPalette::Base), side * 0.08));
        painter.setBrush(QGuiApplication::palette().color(QPalette::Highlight));
        painter.drawEllipse(QRectF(badge).adjusted(0.5, 0.5, -0.5, -0.5));
        const int inset = qRound(side * 0.2);
        const QRect mark = badge.adjusted(inset, inset, -inset, -inset);
        painter.drawPixmap(mark, paintSymbol(symbolPath(QStringLiteral("checkmark")), mark.size(),
                                             QGuiApplication::palette().color(QPalette::HighlightedText)));
    }

    QIcon m_icon;
};

} // namespace

QIcon symbolIcon(const QString &symbolName)
{
    const QString path = symbolPath(symbolName);
    if (symbolName.isEmpty() || !QFile::exists(path))
        return {};
    return QIcon(new SymbolIconEngine(path));
}

QIcon checkableIcon(const QIcon &icon)
{
    return QIcon(new CheckableIconEngine(icon));
}

} // namespace tamo
