#include "settings/StopSlider.h"

#include "settings/FormKit.h"
#include "settings/WheelNeedsFocus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

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

    auto *names = new QHBoxLayout;
    names->setContentsMargins(0, 0, 0, 0);
    for (qsizetype i = 0; i < stopNames.size(); ++i) {
        names->addWidget(secondaryLabel(stopNames[i], 11, this));
        if (i + 1 < stopNames.size())
            names->addStretch(1);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_slider);
    layout->addLayout(names);
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
