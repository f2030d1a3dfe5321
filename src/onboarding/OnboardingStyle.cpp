#include "onboarding/OnboardingStyle.h"

#include "cards/ViewStyles.h"

#include <QPainter>
#include <QSvgRenderer>

namespace tamo::OnboardingStyle {

QColor accent()
{
    return QColor::fromRgbF(0.85f, 0.35f, 0.19f);
}

QColor success()
{
    return QColor(0x2E, 0x9E, 0x4F);
}

QColor warning()
{
    return QColor(0xE0, 0x7B, 0x00);
}

QFont font(double size, QFont::Weight weight)
{
    return uiFont(size, weight);
}

QPixmap symbol(const QString &name, const QColor &colour, int side)
{
    return tintedSymbol(name, side, colour, 1.0);
}

void makeSecondary(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, sharedSecondaryLabelColor());
    palette.setColor(QPalette::ButtonText, sharedSecondaryLabelColor());
    widget->setPalette(palette);
}

void paintArtwork(QPainter &painter, const QString &name, const QRectF &target, Qt::Alignment alignment, bool fit)
{
    QSvgRenderer renderer(QStringLiteral(":/onboarding/%1.svg").arg(name));
    const QSizeF natural = renderer.defaultSize();
    if (natural.isEmpty())
        return;
    const double scale = fit ? std::min(target.width() / natural.width(), target.height() / natural.height())
                             : std::max(target.width() / natural.width(), target.height() / natural.height());
    const QSizeF size = natural * scale;
    double x = target.left() + (target.width() - size.width()) / 2;
    double y = target.top() + (target.height() - size.height()) / 2;
    if (alignment & Qt::AlignLeft)
        x = target.left();
    else if (alignment & Qt::AlignRight)
        x = target.right() - size.width();
    if (alignment & Qt::AlignTop)
        y = target.top();
    else if (alignment & Qt::AlignBottom)
        y = target.bottom() - size.height();
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    renderer.render(&painter, QRectF(QPointF(x, y), size));
    painter.restore();
}

void paintRadioCaption(QPainter &painter, const QPalette &palette, bool checked, const QString &title,
                       const QFont &font, int width, double top)
{
    const int radio = 16;
    const int captionWidth = radio + 6 + QFontMetrics(font).horizontalAdvance(title);
    const QRectF radioRect((width - captionWidth) / 2.0, top, radio, radio);
    painter.drawPixmap(radioRect.toRect(),
                       symbol(checked ? QStringLiteral("largecircle.fill.circle") : QStringLiteral("circle"),
                              checked ? palette.color(QPalette::Highlight) : sharedSecondaryLabelColor(), radio));
    painter.setFont(font);
    painter.setPen(palette.color(QPalette::WindowText));
    painter.drawText(QRectF(radioRect.right() + 6, radioRect.top() - 2, width, radio + 4),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
}

} // namespace tamo::OnboardingStyle

namespace tamo {

PageDots::PageDots(const Look &look, const QString &name) : m_look(look), m_glide(new QVariantAnimation(this))
{
    setFixedSize(qRound(look.currentWidth + (look.count - 1) * (look.dot.width() + look.spacing)),
                 qRound(look.dot.height()));
    setAccessibleName(name);
    m_glide->setDuration(glideMs);
    m_glide->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_glide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_position = value.toDouble();
        update();
    });
    setCurrent(0);
}

void PageDots::setCurrent(int index)
{
    m_current = index;
    setAccessibleDescription(QStringLiteral("%1 of %2").arg(index + 1).arg(m_look.count));
    m_glide->stop();
    if (!isVisible()) {
        m_position = index;
        update();
        return;
    }
    m_glide->setStartValue(m_position);
    m_glide->setEndValue(double(index));
    m_glide->start();
}

void PageDots::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor other = palette().color(QPalette::WindowText);
    other.setAlphaF(float(m_look.otherOpacity));
    const double radius = m_look.dot.height() / 2;
    const QColor accent = OnboardingStyle::accent();
    double x = 0;
    for (int i = 0; i < m_look.count; ++i) {
        // How much of the current page's mark this one holds on the way.
        const double share = std::max(0.0, 1 - std::abs(i - m_position));
        const double width = m_look.dot.width() + share * (m_look.currentWidth - m_look.dot.width());
        const double lit = m_look.fillReached && i < m_position ? 1 : share;
        QColor colour = other;
        colour.setRedF(float(other.redF() + lit * (accent.redF() - other.redF())));
        colour.setGreenF(float(other.greenF() + lit * (accent.greenF() - other.greenF())));
        colour.setBlueF(float(other.blueF() + lit * (accent.blueF() - other.blueF())));
        colour.setAlphaF(float(other.alphaF() + lit * (accent.alphaF() - other.alphaF())));
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(x, 0, width, m_look.dot.height()), radius, radius);
        x += width + m_look.spacing;
    }
}

} // namespace tamo
