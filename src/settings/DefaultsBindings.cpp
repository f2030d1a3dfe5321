#include "settings/DefaultsBindings.h"

#include "platform/Defaults.h"
#include "settings/SwitchToggle.h"


namespace tamo {

void followKeys(QObject *receiver, Defaults &defaults, const QList<QLatin1StringView> &keys,
                std::function<void()> refresh)
{
    refresh();
    QObject::connect(&defaults, &Defaults::valueChanged, receiver, [keys, refresh](const QString &changed) {
        if (keys.contains(changed))
            refresh();
    });
}

SwitchToggle *boundSwitch(Defaults &defaults, QLatin1StringView key)
{
    return boundSwitch(defaults, key, [&defaults, key](bool on) { defaults.setValue(key, on); });
}

SwitchToggle *boundSwitch(Defaults &defaults, QLatin1StringView key, std::function<void(bool)> change)
{
    auto *toggle = new SwitchToggle;
    const auto show = [toggle, &defaults, key] { toggle->setChecked(defaults.boolValue(key)); };
    followKeys(toggle, defaults, {key}, show);
    QObject::connect(toggle, &SwitchToggle::clicked, toggle, [change, show](bool on) {
        change(on);
        show();
    });
    return toggle;
}

} // namespace tamo
