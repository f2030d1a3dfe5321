#include "cards/PreviewPanelView.h"

#include "app/AppModel.h"
#include "cards/ClipInspector.h"
#include "cards/PreviewContent.h"
#include "cards/PreviewEdits.h"
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "platform/Clock.h"
#include "platform/Symbols.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamo {

namespace {

// One preview picture at a time, with room for the one stepped away from:
// pictures are decoded at most 4096 pixels square (64 MiB).
constexpr qint64 pictureBudget = 144 * 1024 * 1024;
constexpr int margin = 18;
constexpr int inspectorWidth = 260;

} // namespace

PreviewPanelView::PreviewPanelView(AppModel &model, const Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_clock(clock)
    , m_pictures(pictureBudget)
    , m_content(new PreviewContent(m_pictures, model.container().storeDirectory(), this))
    , m_inspector(new ClipInspector)
    , m_previous(makeStepButton(QStringLiteral("chevron.left"), tr("Previous clip")))
    , m_next(makeStepButton(QStringLiteral("chevron.right"), tr("Next clip")))
{
    // Clicking anywhere outside a field takes the keyboard from the field
    // (saving it) and leaves it where the step and close keys work; the view
    // also comes first when the panel becomes key without a focus of its own.
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Preview"));

    auto *steps = new QHBoxLayout;
    steps->setSpacing(4);
    steps->addStretch(1);
    steps->addWidget(m_previous);
    steps->addWidget(m_next);

    // A clip with a thousand keywords scrolls instead of growing the panel.
    auto *scroller = new QScrollArea(this);
    scroller->setWidget(m_inspector);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->viewport()->setAutoFillBackground(false);
    m_inspector->setAutoFillBackground(false);

    auto *side = new QVBoxLayout;
    side->setSpacing(12);
    side->addLayout(steps);
    side->addWidget(scroller, 1);

    side->setContentsMargins(0, 0, 0, 0);
    auto *sideColumn = new QWidget(this);
    sideColumn->setLayout(side);
    sideColumn->setFixedWidth(inspectorWidth);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(margin);
    layout->addWidget(m_content, 1);
    layout->addWidget(sideColumn);

    addShortcut(Qt::Key_Left, [this] { step(-1); });
    addShortcut(Qt::Key_Right, [this] { step(1); });
    addShortcut(Qt::Key_Escape, [this] { closePreview(); });
    addShortcut(Qt::Key_Space, [this] { closePreview(); });

    connect(m_previous, &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_next, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_inspector, &ClipInspector::editingFinished, this, &PreviewPanelView::commitEdits);
    connect(m_content, &PreviewContent::textEditingFinished, this, &PreviewPanelView::commitEdits);

    connect(&m_model, &AppModel::previewItemIDChanged, this, &PreviewPanelView::followPreviewItem);
    connect(&m_model, &AppModel::visibleItemIDsChanged, this, &PreviewPanelView::updateStepButtons);
    ModelContext &context = m_model.container().mainContext();
    connect(&context, &ModelContext::recordChanged, this, [this](const Record *record) {
        if (m_clip && record == m_clip.get())
            scheduleRefresh();
    });
    connect(&context, &ModelContext::didSave, this, &PreviewPanelView::handleSave);
    m_pictures.forgetClipsRemovedIn(context);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &PreviewPanelView::refresh);

    followPreviewItem();
}

PreviewPanelView::~PreviewPanelView()
{
    commitEdits();
    // The fields lose the keyboard as they go; nothing is left to save then.
    m_inspector->disconnect(this);
    m_content->disconnect(this);
}

