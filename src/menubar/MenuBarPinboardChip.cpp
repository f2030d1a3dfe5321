#include "menubar/MenuBarPinboardChip.h"

#include "cards/GlassRim.h"
#include "cards/ViewStyles.h"

#include <QPainter>

namespace tamo {

namespace {

constexpr int leading = 8;
constexpr int trailing = 9;
constexpr int dotSide = 8;
constexpr int spacing = 5;
constexpr int chipHeight = 23;
constexpr float tintOpacity = 0.22f;

} // namespace

MenuBarPinboardChip::MenuBarPinboardChip(const PinboardPtr &board, QWidget *parent)
    : QAbstractButton(parent)
    , m_board(board)
{
    setFont(uiFont(12.5));
    setText(literalLabel(board->name())); // names it for screen readers
    setToolTip(QStringLiteral("Search all clips instead"));
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
}

QSize MenuBarPinboardChip::sizeHint() const
{
    const int name = fontMetrics().horizontalAdvance(m_board->name());
    return {leading + dotSide + spacing + name + trailing, chipHeight};
}

bool MenuBarPinboardChip::hitButton(const QPoint &position) const
{
    return capsule(rect()).contains(position);
}

void MenuBarPinboardChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor tint = m_board->color();
    tint.setAlphaF(tintOpacity);
    painter.fillPath(capsule(rect()), tint);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_board->color());
    painter.drawEllipse(QRectF(leading, (height() - dotSide) / 2.0, dotSide, dotSide));
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect name(leading + dotSide + spacing, 0, width() - leading - dotSide - spacing - trailing, height());
    painter.drawText(name, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, m_board->name());
}

} // namespace tamo
