#pragma once

#include <QStringList>

namespace tamo {

class Defaults;
class PasteboardCopy;
class Workspace;
struct AppInfo;

// The privacy rules that keep a copy out of the history, in the order they
// are checked (cheap ones first, the secret scan last):
//   1. a concealed, transient or password-manager marker on the copy;
//   2. a copy an app made by itself while "saveAutomaticCopies" is off;
//   3. a source app listed in "ignoredApps", under any id of the same
//      program (its settings dialog's entry);
//   4. a browser page whose source URL is no web page and mentions
//      "password": the browser's own password manager;
//   5. text holding a key, token or private key while "skipSecrets" is on.
// The settings are taken as each copy is noticed, so a change applies to
// the next copy.
namespace CaptureRules {

// The settings the rules look at, read on the main thread for a capture
// that runs on another.
struct Settings
{
    bool saveAutomaticCopies = false;
    bool skipSecrets = false;
    QStringList ignoredApps; // with every id of the same programs

    static Settings from(const Defaults &defaults, const Workspace &workspace);
};

bool dropsCopy(PasteboardCopy &copy, const AppInfo &source, const Settings &settings);

// Rule 1, which needs neither the source nor the settings.
bool hasPrivacyMarker(const PasteboardCopy &copy);

} // namespace CaptureRules

} // namespace tamo
