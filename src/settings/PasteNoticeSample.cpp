#include "settings/PasteNoticeSample.h"

#include "cards/ViewStyles.h"
#include "drawer/Notice.h"
#include "drawer/NoticeCard.h"
#include "platform/KeyNames.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tamo {

namespace {

constexpr int backdropHeight = 140;
constexpr int backdropRadius = 10;
constexpr int stripHeight = 8;
constexpr int noticeTop = 14; // below the strip

} // namespace

PasteNoticeSample::PasteNoticeSample(PasteNotice notice, qreal scale, QWidget *parent)
    : QWidget(parent)
    , m_notice(notice)
    , m_scale(scale)
    , m_card(new NoticeCard(this))
{
    // The card is drawn, never shown: it is the notice a pick shows.
    m_card->hide();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedHeight(backdropHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setNotice(notice);
}

void PasteNoticeSample::setNotice(PasteNotice notice)
{
    m_notice = notice;
    if (const auto shown = Notice::paste(notice, QStringLiteral("Clip is ready"))) {
        m_card->setNotice(*shown);
        m_card->adjustSize();
    }
    update();
}

QString PasteNoticeSample::caption() const
{
    if (m_notice != PasteNotice::none)
        return {};
    return QStringLiteral("Nothing appears. The clip is still copied; press %1 to paste it.")
        .arg(keyNames(QStringLiteral("⌘V")));
}

QSizeF PasteNoticeSample::noticeSize() const
{
    if (m_notice == PasteNotice::none)
        return {};
    return QSizeF(m_card->size()) * m_scale;
}

QSize PasteNoticeSample::sizeHint() const
{
    return {360, backdropHeight};
}

void PasteNoticeSample::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath backdrop;
    backdrop.addRoundedRect(QRectF(rect()), backdropRadius, backdropRadius);
    painter.setClipPath(backdrop);

    QLinearGradient fill(rect().topLeft(), rect().bottomRight());
    QColor blue(0x00, 0x7A, 0xFF);
    blue.setAlphaF(0.55);
    QColor purple(0xAF, 0x52, 0xDE);
    purple.setAlphaF(0.45);
    fill.setColorAt(0, blue);
    fill.setColorAt(1, purple);
    painter.fillRect(rect(), fill);
    painter.fillRect(QRectF(0, 0, width(), stripHeight), QColor(255, 255, 255, 89));

    if (m_notice == PasteNotice::none) {
        painter.setPen(Qt::white);
        painter.setFont(uiFont(11));
        painter.drawText(rect().adjusted(12, 0, -12, 0), Qt::AlignCenter | Qt::TextWordWrap, caption());
        return;
    }
    const QSizeF drawn = noticeSize();
    painter.translate((width() - drawn.width()) / 2, stripHeight + noticeTop);
    painter.scale(m_scale, m_scale);
    m_card->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
}

} // namespace tamo
