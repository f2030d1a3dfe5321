#pragma once

#include <QString>

namespace tamo::sheets {

class Scene;

// The personalisation window's pages and every page of the feature tour, as
// they open: onboarding-personalize-<theme>.png and onboarding-tour-<theme>.png.
void writeOnboardingSheets(Scene &scene, const QString &theme, const QString &folder);

} // namespace tamo::sheets
