#include "drawer/ClipCardMenu.h"

#include "app/AppModel.h"
#include "cards/ViewStyles.h"
#include "drawer/ColorDotImage.h"
#include "model/Pinboards.h"
#include "platform/Symbols.h"
#include "platform/Workspace.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPointer>

#include <algorithm>

namespace tamo {

namespace {

constexpr int menuIconSide = 16;
const QColor systemRed(255, 59, 48);

bool isPinned(const ClipItemPtr &clip)
{
    return clip->pinboardID().has_value();
}

ClipCardMenu::Row divider()
{
    return {};
}

ClipCardMenu::Row button(ClipCardMenu::Action action, const QString &title, const QString &symbol = {})
{
    ClipCardMenu::Row row;
    row.action = action;
    row.title = title;
    row.symbol = symbol;
    return row;
}

} // namespace

ClipCardMenu::ClipCardMenu(QList<ClipItemPtr> clips, QList<PinboardPtr> pinboards, bool inPinboard)
    : m_clips(std::move(clips)), m_pinboards(std::move(pinboards)), m_inPinboard(inPinboard)
{
    Q_ASSERT(!m_clips.isEmpty());
}

QString ClipCardMenu::clipCountSuffix(qsizetype count)
{
    return count < 2 ? QString() : QStringLiteral(" %1 Clips").arg(count);
}

std::optional<QUrl> ClipCardMenu::browserURL(const ClipItem &clip)
{
    if (clip.kind() != ClipKind::link || !clip.text())
        return std::nullopt;
    // A link keeps the text as copied, white space around it included.
    const QUrl url(clip.text()->trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    return url;
}

const QIcon &ClipCardMenu::redTrashImage()
{
    // Tinted rather than a template, so the menu keeps it red.
    static const QIcon icon(tintedSymbol(QStringLiteral("trash"), menuIconSide, systemRed, qApp->devicePixelRatio()));
    return icon;
}

QList<ClipCardMenu::Row> ClipCardMenu::rows() const
{
    const bool single = m_clips.size() == 1;
    const ClipItem &clip = *m_clips.first();
    const QString s = clipCountSuffix(m_clips.size());
    const bool anyImageOrFile = std::any_of(m_clips.cbegin(), m_clips.cend(), [](const ClipItemPtr &item) {
        return item->kindRaw() == rawValue(ClipKind::image) || item->kindRaw() == rawValue(ClipKind::file);
    });

    QList<Row> rows;
    if (single && browserURL(clip)) {
        rows.append(button(Action::openInBrowser, QStringLiteral("Open in Browser"), QStringLiteral("safari")));
        rows.append(divider());
    }
    rows.append(button(Action::paste, QStringLiteral("Paste") + s, QStringLiteral("doc.on.clipboard")));
    if (!anyImageOrFile)
        rows.append(button(Action::pasteAsPlainText, QStringLiteral("Paste") + s + QStringLiteral(" as Plain Text"),
                           QStringLiteral("text.alignleft")));
    rows.append(button(Action::copy, QStringLiteral("Copy") + s, QStringLiteral("doc.on.doc")));
    if (single) {
        rows.append(button(Action::rename, QStringLiteral("Rename…"), QStringLiteral("pencil")));
        if (clip.pinboardID())
            rows.append(button(Action::changeIcon, QStringLiteral("Change Icon…"), QStringLiteral("face.smiling")));
        rows.append(button(Action::preview, QStringLiteral("Preview"), QStringLiteral("eye")));
    }
    rows.append(divider());
    Row pin = button(Action::pinTo, QStringLiteral("Pin") + s + QStringLiteral(" to"), QStringLiteral("pin"));
    pin.submenu = pinRows();
    rows.append(pin);
    if (std::any_of(m_clips.cbegin(), m_clips.cend(), isPinned))
        rows.append(button(Action::unpin, QStringLiteral("Remove") + s + QStringLiteral(" from Pinboard"),
                           QStringLiteral("pin.slash")));
    if (!m_inPinboard) {
        rows.append(divider());
        rows.append(button(Action::deleteClips, QStringLiteral("Delete") + s));
    }
    return rows;
}

QList<ClipCardMenu::Row> ClipCardMenu::pinRows() const
{
    QList<Row> rows;
    for (const PinboardPtr &pinboard : m_pinboards) {
        const bool allPinnedHere = std::all_of(m_clips.cbegin(), m_clips.cend(), [&](const ClipItemPtr &clip) {
            return clip->pinboardID() == pinboard->id();
        });
        Row row = button(Action::pinToPinboard, pinboard->name());
        row.enabled = !allPinnedHere;
        row.pinboard = pinboard;
        rows.append(row);
    }
    if (!m_pinboards.isEmpty())
        rows.append(divider());
    rows.append(button(Action::newPinboard, QStringLiteral("New Pinboard"), QStringLiteral("plus")));
    return rows;
}

void ClipCardMenu::fill(QMenu &menu, AppModel &model, bool isInMenuBarPanel) const
{
    addRows(menu, rows(), model, isInMenuBarPanel);
}

void ClipCardMenu::addRows(QMenu &menu, const QList<Row> &rows, AppModel &model, bool isInMenuBarPanel) const
{
    for (const Row &row : rows) {
        if (!row.action) {
            menu.addSeparator();
            continue;
        }
        QIcon icon;
        if (*row.action == Action::deleteClips)
            icon = redTrashImage();
        else if (row.pinboard)
            icon = QIcon(colorDotImage(row.pinboard->color(), qApp->devicePixelRatio()));
        else
            icon = symbolIcon(row.symbol);

        if (*row.action == Action::pinTo) {
            QMenu *submenu = menu.addMenu(icon, literalLabel(row.title));
            addRows(*submenu, row.submenu, model, isInMenuBarPanel);
            continue;
        }
        QAction *action = menu.addAction(icon, literalLabel(row.title));
        action->setIconVisibleInMenu(true);
        action->setEnabled(row.enabled);
        QPointer<AppModel> weakModel(&model);
        QObject::connect(action, &QAction::triggered, &menu, [self = *this, row, weakModel, isInMenuBarPanel] {
            if (weakModel)
                self.perform(row, *weakModel, isInMenuBarPanel);
        });
    }
}

void ClipCardMenu::perform(const Row &row, AppModel &model, bool isInMenuBarPanel) const
{
    const ClipItem &clip = *m_clips.first();
    switch (*row.action) {
    case Action::openInBrowser:
        if (const std::optional<QUrl> url = browserURL(clip)) {
            model.drawer().hide(false);
            model.workspace().openURL(*url); // a URL nothing handles fails silently
        }
        break;
    case Action::paste:
        model.paste(m_clips, false);
        break;
    case Action::pasteAsPlainText:
        model.paste(m_clips, true);
        break;
    case Action::copy:
        model.copyToClipboard(m_clips);
        break;
    case Action::rename:
        model.beginRenaming(clip, isInMenuBarPanel);
        break;
    case Action::changeIcon:
        model.openIconPicker(clip);
        break;
    case Action::preview:
        model.openPreview(clip);
        break;
    case Action::pinTo:
        break; // a submenu, never triggered
    case Action::unpin:
        model.unpin(m_clips);
        break;
    case Action::deleteClips:
        model.deleteItems(m_clips);
        break;
    case Action::pinToPinboard:
        model.pin(m_clips, *row.pinboard);
        break;
    case Action::newPinboard:
        model.pin(m_clips, *model.newPinboard());
        break;
    }
}

void ClipCardMenu::popup(AppModel &model, const QList<ClipItemPtr> &clips, bool inPinboard, bool isInMenuBarPanel,
                         const QPoint &globalPosition)
{
    if (clips.isEmpty())
        return;
    auto *menu = new QMenu;
    // Later, so the chosen action still runs on a live menu.
    QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    ClipCardMenu(clips, model.pinboards().orderedPinboards(), inPinboard).fill(*menu, model, isInMenuBarPanel);
    menu->popup(globalPosition);
}

} // namespace tamo
