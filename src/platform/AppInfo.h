#pragma once

#include <QString>

namespace tamo {

// A running or installed application as the layer above knows it. The bundle
// identifier is the desktop entry id without ".desktop" (e.g.
// "org.gnome.TextEditor"), else the window class.
struct AppInfo
{
    QString bundleID;
    QString name;

    bool isValid() const { return !bundleID.isEmpty(); }
    bool operator==(const AppInfo &) const = default;
};

} // namespace tamo
