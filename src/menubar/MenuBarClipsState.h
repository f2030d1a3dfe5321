#pragma once

#include <QObject>

namespace tamo {

// Counters through which the menu-bar controller tells its hosted view that
// the panel opened or that the view should take the keyboard back.
class MenuBarClipsState : public QObject
{
    Q_OBJECT

public:
    explicit MenuBarClipsState(QObject *parent = nullptr);

    int openCount() const { return m_openCount; }
    int refocusCount() const { return m_refocusCount; }
    void setOpenCount(int count);
    void setRefocusCount(int count);

signals:
    void openCountChanged(int count);
    void refocusCountChanged(int count);

private:
    int m_openCount = 0;
    int m_refocusCount = 0;
};

} // namespace tamo
