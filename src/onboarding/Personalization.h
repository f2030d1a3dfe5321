#pragma once

#include "onboarding/PersonalizeView.h"

#include <memory>

namespace tamo {

class OnboardingWindow;

// Owns the personalisation window, opened 2 s after a first launch and from
// the settings' "Personalize…".
class Personalization
{
public:
    explicit Personalization(PersonalizeEnvironment environment);
    ~Personalization();

    // Marks personalisation as shown (on every open) and brings the window
    // up; `onClose` runs once when it next closes.
    void present(std::function<void()> onClose = {});

    OnboardingWindow *window() const { return m_window.get(); }

private:
    PersonalizeEnvironment m_env;
    std::unique_ptr<OnboardingWindow> m_window;
};

} // namespace tamo
