#include "bonus/InputSourceSwitcher.h"

#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QTimer>

namespace tamo {

namespace {

// Apps often set their own layout as they come up; a second look catches that.
constexpr int reapplyDelayMs = 200;
// The desktop switch settles the front window first.
constexpr int desktopChangeDelayMs = 300;
const QString noLayout = QStringLiteral("?");

} // namespace

InputSourceSwitcher::InputSourceSwitcher(Workspace &workspace, KeyboardLayouts &layouts, Defaults &defaults,
                                         const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_layouts(layouts)
    , m_defaults(defaults)
    , m_clock(clock)
{
}

void InputSourceSwitcher::start()
{
    if (m_running)
        return;
    m_running = true;
    m_observers = {
        connect(&m_workspace, &Workspace::appActivated, this, &InputSourceSwitcher::apply),
        connect(&m_workspace, &Workspace::desktopChanged, this,
                [this] { QTimer::singleShot(desktopChangeDelayMs, this, &InputSourceSwitcher::applyToFrontmost); }),
    };
    applyToFrontmost();
}

void InputSourceSwitcher::stop()
{
    if (!m_running)
        return;
    m_running = false;
    for (const QMetaObject::Connection &observer : std::as_const(m_observers))
        disconnect(observer);
    m_observers.clear();
}

QHash<QString, QString> InputSourceSwitcher::rules(const Defaults &defaults)
{
    QHash<QString, QString> rules;
    const QVariantMap stored = defaults.dictionary(keys::inputSourceRules);
    for (auto entry = stored.cbegin(); entry != stored.cend(); ++entry) {
        if (entry.value().typeId() == QMetaType::QString)
            rules.insert(entry.key(), entry.value().toString());
    }
    return rules;
}

QString InputSourceSwitcher::ruleFor(const QString &bundleID) const
{
    const QHash<QString, QString> all = rules(m_defaults);
    for (const QString &id : m_workspace.sameApp(bundleID)) {
        if (const QString layout = all.value(id); !layout.isEmpty())
            return layout;
    }
    return {};
}

void InputSourceSwitcher::applyToFrontmost()
{
    apply(m_workspace.frontmostApp().bundleID);
}

void InputSourceSwitcher::apply(const QString &bundleID)
{
    if (!m_running || bundleID.isEmpty() || m_workspace.frontmostProcessID() == QCoreApplication::applicationPid())
        return;
    const QString target = ruleFor(bundleID);
    if (target.isEmpty())
        return;
    const qint64 pid = m_workspace.frontmostProcessID();
    const QString current = currentLayout();
    if (current == target) {
        log(bundleID, current, target, Switch::Outcome::alreadyCurrent);
        scheduleReapply(pid, bundleID, target);
        return;
    }
    if (!hasLayout(target)) {
        log(bundleID, current, target, Switch::Outcome::unavailable);
        return;
    }
    const int status = m_layouts.select(target);
    if (status != 0) {
        log(bundleID, current, target, Switch::Outcome::failed, status);
        return;
    }
    log(bundleID, current, target, Switch::Outcome::switched);
    scheduleReapply(pid, bundleID, target);
}

void InputSourceSwitcher::scheduleReapply(qint64 pid, const QString &bundleID, const QString &target)
{
    QTimer::singleShot(reapplyDelayMs, this, [this, pid, bundleID, target] { reapply(pid, bundleID, target); });
}

void InputSourceSwitcher::reapply(qint64 pid, const QString &bundleID, const QString &target)
{
    if (!m_running || m_workspace.frontmostApp().bundleID != bundleID || m_workspace.frontmostProcessID() != pid)
        return;
    if (ruleFor(bundleID) != target)
        return;
    const QString current = m_layouts.currentLayoutID();
    if (current.isEmpty() || current == target || !hasLayout(target))
        return;
    const int status = m_layouts.select(target);
    log(bundleID, current, target, status == 0 ? Switch::Outcome::reapplied : Switch::Outcome::failed, status);
}

bool InputSourceSwitcher::hasLayout(const QString &id) const
{
    const QList<KeyboardLayout> layouts = m_layouts.layouts();
    return std::any_of(layouts.cbegin(), layouts.cend(), [&id](const KeyboardLayout &layout) { return layout.id == id; });
}

QString InputSourceSwitcher::currentLayout() const
{
    const QString current = m_layouts.currentLayoutID();
    return current.isEmpty() ? noLayout : current;
}

void InputSourceSwitcher::log(const QString &bundleID, const QString &from, const QString &to,
                              Switch::Outcome outcome, int status)
{
    m_recentSwitches.append({m_clock.now(), bundleID, from, to, outcome, status});
    while (m_recentSwitches.size() > logLength)
        m_recentSwitches.removeFirst();
}

} // namespace tamo
