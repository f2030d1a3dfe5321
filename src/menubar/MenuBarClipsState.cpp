#include "menubar/MenuBarClipsState.h"

namespace tamo {

MenuBarClipsState::MenuBarClipsState(QObject *parent)
    : QObject(parent)
{
}

void MenuBarClipsState::setOpenCount(int count)
{
    if (count == m_openCount)
        return;
    m_openCount = count;
    emit openCountChanged(count);
}

void MenuBarClipsState::setRefocusCount(int count)
{
    if (count == m_refocusCount)
        return;
    m_refocusCount = count;
    emit refocusCountChanged(count);
}

} // namespace tamo
