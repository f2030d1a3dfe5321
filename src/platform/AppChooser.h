#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tamo {

class WindowServer;
class Workspace;

// Picks installed applications, as a person would in an open panel over the
// applications folder: modal, above the app's floating windows.
class AppChooser
{
public:
    virtual ~AppChooser() = default;
    // The chosen apps' bundle identifiers in list order; nothing when cancelled.
    virtual std::optional<QStringList> chooseApps(const QString &prompt) = 0;
};

// A dialog listing the installed desktop entries and the running apps that
// have none (a script's window), by name, with a filter.
class DialogAppChooser final : public AppChooser
{
public:
    DialogAppChooser(const Workspace &workspace, const WindowServer &windows);
    std::optional<QStringList> chooseApps(const QString &prompt) override;

private:
    const Workspace &m_workspace;
    const WindowServer &m_windows;
};

} // namespace tamo
