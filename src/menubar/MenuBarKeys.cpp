#include "menubar/MenuBarKeys.h"

#include "app/AppModel.h"
#include "menubar/MenuBarViewState.h"

namespace tamo::menubarkeys {

namespace {

using Key = KeyPress::Key;
using Modifier = KeyPress::Modifier;

KeyResult result(bool handled)
{
    return handled ? KeyResult::handled : KeyResult::ignored;
}

bool isDelete(const KeyPress &press)
{
    return press.key == Key::deleteBackward || press.key == Key::deleteForward || press.text == QChar(0x7F);
}

KeyResult pasteSelection(MenuBarViewState &state, const KeyPress &press)
{
    const QList<ClipItemPtr> clips = state.selectedClips();
    if (clips.isEmpty())
        return KeyResult::ignored;
    state.model().paste(clips, press.has(Modifier::shift));
    return KeyResult::handled;
}

// What the search field does with ⌘ held: its text's own editing keys.
bool editsFieldText(const KeyPress &press)
{
    switch (press.key) {
    case Key::deleteBackward:
    case Key::deleteForward:
    case Key::left:
    case Key::right:
        return true;
    default:
        break;
    }
    static const QStringList editing{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("v"),
                                     QStringLiteral("x"), QStringLiteral("z"), QStringLiteral("y")};
    return editing.contains(press.text.toLower());
}

} // namespace

std::optional<KeyResult> renameKey(MenuBarViewState &state, const KeyPress &press)
{
    if (press.text.toLower() != QLatin1String("r"))
        return std::nullopt;
    if (!state.visibleIDs().contains(state.selectedID()))
        return std::nullopt;
    const ClipItemPtr clip = state.clipWithID(state.selectedID());
    if (!clip)
        return std::nullopt;
    state.model().beginRenaming(*clip, true);
    return KeyResult::handled;
}

std::optional<KeyResult> quickPasteKey(MenuBarViewState &state, const KeyPress &press)
{
    const QList<QUuid> visible = state.visibleIDs();
    if (press.digit < 1 || press.digit > visible.size())
        return std::nullopt;
    const ClipItemPtr clip = state.clipWithID(visible[press.digit - 1]);
    if (!clip)
        return std::nullopt;
    state.model().paste({clip}, press.has(Modifier::shift));
    return KeyResult::handled;
}

std::optional<KeyResult> editKey(MenuBarViewState &state, const KeyPress &press, bool fromSearchField)
{
    // The text field keeps ⌫, ⌘C and ⌘A for its own text.
    if (fromSearchField && !state.query().isEmpty())
        return std::nullopt;
    if (isDelete(press)) {
        const QList<ClipItemPtr> clips = state.selectedClips();
        if (clips.isEmpty() || press.isRepeat)
            return std::nullopt;
        state.deleteSelected(clips);
        return KeyResult::handled;
    }
    const QString character = press.text.toLower();
    if (character == QLatin1String("c")) {
        const QList<ClipItemPtr> clips = state.selectedClips();
        if (clips.isEmpty())
            return std::nullopt;
        state.model().copyToClipboard(clips);
        return KeyResult::handled;
    }
    if (character == QLatin1String("a")) {
        if (!state.selectAll())
            return std::nullopt;
        return KeyResult::handled;
    }
    return std::nullopt;
}

std::optional<KeyResult> previewKey(MenuBarViewState &state, const KeyPress &press)
{
    if (press.key != Key::space || state.isSearching())
        return std::nullopt;
    const QList<QUuid> visible = state.visibleIDs();
    if (!visible.contains(state.selectedID()))
        return std::nullopt;
    const ClipItemPtr clip = state.clipWithID(state.selectedID());
    if (!clip)
        return std::nullopt;
    state.model().openPreview(*clip, visible);
    return KeyResult::handled;
}

namespace {

// The ⌘ keys the grid and the search field share.
std::optional<KeyResult> sharedCommandKey(MenuBarViewState &state, const KeyPress &press, bool fromSearchField)
{
    if (const auto pasted = quickPasteKey(state, press))
        return pasted;
    if (const auto edited = editKey(state, press, fromSearchField))
        return edited;
    return renameKey(state, press);
}

// Esc collapses a multi-selection first, then ends a search when
// `endsSearch`, then closes the panel.
KeyResult escapeKey(MenuBarViewState &state, bool endsSearch)
{
    if (!state.multiSelection().isEmpty())
        state.setSelection(state.selectedID(), {});
    else if (endsSearch && state.isSearching())
        state.clearSearch();
    else
        state.requestClose();
    return KeyResult::handled;
}

} // namespace

KeyResult gridKeyPress(MenuBarViewState &state, const KeyPress &press)
{
    if (!state.model().renamingItemID().isNull())
        return KeyResult::ignored;
    const bool shift = press.has(Modifier::shift);
    if (press.has(Modifier::command)) {
        if (const auto shared = sharedCommandKey(state, press, false))
            return *shared;
        if (press.text == QLatin1String(",")) {
            state.model().showPreferences();
            return KeyResult::handled;
        }
        return KeyResult::ignored;
    }
    if (const auto previewed = previewKey(state, press))
        return *previewed;
    switch (press.key) {
    case Key::left:
    case Key::up:
        return result(state.moveSelection(-1, shift));
    case Key::right:
    case Key::down:
        return result(state.moveSelection(+1, shift));
    case Key::returnKey:
        return pasteSelection(state, press);
    case Key::escape:
        return escapeKey(state, false);
    default:
        break;
    }
    const bool typing = !press.has(Modifier::control) && !press.has(Modifier::option) && !press.text.isEmpty()
        && !MenuBarViewState::hasControlOrFunctionKey(press.text);
    if (!typing)
        return KeyResult::ignored;
    state.setQuery(state.query() + press.text);
    state.setFocus(MenuBarViewState::Focus::search);
    return KeyResult::handled;
}

KeyResult searchKeyPress(MenuBarViewState &state, const KeyPress &press)
{
    if (press.has(Modifier::command)) {
        if (const auto shared = sharedCommandKey(state, press, true))
            return *shared;
        // A ⌘ key that no rule names does nothing: the field would type its letter.
        return editsFieldText(press) ? KeyResult::ignored : KeyResult::handled;
    }
    const bool shift = press.has(Modifier::shift);
    switch (press.key) {
    case Key::up:
        return result(state.moveSelection(-1, shift));
    case Key::down:
        return result(state.moveSelection(+1, shift));
    case Key::returnKey:
        return pasteSelection(state, press);
    case Key::escape:
        return escapeKey(state, true);
    default:
        return previewKey(state, press).value_or(KeyResult::ignored);
    }
}

} // namespace tamo::menubarkeys
