#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace tamo {

// The pages of the settings window, in sidebar order. Their position is the
// number the rest of the app opens the window with.
enum class SettingsPage { general, tamos, shortcuts, privacy, bonus, about };

struct SettingsPageInfo
{
    QString rawValue;
    QString title;  // also the window title while the page shows
    QString symbol;
    QColor colour;  // of the sidebar tile
};

const QList<SettingsPage> &allSettingsPages();
const SettingsPageInfo &pageInfo(SettingsPage page);

// Exact raw values only ("tamos", not "Clips" or "clips").
std::optional<SettingsPage> settingsPageFromRaw(QStringView raw);
// Nothing for a number that is no page.
std::optional<SettingsPage> settingsPageAt(int position);

} // namespace tamo
