#include "settings/StopSlider.h"

#include "settings/FormKit.h"
#include "settings/WheelNeedsFocus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace tamo {

StopSlider::StopSlider(const QStringList &stopNames, QWidget *parent)
    : QWidget(parent)
    , m_slider(new QSlider(Qt::Horizontal, this))
{
    m_slider->setRange(0, int(stopNames.size()) - 1);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(1);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(1);
    takeWheelOnlyWithFocus(m_slider);
    connect(m_slider, &QSlider::valueChanged, this, &StopSlider::moved);

    int namesHeight = 0;
    for (const QString &name : stopNames) {
        QLabel *label = secondaryLabel(name, 11, this);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_names.append(label);
        namesHeight = std::max(namesHeight, label->sizeHint().height());
    }

    // The slider is inset so that the first and last names, centred under
    // their ticks, still fit.
    const int handle = style()->pixelMetric(QStyle::PM_SliderLength, nullptr, m_slider);
    const auto overhang = [handle](const QLabel *label) {
        return label ? std::max(0, (label->sizeHint().width() - handle + 1) / 2) : 0;
    };
    auto *sliderRow = new QHBoxLayout;
    sliderRow->setContentsMargins(overhang(m_names.value(0)), 0, overhang(m_names.value(m_names.size() - 1)), 0);
    sliderRow->addWidget(m_slider);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(sliderRow);
    // Room for the names, which are placed by hand under their ticks.
    layout->addSpacing(namesGap + namesHeight);
}

void StopSlider::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeNames();
}

int StopSlider::tickCentre(int stop) const
{
    // As the style draws the ticks: across the groove less one handle length.
    const int handle = style()->pixelMetric(QStyle::PM_SliderLength, nullptr, m_slider);
    const int span = m_slider->width() - handle;
    return m_slider->x() + QStyle::sliderPositionFromValue(m_slider->minimum(), m_slider->maximum(), stop, span)
           + handle / 2;
}

void StopSlider::placeNames()
{
    const int top = m_slider->geometry().bottom() + 1 + namesGap;
    for (int stop = 0; stop < m_names.size(); ++stop) {
        QLabel *label = m_names.at(stop);
        const QSize size = label->sizeHint();
        const int left = std::clamp(tickCentre(stop) - size.width() / 2, 0, std::max(0, width() - size.width()));
        label->setGeometry(left, top, size.width(), size.height());
    }
}

int StopSlider::value() const
{
    return m_slider->value();
}

void StopSlider::setValue(int stop)
{
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(stop);
}

} // namespace tamo