QToolButton *PreviewPanelView::makeStepButton(const QString &symbol, const QString &name)
{
    auto *button = new QToolButton(this);
    button->setIcon(symbolIcon(symbol));
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setAutoRaise(true);
    // The keys step already; a focused button would take Space for itself.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void PreviewPanelView::addShortcut(const QKeySequence &key, const std::function<void()> &action)
{
    // Text fields claim the keys they type or move with, so these only act
    // outside them; Escape is claimed by none. Closing ignores a held key, so
    // the Space held down to open the preview does not close it again.
    auto *shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    shortcut->setAutoRepeat(key != QKeySequence(Qt::Key_Space) && key != QKeySequence(Qt::Key_Escape));
    connect(shortcut, &QShortcut::activated, this, action);
}

void PreviewPanelView::focusContent()
{
    setFocus(Qt::OtherFocusReason);
}

ClipItemPtr PreviewPanelView::resolve(const QUuid &id) const
{
    if (id.isNull())
        return nullptr;
    using Compare = FetchDescriptor::Compare;
    const QList<ClipItemPtr> found = m_model.container().mainContext().fetch<ClipItem>(
        FetchDescriptor().where(ClipItem::IdColumn, Compare::equal, id).limited(1));
    if (found.isEmpty() || found.first()->isGone())
        return nullptr;
    return found.first();
}

// The preview moved to another clip (a step here, a selection elsewhere, or
// closing): what was typed goes to the clip it was typed for first.
void PreviewPanelView::followPreviewItem()
{
    commitEdits();
    const QUuid id = m_model.previewItemID();
    const ClipItemPtr next = resolve(id);

    // The text editor is the only page that takes the keyboard; when it goes
    // away the view keeps the keyboard, rather than whatever field follows.
    if (window()->focusWidget() == m_content->textEditor() && (!next || next->kind() != ClipKind::text))
        setFocus(Qt::OtherFocusReason);

    m_clip = next;
    m_content->showClip(m_clip.get());
    m_inspector->showClip(m_clip.get());
    updateStepButtons();
    if (!m_clip)
        m_pictures.clear(); // kept only to step back to

    if (!m_clip && !id.isNull())
        m_model.closePreview(); // deleted, or never saved
}

void PreviewPanelView::scheduleRefresh()
{
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

// The clip changed from outside (renamed on its card, a link preview
// arrived): the fields the user is not typing in follow.
void PreviewPanelView::refresh()
{
    if (!m_clip)
        return;
    if (m_clip->isGone()) {
        followPreviewItem();
        return;
    }
    m_content->showClip(m_clip.get());
    m_inspector->showClip(m_clip.get());
}

void PreviewPanelView::handleSave(const SaveSummary &summary)
{
    if (m_clip && (m_clip->isGone() || summary.removedClipIDs.contains(m_clip->id()))) {
        m_refreshTimer.stop();
        followPreviewItem();
        return;
    }
    // Deleted neighbours leave the order without a signal of their own.
    updateStepButtons();
}

void PreviewPanelView::commitEdits()
{
    if (!m_clip || m_clip->isGone())
        return;
    const PreviewEdits edits{m_inspector->editedTitle(), m_inspector->editedKeywords(), m_content->editedText()};
    if (edits.isEmpty())
        return;
    if (applyPreviewEdits(*m_clip, edits)) {
        m_model.clips().recordEdit(*m_clip, m_clock.now());
        ModelContext &context = m_model.container().mainContext();
        // A failed save keeps the change pending for the next one.
        if (!context.save())
            qWarning().noquote() << QStringLiteral("TamoCove: could not save an edited clip yet: %1")
                                     .arg(context.lastError());
    }
    // The saved (cleaned) values replace what was typed, except where the
    // user is still typing; a refused edit (emptied text) shows the stored one.
    m_refreshTimer.stop();
    refresh();
}

// The next clip that way in the preview's order, passing over clips deleted
// since the order was written.
std::optional<QUuid> PreviewPanelView::neighbour(int direction) const
{
    if (!m_clip)
        return std::nullopt;
    const QList<QUuid> order = m_model.previewOrder().value_or(m_model.visibleItemIDs());
    const qsizetype index = order.indexOf(m_clip->id());
    if (index < 0)
        return std::nullopt;
    for (qsizetype next = index + direction; next >= 0 && next < order.size(); next += direction) {
        if (resolve(order.at(next)))
            return order.at(next);
    }
    return std::nullopt;
}

bool PreviewPanelView::canStep(int direction) const
{
    return neighbour(direction).has_value();
}

void PreviewPanelView::step(int direction)
{
    if (const std::optional<QUuid> next = neighbour(direction))
        m_model.setPreviewItemID(*next);
}

void PreviewPanelView::closePreview()
{
    commitEdits();
    m_model.closePreview();
}

void PreviewPanelView::updateStepButtons()
{
    m_previous->setEnabled(canStep(-1));
    m_next->setEnabled(canStep(1));
}

} // namespace tamo
