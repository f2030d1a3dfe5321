#pragma once

#include "platform/KeyboardLayouts.h"

#include <QHash>
#include <QWidget>

class QToolButton;
class QVBoxLayout;

namespace tamo {

class AppChooser;
class BonusTools;
class Defaults;
class Workspace;

// The apps that get their own keyboard layout, each with a menu of the
// layouts, and buttons to add apps and to stop switching for the selected
// one. A rule that cannot be read is kept as stored; the whole set of rules
// is written back on each change.
class InputSourceRulesList : public QWidget
{
    Q_OBJECT

public:
    InputSourceRulesList(Defaults &defaults, const Workspace &workspace, const BonusTools &bonus,
                         AppChooser &chooser, QWidget *parent = nullptr);

    // Reads the rules and the layouts again, as when the page shows.
    void reload();
    void select(const QString &bundleID);
    void addApps();
    void removeSelectedRule();
    void setRuleSource(const QString &bundleID, const QString &layoutID);

    QString selection() const { return m_selection; }
    QToolButton *addButton() const { return m_add; }
    QToolButton *removeButton() const { return m_remove; }

private:
    void showRules();
    void store();
    QWidget *layoutMenu(const QString &bundleID);

    Defaults &m_defaults;
    const Workspace &m_workspace;
    const BonusTools &m_bonus;
    AppChooser &m_chooser;
    QVariantMap m_rules; // as stored, bad entries included
    QList<KeyboardLayout> m_layouts;
    QString m_selection;
    QVBoxLayout *m_rows;
    QToolButton *m_add;
    QToolButton *m_remove;
};

} // namespace tamo
