#include "settings/HistoryCapacityControl.h"

#include "app/AppModel.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "settings/DefaultsBindings.h"
#include "settings/StopSlider.h"

#include <QTimer>
#include <QVBoxLayout>

namespace tamo {

namespace {

QStringList capacityNames()
{
    QStringList names;
    for (const HistoryCapacity capacity :
         {HistoryCapacity::day, HistoryCapacity::week, HistoryCapacity::month, HistoryCapacity::unlimited})
        names.append(displayName(capacity));
    return names;
}

} // namespace

HistoryCapacityControl::HistoryCapacityControl(AppModel &model, Defaults &defaults, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_defaults(defaults)
    , m_slider(new StopSlider(capacityNames(), this))
    , m_check(new QTimer(this))
{
    setFixedWidth(260);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_slider);

    m_check->setSingleShot(true);
    m_check->setInterval(settleMs);
    connect(m_check, &QTimer::timeout, this, &HistoryCapacityControl::apply);
    connect(m_slider, &StopSlider::moved, this, &HistoryCapacityControl::picked);
    // A capacity set elsewhere (another machine, the model) moves the slider
    // and ends a wait for the user's own.
    followKeys(this, m_defaults, {keys::historyCapacity}, [this] {
        m_check->stop();
        showStored();
    });
}

bool HistoryCapacityControl::isCheckPending() const
{
    return m_check->isActive();
}

void HistoryCapacityControl::picked(int capacity)
{
    m_check->stop();
    // An invalid stored value counts as month, here as everywhere.
    if (capacity == rawValue(currentHistoryCapacity(m_defaults)))
        return;
    m_picked = capacity;
    m_check->start();
}

void HistoryCapacityControl::apply()
{
    if (!m_model.setHistoryCapacity(m_picked))
        showStored();
}

void HistoryCapacityControl::showStored()
{
    m_slider->setValue(rawValue(currentHistoryCapacity(m_defaults)));
}

} // namespace tamo
