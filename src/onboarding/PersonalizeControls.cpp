#include "onboarding/PersonalizeControls.h"

#include "app/AppModel.h"
#include "cards/CardSize.h"
#include "cards/ClipCard.h"
#include "model/ClipDraft.h"
#include "model/SettingsKeys.h"
#include "onboarding/OnboardingStyle.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>

#include <cmath>

namespace tamo {

namespace {

// One card style as a small card drawn in it, ringed while chosen, above a
// radio mark and the style's name; a click stores the style.
class StyleOption : public QAbstractButton
{
public:
    StyleOption(CardStyle style, ClipItemPtr sample, double scale, AppModel &model, Defaults &defaults,
                ThumbnailCache &thumbnails)
        : m_defaults(defaults)
        , m_style(style)
        , m_card(new ClipCard({model.icons(), thumbnails, defaults, model.clock(), nullptr}, this))
    {
        const QString name = style == CardStyle::classic ? QStringLiteral("Classic") : QStringLiteral("Glass");
        setText(name);
        setAccessibleName(name);
        setCheckable(true);
        setCursor(Qt::PointingHandCursor);
        m_card->setItem(std::move(sample));
        m_card->setForcedStyle(style);
        m_card->setSize(CardSize{1.0});
        m_card->resize(m_card->sizeHint());
        m_card->hide();
        m_side = qRound(CardSize::baseSide * scale);
        setFixedSize(m_side + 12, m_side + 12 + 34);
        connect(this, &QAbstractButton::clicked, this,
                [this] { m_defaults.setValue(keys::cardStyle, rawValue(m_style)); });
        connect(&m_defaults, &Defaults::valueChanged, this, [this](const QString &key) {
            if (key == keys::cardStyle || key == keys::cardTextScale)
                refresh();
        });
        refresh();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF cardRect(6, 6, m_side, m_side);
        painter.drawPixmap(cardRect.toRect(), m_picture);
        if (isChecked()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
            QPainterPath ring;
            ring.addRoundedRect(cardRect.adjusted(-3, -3, 3, 3), 14, 14);
            painter.drawPath(ring);
        }
        OnboardingStyle::paintRadioCaption(painter, palette(), isChecked(), text(),
                                           OnboardingStyle::font(13, QFont::Medium), width(), cardRect.bottom() + 14);
    }

private:
    void refresh()
    {
        setChecked(cardStyleFromRaw(m_defaults.string(keys::cardStyle).value_or(QString())).value_or(CardStyle::glass)
                   == m_style);
        m_picture = m_card->grab().scaled(m_side, m_side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        update();
    }

    Defaults &m_defaults;
    CardStyle m_style;
    ClipCard *m_card;
    QPixmap m_picture;
    int m_side = 0;
};

// A factor of the card settings on a slider in steps of 5 %, with its value beside it.
QWidget *scaleSlider(Defaults &defaults, const QString &key, const QString &name, double least, double most)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(qRound(least * 20), qRound(most * 20));
    slider->setAccessibleName(name);
    slider->setMinimumWidth(260);
    auto *value = new QLabel;
    value->setMinimumWidth(48);
    layout->addWidget(slider, 1);
    layout->addWidget(value);
    auto show = [&defaults, key, slider, value, least, most] {
        const double factor = std::clamp(defaults.doubleValue(key), least, most);
        const QSignalBlocker quiet(slider);
        slider->setValue(qRound(factor * 20));
        value->setText(QStringLiteral("%1 %").arg(qRound(factor * 100)));
    };
    QObject::connect(slider, &QSlider::valueChanged, row,
                     [&defaults, key](int steps) { defaults.setValue(key, steps / 20.0); });
    QObject::connect(&defaults, &Defaults::valueChanged, row, [show, key](const QString &changed) {
        if (changed == key)
            show();
    });
    show();
    return row;
}

} // namespace

PersonalizeEnvironment standardPersonalizeEnvironment(AppModel &model, Defaults &defaults, ThumbnailCache &thumbnails)
{
    PersonalizeEnvironment environment{model, defaults, thumbnails, {}, {}, {}, {}};
    environment.sampleClip = [&model] {
        return std::make_shared<ClipItem>(
            ClipDraft::fromText(QStringLiteral("Meet at the north entrance at 7:30. I’ll bring the tickets and the "
                                               "charger you left in my car."),
                                std::nullopt, QStringLiteral("com.apple.Notes"), QStringLiteral("Notes")),
            model.clock().now().addSecs(-180));
    };
    environment.makeStyleOption = [&model, &defaults, &thumbnails](CardStyle style, ClipItemPtr sample, double scale) {
        return new StyleOption(style, std::move(sample), scale, model, defaults, thumbnails);
    };
    environment.makeCardSizeControl = [&defaults] {
        return scaleSlider(defaults, keys::cardScale, QStringLiteral("Card Size"), 0.75, 1.5);
    };
    environment.makeFontSizeControl = [&defaults](ClipItemPtr) {
        return scaleSlider(defaults, keys::cardTextScale, QStringLiteral("Font Size"), 0.75, 1.75);
    };
    return environment;
}

} // namespace tamo
