#pragma once

#include "app/AppHooks.h"

#include <memory>

namespace tamo {

class AppModel;
class Defaults;
class FeatureTour;
class Personalization;
class SecondCopyGuard;
class SupportReport;
class WelcomeClips;

// The windows and the report, made once the model exists.
struct OnboardingParts
{
    FeatureTour &tour;
    Personalization &personalization;
    SupportReport &report;
};

// What the core asks of onboarding, handed to the part that does each job.
class Onboarding final : public OnboardingService
{
public:
    Onboarding(Defaults &defaults, SecondCopyGuard &guard);
    ~Onboarding() override;

    // Before the model starts.
    void attach(AppModel &model, const OnboardingParts &parts);

    bool whatsNewShouldShow() const override;
    void presentPersonalize(std::function<void()> onClose) override;
    void showWhatsNew() override;
    void seedWelcomeClipsIfNeeded(const QDateTime &startTime) override;
    void addThanksCardIfNeeded() override;
    void runSecondCopyGuard(bool welcomeClipsChecked) override;
    void createSupportReport(QObject *receiver, std::function<void(const SupportReportResult &)> done) override;

private:
    Defaults &m_defaults;
    SecondCopyGuard &m_guard;
    std::unique_ptr<WelcomeClips> m_welcomeClips;
    std::unique_ptr<OnboardingParts> m_parts;
};

} // namespace tamo
