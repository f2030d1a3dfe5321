#pragma once

#include "app/AppModel.h"

#include <memory>

namespace tamo {

// Opens the app model over its stores. A damaged store file is named to the
// user, who may have it moved aside and replaced by a fresh store holding what
// could still be read from it. Any other failure, or a refusal, is shown to
// the user and gives nullptr; the files are then left as they were.
std::unique_ptr<AppModel> openAppModel(const PlatformServices &services, const QString &storeDirectory,
                                       const AppExtensions &extensions);

} // namespace tamo
