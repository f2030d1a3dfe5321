#pragma once

#include <QStringList>
#include <QWidget>

class QToolButton;
class QVBoxLayout;

namespace tamo {

class AppChooser;
class Defaults;
class Workspace;

// The apps whose copies are never kept, with buttons to add apps and to stop
// ignoring the selected one. The whole list is written back on each change.
class IgnoredAppsList : public QWidget
{
    Q_OBJECT

public:
    IgnoredAppsList(Defaults &defaults, const Workspace &workspace, AppChooser &chooser, QWidget *parent = nullptr);

    QStringList apps() const { return m_apps; }
    QString selection() const { return m_selection; }
    void select(const QString &bundleID);
    void addApps();
    void removeSelectedApp();

    QToolButton *removeButton() const { return m_remove; }

private:
    QStringList shownApps() const;
    void showApps();
    void store();

    Defaults &m_defaults;
    const Workspace &m_workspace;
    AppChooser &m_chooser;
    QStringList m_apps;
    QString m_selection;
    QVBoxLayout *m_rows;
    QToolButton *m_remove;
};

} // namespace tamo
