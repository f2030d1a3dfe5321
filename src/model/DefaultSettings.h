#pragma once

namespace tamo {

class Defaults;

// Registers the defaults of every setting that has one, before anything
// reads them. Keys whose readers carry their own fallback stay unregistered,
// so they read as absent until written.
void registerDefaultSettings(Defaults &defaults);

} // namespace tamo
