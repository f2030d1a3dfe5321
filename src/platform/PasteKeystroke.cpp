#include "platform/PasteKeystroke.h"

#include <QStringList>

namespace tamo {

namespace {

// WM_CLASS instance or class names of terminal emulators, lower case.
const QStringList &terminalClasses()
{
    static const QStringList classes{
        QStringLiteral("xterm"),          QStringLiteral("uxterm"),
        QStringLiteral("gnome-terminal"), QStringLiteral("gnome-terminal-server"),
        QStringLiteral("kgx"),            QStringLiteral("org.gnome.console"),
        QStringLiteral("org.gnome.ptyxis"),
        QStringLiteral("konsole"),        QStringLiteral("yakuake"),
        QStringLiteral("kitty"),          QStringLiteral("alacritty"),
        QStringLiteral("tilix"),          QStringLiteral("xfce4-terminal"),
        QStringLiteral("terminator"),     QStringLiteral("urxvt"),
        QStringLiteral("rxvt"),           QStringLiteral("st-256color"),
        QStringLiteral("lxterminal"),     QStringLiteral("mate-terminal"),
        QStringLiteral("qterminal"),      QStringLiteral("sakura"),
        QStringLiteral("terminology"),    QStringLiteral("guake"),
        QStringLiteral("tilda"),          QStringLiteral("foot"),
        QStringLiteral("wezterm"),        QStringLiteral("org.wezfurlong.wezterm"),
        QStringLiteral("com.mitchellh.ghostty"),
        QStringLiteral("deepin-terminal"), QStringLiteral("cool-retro-term"),
    };
    return classes;
}

} // namespace

PasteKeystroke pasteKeystrokeForWindowClass(const QString &instance, const QString &className)
{
    const bool terminal = terminalClasses().contains(instance.toLower())
                          || terminalClasses().contains(className.toLower());
    return terminal ? PasteKeystroke::ControlShiftV : PasteKeystroke::ControlV;
}

} // namespace tamo
