#pragma once

#include <QString>

namespace tamo {

class Defaults;

// Registers the defaults of every setting that has one, before anything
// reads them. Keys whose readers carry their own fallback get only their
// type, so they read as absent until written with a value they can use.
// Each key holding a value it cannot use is reported once.
void registerDefaultSettings(Defaults &defaults);

// The name of an app the ignore list starts with, for when it is not
// installed; empty for any other id.
QString defaultIgnoredAppName(const QString &id);

// Rewrites a stored value that an earlier build wrote as its default and
// that means nothing here, leaving every value the user chose.
void replaceRetiredDefaults(Defaults &defaults);

} // namespace tamo
