#include "onboarding/ShortcutComparisonBar.h"

#include "onboarding/OnboardingStyle.h"
#include "cards/ViewStyles.h"
#include "platform/KeyNames.h"

#include <QPainter>
#include <QPainterPath>

namespace tamo {

namespace {

QPainterPath rounded(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

QString ShortcutComparisonBar::recommended(const QString &keyLeftOfOne)
{
    return QStringLiteral("⌘") + (keyLeftOfOne.isEmpty() ? QStringLiteral("`") : keyLeftOfOne);
}

ShortcutComparisonBar::ShortcutComparisonBar(const QString &current, const QString &pick, double scale,
                                             QWidget *parent)
    : QWidget(parent)
    , m_current(keyCapNames(current))
    , m_pick(keyCapNames(pick))
    , m_scale(scale)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAccessibleName(QStringLiteral("Default: %1. My pick: %2.")
                          .arg(m_current.join(QLatin1Char('+')), m_pick.join(QLatin1Char('+'))));
}

QSize ShortcutComparisonBar::sizeHint() const
{
    return QSize(400, qRound((24 + 16) * m_scale));
}

void ShortcutComparisonBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double spacing = 10 * m_scale;
    const double cardWidth = (width() - spacing) / 2;
    paintCard(painter, QRectF(0, 0, cardWidth, height()), QStringLiteral("Default"), m_current, false);
    paintCard(painter, QRectF(cardWidth + spacing, 0, cardWidth, height()), QStringLiteral("My pick"), m_pick, true);
}

void ShortcutComparisonBar::paintCard(QPainter &painter, const QRectF &rect, const QString &label,
                                      const QStringList &caps, bool highlighted) const
{
    const QColor accent = OnboardingStyle::accent();
    QColor fill = highlighted ? accent : palette().color(QPalette::WindowText);
    fill.setAlphaF(highlighted ? 0.14f : 0.06f);
    // Over artwork the cards need a ground of their own to stay readable.
    painter.fillPath(rounded(rect, 10 * m_scale), palette().color(QPalette::Window));
    painter.fillPath(rounded(rect, 10 * m_scale), fill);
    if (highlighted) {
        QColor border = accent;
        border.setAlphaF(0.45f);
        painter.setPen(QPen(border, 1));
        painter.drawPath(rounded(rect.adjusted(0.5, 0.5, -0.5, -0.5), 10 * m_scale));
    }

    QFont labelFont = OnboardingStyle::font(9 * m_scale, QFont::DemiBold);
    labelFont.setCapitalization(QFont::AllUppercase);
    labelFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    const QFont capFont = OnboardingStyle::font(12 * m_scale, QFont::Medium);
    const QFontMetricsF labelMetrics(labelFont);
    const QFontMetricsF capMetrics(capFont);

    double x = rect.left() + 12 * m_scale;
    painter.setFont(labelFont);
    painter.setPen(highlighted ? accent : sharedSecondaryLabelColor());
    const QString upper = label.toUpper();
    painter.drawText(QRectF(x, rect.top(), labelMetrics.horizontalAdvance(upper) + 2, rect.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, upper);
    x += labelMetrics.horizontalAdvance(upper) + 8 * m_scale;

    const double capHeight = 24 * m_scale;
    for (const QString &cap : caps) {
        const double capWidth = std::max(26 * m_scale, capMetrics.horizontalAdvance(cap) + 12 * m_scale);
        const QRectF capRect(x, rect.center().y() - capHeight / 2, capWidth, capHeight);
        painter.fillPath(rounded(capRect.translated(0, 0.5 * m_scale), 5 * m_scale), QColor(0, 0, 0, 31));
        QColor face = palette().color(QPalette::Base);
        face.setAlphaF(0.92f);
        painter.fillPath(rounded(capRect, 5 * m_scale), face);
        painter.setFont(capFont);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(capRect, Qt::AlignCenter, cap);
        x += capWidth + 4 * m_scale;
    }
}

} // namespace tamo
