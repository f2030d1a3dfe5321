#pragma once

#include "onboarding/PersonalizeView.h"

namespace tamo {

class AppModel;
class Defaults;
class ThumbnailCache;

// The personalisation window's environment with its style options and size
// controls, all bound to the card settings.
PersonalizeEnvironment standardPersonalizeEnvironment(AppModel &model, Defaults &defaults, ThumbnailCache &thumbnails);

} // namespace tamo
