#pragma once

#include <QMenu>

namespace tamo {

// A menu whose rows show their keys at the right as this desktop names them
// ("Ctrl+,", "Super+Alt+Z"). The keys are the row's shortcut, not part of its
// title, so screen readers read the title as the row's name; Qt alone would
// name the Super key "Meta".
class KeyHintMenu : public QMenu
{
    Q_OBJECT

public:
    using QMenu::QMenu;

    // The keys in glyph form ("⌘,"); empty takes them away.
    static void setKeys(QAction *row, const QString &glyphShortcut);
    // The keys as the row shows them.
    static QString shownKeys(const QAction *row);

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
};

} // namespace tamo
