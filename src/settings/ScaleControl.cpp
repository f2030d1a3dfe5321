#include "settings/ScaleControl.h"

#include "cards/ViewStyles.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "settings/CardScaleTexts.h"
#include "settings/DefaultsBindings.h"
#include "settings/FormKit.h"
#include "settings/WheelNeedsFocus.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextLayout>
#include <QVBoxLayout>

#include <cmath>

namespace tamo {

namespace {

constexpr int sliderSteps = 1000;
constexpr double previewSide = 91.2;

double readScale(const Defaults &defaults, QLatin1StringView key)
{
    const double value = defaults.doubleValue(key);
    return std::isfinite(value) ? value : 1.0;
}

// A preview in a rounded square of the text background, outlined; it is
// redrawn for each new value of its control.
class PreviewSquare : public QWidget
{
public:
    PreviewSquare() { setFixedSize(int(std::ceil(previewSide)), int(std::ceil(previewSide))); }
    void setValue(double value)
    {
        m_value = value;
        update();
    }

protected:
    double value() const { return m_value; }
    virtual QRectF square() const { return {0, 0, previewSide, previewSide}; }
    virtual void paintInside(QPainter &painter, const QRectF &square) = 0;

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds = square();
        QPainterPath shape;
        shape.addRoundedRect(bounds, 5, 5);
        painter.setClipPath(shape);
        painter.fillPath(shape, palette().color(QPalette::Base));
        paintInside(painter, bounds);
        QColor edge = palette().color(QPalette::WindowText);
        edge.setAlphaF(0.15);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
    }

private:
    double m_value = 1.0;
};

// A card at a fifth of its real size: its header and a few lines of text.
class CardMiniature : public PreviewSquare
{
protected:
    QRectF square() const override
    {
        const double side = CardScaleTexts::cardSide(value()) / 5.0;
        return {(width() - side) / 2, (height() - side) / 2, side, side};
    }
    void paintInside(QPainter &painter, const QRectF &card) override
    {
        const double header = std::round(card.width() * 5 * 68.0 / 304.0) / 5.0;
        painter.fillRect(QRectF(card.topLeft(), QSizeF(card.width(), header)), QColor::fromRgbF(0.85, 0.47, 0.34));
        QColor line = palette().color(QPalette::WindowText);
        line.setAlphaF(0.15);
        painter.setPen(Qt::NoPen);
        painter.setBrush(line);
        double y = card.top() + header + 6;
        for (const double share : {1.0, 0.8, 0.9, 0.5}) {
            painter.drawRoundedRect(QRectF(card.left() + 6, y, (card.width() - 12) * share, 3), 1.5, 1.5);
            y += 6;
        }
    }
};

// The sample text at the cards' text size: as many whole lines as fit, a
// word too long for a line broken where it must.
class TextPreview : public PreviewSquare
{
public:
    explicit TextPreview(const QString &text) : m_text(text) {}

protected:
    void paintInside(QPainter &painter, const QRectF &square) override
    {
        constexpr double inset = 8;
        const QRectF area = square.adjusted(inset, inset, -inset, -inset);
        QTextLayout text(m_text, uiFont(value()));
        QTextOption wrapping;
        wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        text.setTextOption(wrapping);
        text.beginLayout();
        double y = 0;
        // Every line made is laid out here; the last may not fit and is left undrawn.
        while (y < area.height()) {
            QTextLine line = text.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        text.endLayout();
        painter.setPen(palette().color(QPalette::Text));
        for (int i = 0; i < text.lineCount(); ++i) {
            const QTextLine line = text.lineAt(i);
            if (line.y() + line.height() <= area.height() + 0.5)
                line.draw(&painter, area.topLeft());
        }
    }

private:
    QString m_text;
};

QLabel *symbolLabel(const QString &name, int side, QWidget *parent)
{
    auto *label = new QLabel(parent);
    QColor colour = parent->palette().color(QPalette::WindowText);
    colour.setAlphaF(0.55);
    label->setPixmap(tintedSymbol(name, side, colour, parent->devicePixelRatioF()));
    return label;
}

} // namespace

ScaleControl::ScaleControl(Defaults &defaults, QLatin1StringView key, const Look &look, QWidget *preview,
                           std::function<QString(double)> describe, QWidget *parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_key(key)
    , m_look(look)
    , m_describe(std::move(describe))
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_value(secondaryLabel(QString(), 11, this))
    , m_reset(new QPushButton(QStringLiteral("Reset to 100%"), this))
{
    m_slider->setRange(0, sliderSteps);
    m_slider->setFixedWidth(200);
    takeWheelOnlyWithFocus(m_slider);
    m_value->setWordWrap(false);
    m_reset->setFlat(true);
    m_reset->setFont(uiFont(11));
    m_reset->setCursor(Qt::PointingHandCursor);
    QPalette accent = m_reset->palette();
    accent.setColor(QPalette::ButtonText, accent.color(QPalette::Highlight));
    m_reset->setPalette(accent);

    auto *sliderRow = new QHBoxLayout;
    sliderRow->setSpacing(8);
    sliderRow->addWidget(symbolLabel(look.smallSymbol, look.smallSide, this), 0, Qt::AlignVCenter);
    sliderRow->addWidget(m_slider);
    sliderRow->addWidget(symbolLabel(look.largeSymbol, look.largeSide, this), 0, Qt::AlignVCenter);
    auto *valueRow = new QHBoxLayout;
    valueRow->setSpacing(8);
    valueRow->addWidget(m_value);
    valueRow->addWidget(m_reset);
    valueRow->addStretch(1);
    // The row keeps its height while the reset link comes and goes, so the slider never moves.
    QSizePolicy keepRoom = m_reset->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_reset->setSizePolicy(keepRoom);
    // At the top beside the taller preview, level with the row's label.
    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    column->addLayout(sliderRow);
    column->addLayout(valueRow);
    column->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->addLayout(column);
    layout->addWidget(preview);

    connect(m_slider, &QSlider::valueChanged, this, [this](int step) {
        const double value = m_look.minimum + (m_look.maximum - m_look.minimum) * step / sliderSteps;
        m_defaults.setValue(m_key, CardScaleTexts::snapped(value));
    });
    connect(m_reset, &QPushButton::clicked, this, [this] { m_defaults.setValue(m_key, 1.0); });
    followKeys(this, m_defaults, {m_key}, [this] { refresh(); });
}

void ScaleControl::refresh()
{
    const double scale = readScale(m_defaults, m_key);
    const double position = (std::clamp(scale, m_look.minimum, m_look.maximum) - m_look.minimum)
                            / (m_look.maximum - m_look.minimum);
    {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(int(std::round(position * sliderSteps)));
    }
    m_value->setText(m_describe(scale));
    m_reset->setVisible(CardScaleTexts::percentage(scale) != 100);
    emit scaleShown(scale);
}

QString ScaleControl::valueText() const
{
    return m_value->text();
}

ScaleControl *makeCardSizeControl(Defaults &defaults)
{
    auto *miniature = new CardMiniature;
    auto *control = new ScaleControl(defaults, keys::cardScale,
                                     {CardScaleTexts::cardSizeMin, CardScaleTexts::cardSizeMax, QStringLiteral("square"),
                                      10, QStringLiteral("square"), 16},
                                     miniature, [](double cardScale) {
                                         return CardScaleTexts::cardSizeText(cardScale, qApp->devicePixelRatio());
                                     });
    control->slider()->setAccessibleName(QStringLiteral("Card Size"));
    QObject::connect(control, &ScaleControl::scaleShown, miniature, &CardMiniature::setValue);
    control->refresh();
    return control;
}

ScaleControl *makeFontSizeControl(Defaults &defaults, const QString &sampleText)
{
    auto *preview = new TextPreview(sampleText);
    auto *control = new ScaleControl(
        defaults, keys::cardTextScale,
        {CardScaleTexts::textSizeMin, CardScaleTexts::textSizeMax, QStringLiteral("textformat.size.smaller"), 11,
         QStringLiteral("textformat.size.larger"), 15},
        preview, [&defaults](double textScale) {
            return CardScaleTexts::fontSizeText(textScale, readScale(defaults, keys::cardScale),
                                                qApp->devicePixelRatio());
        });
    QObject::connect(control, &ScaleControl::scaleShown, preview, [preview, &defaults](double textScale) {
        preview->setValue(CardScaleTexts::previewPointSize(textScale, readScale(defaults, keys::cardScale)));
    });
    control->slider()->setAccessibleName(QStringLiteral("Font Size"));
    // The text size follows the card size too.
    followKeys(control, defaults, {keys::cardScale}, [control] { control->refresh(); });
    return control;
}

} // namespace tamo
