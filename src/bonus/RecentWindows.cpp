#include "bonus/RecentWindows.h"

namespace tamo {

namespace {

template<typename T>
void moveToFront(QList<T> &list, const T &value)
{
    list.removeAll(value);
    list.prepend(value);
    if (list.size() > RecentWindows::limit)
        list.resize(RecentWindows::limit);
}

} // namespace

void RecentWindows::bumpApp(qint64 pid)
{
    moveToFront(m_pids, pid);
}

void RecentWindows::bumpWindow(const QString &key)
{
    if (!key.isEmpty())
        moveToFront(m_windowKeys, key);
}

} // namespace tamo
