#include "platform/PasteKeystroke.h"

#include <QStringList>

namespace tamo {

namespace {

struct AppFamily
{
    PasteKeystroke keystroke;
    QStringList classes; // WM_CLASS instance or class names, lower case
};

// The default paste key of the apps where Ctrl+V does something else. xterm
// and the older rxvt family have none for the clipboard: their Shift+Insert
// pastes PRIMARY, as does gvim's (Debian maps it to the middle click in
// every mode; its Ctrl+V starts a block selection or quotes the next key).
// Emacs yanks with C-y, from the clipboard when another app set it.
const QList<AppFamily> &appFamilies()
{
    static const QList<AppFamily> families{
        {PasteKeystroke::ControlShiftV,
         {// VTE
          QStringLiteral("gnome-terminal"), QStringLiteral("gnome-terminal-server"), QStringLiteral("kgx"),
          QStringLiteral("org.gnome.console"), QStringLiteral("ptyxis"), QStringLiteral("org.gnome.ptyxis"),
          QStringLiteral("xfce4-terminal"), QStringLiteral("terminator"), QStringLiteral("tilix"),
          QStringLiteral("mate-terminal"), QStringLiteral("lxterminal"), QStringLiteral("sakura"),
          QStringLiteral("guake"), QStringLiteral("tilda"), QStringLiteral("io.elementary.terminal"),
          QStringLiteral("deepin-terminal"),
          // Qt
          QStringLiteral("konsole"), QStringLiteral("yakuake"), QStringLiteral("qterminal"),
          QStringLiteral("cool-retro-term"),
          // their own toolkits
          QStringLiteral("alacritty"), QStringLiteral("kitty"), QStringLiteral("wezterm"),
          QStringLiteral("org.wezfurlong.wezterm"), QStringLiteral("st"), QStringLiteral("st-256color"),
          QStringLiteral("stterm"), QStringLiteral("foot"), QStringLiteral("footclient"),
          QStringLiteral("com.mitchellh.ghostty"), QStringLiteral("terminology")}},
        {PasteKeystroke::ControlAltV, {QStringLiteral("urxvt"), QStringLiteral("rxvt-unicode")}},
        {PasteKeystroke::ShiftInsert,
         {QStringLiteral("xterm"), QStringLiteral("uxterm"), QStringLiteral("rxvt"), QStringLiteral("aterm"),
          QStringLiteral("eterm"), QStringLiteral("gvim")}},
        {PasteKeystroke::ControlY, {QStringLiteral("emacs")}},
    };
    return families;
}

} // namespace

PasteKeystroke pasteKeystrokeForWindowClass(const QString &instance, const QString &className)
{
    for (const AppFamily &family : appFamilies()) {
        if (family.classes.contains(instance.toLower()) || family.classes.contains(className.toLower()))
            return family.keystroke;
    }
    return PasteKeystroke::ControlV;
}

} // namespace tamo
