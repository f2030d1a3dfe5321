#pragma once

#include "app/AppHooks.h"
#include "platform/KeyboardLayouts.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>

namespace tamo {

class Clock;
class Defaults;
class Workspace;

// Gives each app the keyboard layout its rule names whenever it comes to the
// front, and again after a desktop change, keeping a log of the last switches.
class InputSourceSwitcher final : public QObject
{
    Q_OBJECT
public:
    using Source = KeyboardLayout;

    using Switch = InputSourceSwitch;

    static constexpr int logLength = 10;

    InputSourceSwitcher(Workspace &workspace, KeyboardLayouts &layouts, Defaults &defaults, const Clock &clock,
                        QObject *parent = nullptr);

    void start();
    void stop();
    bool isRunning() const { return m_running; }

    // App id → layout id. An entry that is not a string is left out alone, so
    // one bad entry costs no other rule.
    static QHash<QString, QString> rules(const Defaults &defaults);
    QList<Source> availableSources() const { return m_layouts.layouts(); }
    bool followsDocumentInputSource() const { return m_layouts.followsWindowLayout(); }
    // Oldest first.
    const QList<Switch> &recentSwitches() const { return m_recentSwitches; }

private:
    // The layout of the app's rule, stored under any id of its program.
    QString ruleFor(const QString &bundleID) const;
    void applyToFrontmost();
    void apply(const QString &bundleID);
    void scheduleReapply(qint64 pid, const QString &bundleID, const QString &target);
    void reapply(qint64 pid, const QString &bundleID, const QString &target);
    bool hasLayout(const QString &id) const;
    QString currentLayout() const;
    void log(const QString &bundleID, const QString &from, const QString &to, Switch::Outcome outcome, int status = 0);

    Workspace &m_workspace;
    KeyboardLayouts &m_layouts;
    Defaults &m_defaults;
    const Clock &m_clock;
    bool m_running = false;
    QList<Switch> m_recentSwitches;
    QList<QMetaObject::Connection> m_observers;
};

} // namespace tamo
