#pragma once

#include <QList>
#include <QString>

namespace tamo {

// The apps and windows the user used most recently, most recent first, that
// the window switcher sorts by. Kept for the life of the process, also while
// the switcher is off.
class RecentWindows
{
public:
    static constexpr qsizetype limit = 80;

    const QList<qint64> &pids() const { return m_pids; }
    const QStringList &windowKeys() const { return m_windowKeys; }

    void bumpApp(qint64 pid);
    // An empty key changes nothing.
    void bumpWindow(const QString &key);

private:
    QList<qint64> m_pids;
    QStringList m_windowKeys;
};

} // namespace tamo
