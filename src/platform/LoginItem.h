#pragma once

#include <QString>

namespace tamo {

// Whether TamoCove starts when the user logs in.
class LoginItem
{
public:
    virtual ~LoginItem() = default;
    virtual bool isEnabled() const = 0;
    // False when the change could not be made; the state is then as before.
    virtual bool setEnabled(bool enabled) = 0;

    // Points an item that is on at this program again, rewriting it in place;
    // one that is off stays off.
    bool refresh() { return !isEnabled() || setEnabled(true); }
};

// An XDG autostart entry: a desktop file in ~/.config/autostart/, which
// desktop sessions launch at login. An entry the user hid (Hidden=true)
// counts as off; turning on replaces it.
class XdgAutostartItem final : public LoginItem
{
public:
    // `entryPath` is the desktop file; `executable` the program it starts.
    XdgAutostartItem(QString entryPath, QString executable);

    // ~/.config/autostart/tamocove.desktop
    static QString standardEntryPath();

    bool isEnabled() const override;
    bool setEnabled(bool enabled) override;

    // The entry's text for a program.
    static QByteArray entryText(const QString &executable);

private:
    QString m_entryPath;
    QString m_executable;
};

} // namespace tamo
