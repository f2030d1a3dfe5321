#include "drawer/DrawerKeys.h"

#include "app/AppModel.h"
#include "drawer/DrawerSelection.h"
#include "drawer/SearchTyping.h"

#include <algorithm>

namespace tamo {

namespace {

using Key = KeyPress::Key;
using Modifier = KeyPress::Modifier;

// One press over one context; the rows of the key map are tried in order and
// the first whose key and condition match decides.
class DrawerKeyHandler
{
public:
    explicit DrawerKeyHandler(const DrawerKeyContext &context)
        : m_model(context.model)
        , m_visible(context.visibleClips)
        , m_pinboardID(context.pinboardID)
    {
    }

    KeyResult handle(const KeyPress &press);
    KeyResult type(const QString &typed);

private:
    KeyResult handleCommand(const KeyPress &press);
    KeyResult handleReturn(bool plainText);
    KeyResult handleSpace();
    KeyResult moveSelection(qsizetype step, bool extend);
    void deleteCascade(const KeyPress &press);
    void escapeCascade();
    void selectAll();
    void deleteSelection(const QList<ClipItemPtr> &selection);
    ClipItemPtr selectedClip() const;

    AppModel &m_model;
    const QList<ClipItemPtr> &m_visible;
    const QUuid m_pinboardID;
};

KeyResult DrawerKeyHandler::handle(const KeyPress &press)
{
    if (!m_model.renamingItemID().isNull())
        return KeyResult::ignored;
    if (press.key == Key::deleteBackward || press.key == Key::deleteForward) {
        deleteCascade(press);
        return KeyResult::handled;
    }
    if (press.has(Modifier::command))
        return handleCommand(press);

    const bool shift = press.has(Modifier::shift);
    switch (press.key) {
    case Key::left:
    case Key::up:
        return moveSelection(-1, shift);
    case Key::right:
    case Key::down:
        return moveSelection(+1, shift);
    case Key::returnKey:
        return handleReturn(shift);
    case Key::escape:
        escapeCascade();
        return KeyResult::handled;
    case Key::tab:
        m_model.cyclePinboard(!shift);
        return KeyResult::handled;
    case Key::backTab:
        m_model.cyclePinboard(false);
        return KeyResult::handled;
    case Key::space:
        if (!m_model.isSearchActive())
            return handleSpace();
        break; // types a space into the open search
    default:
        break;
    }
    if (press.has(Modifier::control))
        return KeyResult::ignored;
    return type(press.text);
}

KeyResult DrawerKeyHandler::type(const QString &typed)
{
    const QString typable = typableSearchText(typed);
    if (typable.isEmpty())
        return KeyResult::ignored;
    m_model.setSearchOpened(true);
    m_model.setSearchText(m_model.searchText() + typable);
    return KeyResult::handled;
}

KeyResult DrawerKeyHandler::handleCommand(const KeyPress &press)
{
    const bool plainText = press.has(Modifier::shift);
    if (press.digit >= 1 && press.digit <= m_visible.size()) {
        m_model.paste({m_visible[press.digit - 1]}, plainText);
        return KeyResult::handled;
    }
    if (press.text == QStringLiteral("c")) {
        const QList<ClipItemPtr> items = selectedItems(m_model, m_visible);
        if (items.isEmpty())
            return KeyResult::ignored;
        m_model.copyToClipboard(items);
        return KeyResult::handled;
    }
    if (press.text == QStringLiteral("a")) {
        if (m_visible.isEmpty())
            return KeyResult::ignored;
        selectAll();
        return KeyResult::handled;
    }
    if (press.text == QStringLiteral("r")) {
        const ClipItemPtr clip = selectedClip();
        if (!clip)
            return KeyResult::ignored;
        m_model.beginRenaming(*clip, false);
        return KeyResult::handled;
    }
    if (press.text == QStringLiteral(",")) {
        m_model.showPreferences();
        return KeyResult::handled;
    }
    return KeyResult::ignored;
}

KeyResult DrawerKeyHandler::handleReturn(bool plainText)
{
    if (m_model.isReorderingPinboards()) {
        m_model.endPinboardReorder();
        return KeyResult::handled;
    }
    const QList<ClipItemPtr> items = selectedItems(m_model, m_visible);
    if (items.isEmpty())
        return KeyResult::ignored;
    m_model.paste(items, plainText);
    return KeyResult::handled;
}

KeyResult DrawerKeyHandler::handleSpace()
{
    const ClipItemPtr clip = selectedClip();
    if (!clip)
        return KeyResult::ignored;
    m_model.openPreview(*clip);
    return KeyResult::handled;
}

// No wrap-around: the ends keep the selection, and with no current clip
// either direction lands on the first.
KeyResult DrawerKeyHandler::moveSelection(qsizetype step, bool extend)
{
    if (m_visible.isEmpty())
        return KeyResult::ignored;
    const qsizetype target = std::clamp<qsizetype>(selectedIndex(m_model, m_visible) + step, 0, m_visible.size() - 1);
    const QUuid targetID = m_visible[target]->id();
    if (extend) {
        m_model.selectRange(targetID, clipIDs(m_visible));
    } else {
        m_model.setMultiSelection({});
        m_model.setSelectedItemID(targetID);
    }
    return KeyResult::handled;
}

// The search text first, then the chips, then the clips; an open but empty
// search protects the clips. A held key deletes clips only once.
void DrawerKeyHandler::deleteCascade(const KeyPress &press)
{
    const QString text = m_model.searchText();
    if (!text.isEmpty()) {
        if (press.has(Modifier::command))
            m_model.setSearchText({});
        else if (press.has(Modifier::option))
            m_model.setSearchText(deleteSearchWord(text));
        else if (press.key == Key::deleteBackward)
            m_model.setSearchText(dropLastSearchCharacter(text));
        return;
    }
    QList<SearchFilter> filters = m_model.searchFilters();
    if (!filters.isEmpty()) {
        filters.removeLast();
        m_model.setSearchFilters(filters);
        return;
    }
    if (m_model.isSearchActive() || press.isRepeat)
        return;
    const QList<ClipItemPtr> selection = selectedItems(m_model, m_visible);
    if (!selection.isEmpty())
        deleteSelection(selection);
}

void DrawerKeyHandler::escapeCascade()
{
    if (m_model.isReorderingPinboards())
        m_model.endPinboardReorder();
    else if (!m_model.multiSelection().isEmpty())
        m_model.setMultiSelection({});
    else if (m_model.isSearchActive())
        m_model.resetSearch();
    else
        m_model.drawer().hide(true);
}

void DrawerKeyHandler::selectAll()
{
    const QList<QUuid> ids = clipIDs(m_visible);
    m_model.setMultiSelection(ids.size() >= 2 ? QSet<QUuid>(ids.cbegin(), ids.cend()) : QSet<QUuid>());
    m_model.setSelectedItemID(ids.front());
}

void DrawerKeyHandler::deleteSelection(const QList<ClipItemPtr> &selection)
{
    const QList<QUuid> removed = clipIDs(selection);
    m_model.setSelectedItemID(selectionAfterRemoval(clipIDs(m_visible), QSet<QUuid>(removed.cbegin(), removed.cend())));
    if (m_pinboardID.isNull())
        m_model.deleteItems(selection);
    else
        m_model.unpin(selection); // they leave the pinboard and stay in the history
}

ClipItemPtr DrawerKeyHandler::selectedClip() const
{
    const qsizetype index = selectedIndex(m_model, m_visible);
    return index < 0 ? nullptr : m_visible[index];
}

} // namespace

KeyResult handleDrawerKey(const KeyPress &press, const DrawerKeyContext &context)
{
    return DrawerKeyHandler(context).handle(press);
}

KeyResult typeDrawerText(const QString &text, const DrawerKeyContext &context)
{
    if (!context.model.renamingItemID().isNull())
        return KeyResult::ignored;
    return DrawerKeyHandler(context).type(text);
}

} // namespace tamo
