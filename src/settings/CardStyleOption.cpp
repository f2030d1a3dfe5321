#include "settings/CardStyleOption.h"

#include "cards/CardContext.h"
#include "cards/ClipCard.h"
#include "cards/ViewStyles.h"
#include "model/ClipDraft.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "settings/DefaultsBindings.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tamo {

namespace {

constexpr int ringReach = 5;
constexpr int captionHeight = 22;
constexpr int captionGap = 10;

} // namespace

CardStyleOption::CardStyleOption(CardStyle style, const ClipItemPtr &sample, const CardContext &cards, double scale,
                                 QWidget *parent)
    : QAbstractButton(parent)
    , m_style(style)
    , m_scale(scale)
    , m_card(new ClipCard(cards, this))
{
    setCheckable(true);
    setAutoExclusive(true);
    setCursor(Qt::PointingHandCursor);
    setText(style == CardStyle::classic ? QStringLiteral("Classic") : QStringLiteral("Glass"));
    // The card is drawn shrunk, never shown: it takes no clicks of its own.
    m_card->hide();
    m_card->setItem(sample);
    m_card->setForcedStyle(style);
    m_card->setSize(CardSize{1.0});
    m_card->resize(m_card->sizeHint());
    connect(this, &QAbstractButton::toggled, this, qOverload<>(&QWidget::update));
}

ClipItemPtr CardStyleOption::sampleClip(const Clock &clock)
{
    ClipDraft draft = ClipDraft::fromText(QStringLiteral("Meet at the north entrance at 7:30. I\u2019ll bring the "
                                                         "tickets and the charger you left in my car."));
    draft.sourceBundleID = QStringLiteral("org.gnome.TextEditor");
    draft.sourceAppName = QStringLiteral("Text Editor");
    return std::make_shared<ClipItem>(draft, clock.now().addSecs(-180));
}

void CardStyleOption::bindToSetting(Defaults &defaults)
{
    connect(this, &CardStyleOption::clicked, this, [this, &defaults] { defaults.setValue(keys::cardStyle, rawValue(m_style)); });
    followKeys(this, defaults, {keys::cardStyle}, [this, &defaults] {
        setChecked(cardStyleFromRaw(defaults.string(keys::cardStyle).value_or(QString())).value_or(CardStyle::glass)
                   == m_style);
    });
}

QSize CardStyleOption::sizeHint() const
{
    const int frame = int(std::round(304 * m_scale));
    return {frame + 2 * ringReach, frame + 2 * ringReach + captionGap + captionHeight};
}

void CardStyleOption::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int frame = int(std::round(304 * m_scale));
    const QRectF ring(0, 0, frame + 2 * ringReach, frame + 2 * ringReach);
    if (isChecked()) {
        const qreal radius = 20 * m_scale + 4;
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2.5));
        painter.drawRoundedRect(ring.adjusted(1.25, 1.25, -1.25, -1.25), radius, radius);
    }
    // Drawn at full size first and then shrunk: rendered straight into a
    // scaled painter the card kept its unscaled clip and lost three corners.
    const qreal ratio = devicePixelRatioF();
    QImage card(m_card->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    card.setDevicePixelRatio(ratio);
    card.fill(Qt::transparent);
    m_card->render(&card, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(ringReach, ringReach), QSizeF(m_card->size()) * m_scale), card);

    const QColor mark = isChecked() ? palette().color(QPalette::Highlight) : sharedSecondaryLabelColor();
    const QPixmap circle = tintedSymbol(isChecked() ? QStringLiteral("largecircle.fill.circle") : QStringLiteral("circle"),
                                        14, mark, devicePixelRatioF());
    painter.setFont(uiFont(13));
    const QFontMetricsF metrics(painter.font());
    const qreal captionWidth = 14 + 5 + metrics.horizontalAdvance(text());
    const qreal left = (width() - captionWidth) / 2;
    const qreal top = ring.bottom() + captionGap;
    painter.drawPixmap(QPointF(left, top + (captionHeight - 14) / 2.0), circle);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(left + 19, top, captionWidth, captionHeight), Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace tamo
