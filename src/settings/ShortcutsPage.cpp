#include "settings/ShortcutsPage.h"

#include "app/AppModel.h"
#include "cards/ViewStyles.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"
#include "settings/DefaultsBindings.h"
#include "settings/Pickers.h"
#include "settings/SettingsEnvironment.h"
#include "settings/ShortcutRecorder.h"

#include <QLabel>

namespace tamo {

namespace {

// The keys in stored glyph form, placed into the row's words.
QString named(const QString &pattern, const QStringList &glyphChords = {})
{
    QString text = pattern;
    for (const QString &chord : glyphChords)
        text = text.arg(keyNames(chord));
    return text;
}

QString targetNote(const Defaults &defaults)
{
    const bool toMenuBar = defaults.string(keys::shortcutTarget) == rawValue(ShortcutTarget::menuBar);
    if (toMenuBar && !(defaults.boolValue(keys::menuBarRecentClips) && defaults.boolValue(keys::showMenuBarIcon)))
        return QStringLiteral("Turn on Recent Clips in the Tray in Clips settings; until then the shortcut opens "
                              "the TamoCove panel.");
    if (toMenuBar)
        return QStringLiteral("Your recent clips drop down from TamoCove's tray icon, ready to search.");
    return QStringLiteral("The TamoCove panel slides up from the bottom of the screen.");
}

} // namespace

QList<ShortcutsPage::PanelKeys> ShortcutsPage::panelShortcuts()
{
    return {
        {named(QStringLiteral("%1 %2"), {QStringLiteral("←"), QStringLiteral("→")}), QStringLiteral("Move between clips")},
        {named(QStringLiteral("%1"), {QStringLiteral("↩")}), QStringLiteral("Paste the selected clip")},
        {named(QStringLiteral("%1"), {QStringLiteral("⇧↩")}), QStringLiteral("Paste as plain text")},
        {named(QStringLiteral("%1"), {QStringLiteral("Space")}), QStringLiteral("Preview, and edit text clips")},
        {named(QStringLiteral("%1"), {QStringLiteral("⌘R")}), QStringLiteral("Rename the selected clip")},
        {named(QStringLiteral("%1-click"), {QStringLiteral("⌘")}),
         named(QStringLiteral("Select several clips; %1 selects all"), {QStringLiteral("⌘A")})},
        {named(QStringLiteral("%1"), {QStringLiteral("⌘C")}), QStringLiteral("Copy the selected clips")},
        {named(QStringLiteral("%1 – %2"), {QStringLiteral("⌘1"), QStringLiteral("⌘9")}),
         named(QStringLiteral("Quick-paste a clip (add %1 for plain text)"), {QStringLiteral("⇧")})},
        {QStringLiteral("Type"), QStringLiteral("Search the current list; filter by type or app from the search bar")},
        {named(QStringLiteral("%1 (empty search)"), {QStringLiteral("⌫")}), QStringLiteral("Remove the last filter chip")},
        {named(QStringLiteral("%1 / %2"), {QStringLiteral("⌫"), QStringLiteral("⌘⌫")}),
         QStringLiteral("Delete, or remove from a pinboard")},
        {named(QStringLiteral("%1"), {QStringLiteral("⇥")}), QStringLiteral("Next pinboard")},
        {named(QStringLiteral("%1"), {QStringLiteral("⇧⇥")}), QStringLiteral("Previous pinboard")},
        {named(QStringLiteral("%1"), {QStringLiteral("⎋")}), QStringLiteral("Clear the search, then close TamoCove")},
        {named(QStringLiteral("%1"), {QStringLiteral("⌘,")}), QStringLiteral("Open Preferences")},
    };
}

ShortcutsPage::ShortcutsPage(SettingsEnvironment &environment, QWidget *parent)
    : SettingsForm(parent)
{
    addMainShortcut(environment);
    addPanelKeys();
}

void ShortcutsPage::addMainShortcut(SettingsEnvironment &environment)
{
    Defaults &defaults = environment.defaults;
    FormSection *section = addSection();
    section->addRow(QStringLiteral("Open TamoCove"), {}, makeMainShortcutRecorder(environment.model, defaults));

    auto *target = new PopUpPicker({{QStringLiteral("TamoCove Panel"), rawValue(ShortcutTarget::drawer)},
                                    {QStringLiteral("Tray Clips"), rawValue(ShortcutTarget::menuBar)}});
    FormRow *row = section->addRow(QStringLiteral("The Shortcut Opens"), {}, target);
    connect(target, &PopUpPicker::picked, this, [&defaults](const QVariant &value) {
        defaults.setValue(keys::shortcutTarget, value.toString());
    });
    followKeys(row, defaults, {keys::shortcutTarget, keys::menuBarRecentClips, keys::showMenuBarIcon},
               [row, target, &defaults] {
                   target->setCurrentValue(defaults.string(keys::shortcutTarget).value_or(rawValue(ShortcutTarget::drawer)));
                   row->setDescription(targetNote(defaults));
               });
}

void ShortcutsPage::addPanelKeys()
{
    FormSection *section = addSection(QStringLiteral("In the TamoCove Panel"));
    QFont keysFont = uiFont(12);
    keysFont.setStyleHint(QFont::Monospace);
    keysFont.setFamily(QStringLiteral("monospace"));
    for (const PanelKeys &entry : panelShortcuts()) {
        QLabel *keys = secondaryLabel(entry.keys, 12);
        keys->setFont(keysFont);
        keys->setWordWrap(false);
        keys->setAccessibleName(entry.keys);
        section->addRow(entry.action, {}, keys);
    }
}

} // namespace tamo
