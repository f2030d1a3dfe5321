#pragma once

namespace tamo {

class Defaults;

// Registers the defaults of every setting that has one, before anything
// reads them. Keys whose readers carry their own fallback get only their
// type, so they read as absent until written with a value they can use.
// Each key holding a value it cannot use is reported once.
void registerDefaultSettings(Defaults &defaults);

} // namespace tamo
