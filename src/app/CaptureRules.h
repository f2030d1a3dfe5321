#pragma once

#include <QStringList>

namespace tamo {

class Defaults;
class PasteboardCopy;
struct AppInfo;

// The privacy rules that keep a copy out of the history, in the order they
// are checked (cheap ones first, the secret scan last):
//   1. a concealed, transient or password-manager marker on the copy;
//   2. a copy an app made by itself while "saveAutomaticCopies" is off;
//   3. a source app listed in "ignoredApps";
//   4. a browser page whose source URL is no web page and mentions
//      "password": the browser's own password manager;
//   5. text holding a key, token or private key while "skipSecrets" is on.
// The settings are read on every call, so a change applies to the next copy.
namespace CaptureRules {

bool dropsCopy(PasteboardCopy &copy, const AppInfo &source, const Defaults &defaults);

// The types in which browsers name the page a copy came from on X11: UTF-8
// from Chromium, UTF-16 from Firefox.
const QStringList &browserSourceURLTypes();

} // namespace CaptureRules

} // namespace tamo
