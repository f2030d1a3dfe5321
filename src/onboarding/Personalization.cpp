#include "onboarding/Personalization.h"

#include "model/SettingsKeys.h"
#include "onboarding/OnboardingWindow.h"
#include "platform/Defaults.h"

namespace tamo {

Personalization::Personalization(PersonalizeEnvironment environment) : m_env(std::move(environment))
{
}

Personalization::~Personalization() = default;

void Personalization::present(std::function<void()> onClose)
{
    m_env.defaults.setValue(keys::personalizeShown, true);
    if (!m_window) {
        m_window = std::make_unique<OnboardingWindow>(
            QStringLiteral("Make TamoCove Yours"), QSize(760, 680),
            [env = m_env](std::function<void()> close) { return new PersonalizeView(env, std::move(close)); });
    }
    m_window->present(m_env.model, std::move(onClose));
}

} // namespace tamo
