#include "onboarding/Onboarding.h"

#include "app/AppModel.h"
#include "model/ModelContainer.h"
#include "onboarding/FeatureTour.h"
#include "onboarding/Personalization.h"
#include "onboarding/SecondCopyGuard.h"
#include "onboarding/SupportReport.h"
#include "onboarding/WelcomeClips.h"

namespace tamo {

Onboarding::Onboarding(Defaults &defaults, SecondCopyGuard &guard) : m_defaults(defaults), m_guard(guard)
{
}

Onboarding::~Onboarding() = default;

void Onboarding::attach(AppModel &model, const OnboardingParts &parts)
{
    m_welcomeClips = std::make_unique<WelcomeClips>(model.container().mainContext(), model.clips(), m_defaults,
                                                    model.clock());
    m_parts = std::make_unique<OnboardingParts>(parts);
}

bool Onboarding::whatsNewShouldShow() const
{
    return FeatureTour::shouldShow(m_defaults);
}

void Onboarding::presentPersonalize(std::function<void()> onClose)
{
    if (m_parts)
        m_parts->personalization.present(std::move(onClose));
}

void Onboarding::showWhatsNew()
{
    if (m_parts)
        m_parts->tour.show();
}

void Onboarding::seedWelcomeClipsIfNeeded(const QDateTime &startTime)
{
    if (m_welcomeClips)
        m_welcomeClips->seedIfNeeded(startTime);
}

void Onboarding::addThanksCardIfNeeded()
{
    if (m_welcomeClips)
        m_welcomeClips->addThanksCardIfNeeded();
}

void Onboarding::runSecondCopyGuard(bool welcomeClipsChecked)
{
    m_guard.run(welcomeClipsChecked, m_defaults);
}

void Onboarding::createSupportReport(QObject *receiver, std::function<void(const SupportReportResult &)> done)
{
    if (m_parts)
        m_parts->report.create(receiver, std::move(done));
    else
        done({});
}

} // namespace tamo
