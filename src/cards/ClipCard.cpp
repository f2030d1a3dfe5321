#include "cards/ClipCard.h"

#include "app/AppModel.h"
#include "app/LinkPreviews.h"
#include "cards/CardMetrics.h"
#include "cards/CardPainter.h"
#include "cards/CardTexts.h"
#include "cards/EmojiPicker.h"
#include "cards/ThumbnailCache.h"
#include "cards/TitleField.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace tamo {

namespace {

constexpr qreal baseFieldExtraHeight = 8;
constexpr qreal baseFieldInset = 4;
// A long text is read as its beginning, as the card shows it.
constexpr int spokenTextLength = 200;

// A card reads as a selectable item of its list, named by what it shows.
class AccessibleClipCard : public QAccessibleWidget
{
public:
    explicit AccessibleClipCard(ClipCard *card) : QAccessibleWidget(card, QAccessible::ListItem) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return card()->spokenSummary();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = card()->fields().isSelected;
        return state;
    }

private:
    ClipCard *card() const { return static_cast<ClipCard *>(widget()); }
};

QAccessibleInterface *clipCardInterface(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(ClipCard::staticMetaObject.className()))
        return new AccessibleClipCard(static_cast<ClipCard *>(object));
    return nullptr;
}

} // namespace

ClipCard::ClipCard(const CardContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_builder(context)
    , m_edits(context.model, context.clock)
{
    static const bool accessible = (QAccessible::installFactory(clipCardInterface), true);
    Q_UNUSED(accessible);
    m_fields.savedStyle = CardAppearanceBuilder::storedStyle(context.defaults);
    m_fields.textScale = CardAppearanceBuilder::storedTextScale(context.defaults);
    setFixedSize(sizeHint());

    connect(&context.defaults, &Defaults::valueChanged, this, &ClipCard::settingChanged);
    connect(&context.thumbnails, &ThumbnailCache::ready, this, [this](const QUuid &clipID) {
        if (m_fields.item && m_fields.item->id() == clipID)
            invalidate();
    });
    connectModel();
}

ClipCard::~ClipCard()
{
    // Closing them as children would call back into a half-destroyed card.
    closeTitleField();
    closeEmojiPicker();
}

void ClipCard::connectModel()
{
    AppModel *model = m_context.model;
    if (!model)
        return;
    connect(model, &AppModel::renamingItemIDChanged, this, &ClipCard::syncTitleField);
    connect(model, &AppModel::renamingInMenuBarChanged, this, &ClipCard::syncTitleField);
    connect(model, &AppModel::iconPickerItemIDChanged, this, &ClipCard::syncEmojiPicker);
    ModelContext *context = &model->container().mainContext();
    connect(context, qOverload<const Record *>(&ModelContext::recordChanged), this, &ClipCard::recordChanged);
    connect(context, &ModelContext::didSave, this, &ClipCard::recordsSaved);
}

void ClipCard::setItem(ClipItemPtr item)
{
    if (item == m_fields.item)
        return;
    // Nothing typed or picked for the previous clip may land on this one.
    closeTitleField();
    closeEmojiPicker();
    m_fields.item = std::move(item);
    m_linkPreviewChanged = false;
    m_linkPreviewRequested = false;
    invalidate();
    syncTitleField();
    syncEmojiPicker();
}

void ClipCard::setSize(CardSize size)
{
    if (size.scale == m_fields.size.scale)
        return;
    m_fields.size = size;
    setFixedSize(sizeHint());
    invalidate();
}

QString ClipCard::spokenSummary() const
{
    if (!m_fields.item)
        return {};
    const ClipContent content = m_builder.content(*m_fields.item);
    QStringList parts{cardLabel(*m_fields.item), content.text.simplified().left(spokenTextLength), content.detail};
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

void ClipCard::setSelected(bool selected)
{
    if (selected == m_fields.isSelected)
        return;
    m_fields.isSelected = selected;
    invalidate();
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void ClipCard::setQuickPasteNumber(std::optional<int> number)
{
    if (number == m_fields.quickPasteNumber)
        return;
    m_fields.quickPasteNumber = number;
    invalidate();
}

void ClipCard::setForcedStyle(std::optional<CardStyle> style)
{
    if (style == m_fields.forcedStyle)
        return;
    m_fields.forcedStyle = style;
    invalidate();
}

void ClipCard::setPinboardTag(PinboardPtr pinboard)
{
    if (pinboard == m_fields.pinboardTag)
        return;
    m_fields.pinboardTag = std::move(pinboard);
    invalidate();
}

void ClipCard::setSavedStyle(CardStyle style)
{
    if (style == m_fields.savedStyle)
        return;
    m_fields.savedStyle = style;
    invalidate();
}

void ClipCard::setAgesAt(const QDateTime &moment)
{
    if (moment == m_fields.agesAt)
        return;
    m_fields.agesAt = moment;
    invalidate();
}

void ClipCard::showInGroup(ClipItemPtr clip, qsizetype place, bool selected, const CardGroupLook &look)
{
    const PinboardPtr tag = clip->pinboardID() ? look.pinboardTags.value(*clip->pinboardID()) : nullptr;
    setItem(std::move(clip));
    if (m_fields.size.scale != look.size.scale)
        setSize(look.size);
    setSelected(selected);
    const std::optional<int> quickPasteNumber = place < 9 ? std::optional<int>(int(place) + 1) : std::nullopt;
    if (m_fields.quickPasteNumber != quickPasteNumber)
        setQuickPasteNumber(quickPasteNumber);
    if (m_fields.pinboardTag != tag)
        setPinboardTag(tag);
    setAgesAt(look.agesAt);
}

void ClipCard::setTextScale(double scale)
{
    if (scale == m_fields.textScale)
        return;
    m_fields.textScale = scale;
    invalidate();
}

const CardAppearance &ClipCard::appearance()
{
    if (!m_appearance || m_appearance->devicePixelRatio != devicePixelRatioF())
        m_appearance = m_builder.build(m_fields, palette(), devicePixelRatioF());
    return *m_appearance;
}

TitleField *ClipCard::titleField() const
{
    return m_titleField;
}

EmojiPicker *ClipCard::emojiPicker() const
{
    return m_emojiPicker;
}

QSize ClipCard::sizeHint() const
{
    const int side = m_fields.size.side();
    return {side, side};
}

void ClipCard::invalidate()
{
    m_appearance.reset();
    update();
    if (m_titleField)
        placeTitleField();
}

void ClipCard::paintEvent(QPaintEvent *)
{
    if (!m_fields.item)
        return;
    requestLinkPreview();
    QPainter painter(this);
    if (m_presence < 1) {
        const qreal scale = 0.9 + 0.1 * m_presence;
        painter.setOpacity(std::clamp(m_presence, 0.0, 1.0));
        painter.translate(rect().center());
        painter.scale(scale, scale);
        painter.translate(-rect().center());
    }
    CardPainter::paint(painter, rect(), appearance());
}

void ClipCard::setPresence(qreal presence)
{
    if (presence == m_presence)
        return;
    m_presence = presence;
    update();
}

void ClipCard::requestLinkPreview()
{
    // A link whose page was never read (it failed last run, or came from
    // another machine) is tried once it is seen; the fetcher keeps the rules.
    if (m_linkPreviewRequested || !m_context.model || m_fields.item->kind() != ClipKind::link)
        return;
    m_linkPreviewRequested = true;
    m_context.model->linkPreviews().request(m_fields.item);
}

void ClipCard::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        invalidate();
}

void ClipCard::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    syncEmojiPicker();
}

void ClipCard::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    closeEmojiPicker();
}

void ClipCard::settingChanged(const QString &key)
{
    if (key == keys::cardStyle)
        m_fields.savedStyle = CardAppearanceBuilder::storedStyle(m_context.defaults);
    else if (key == keys::cardTextScale)
        m_fields.textScale = CardAppearanceBuilder::storedTextScale(m_context.defaults);
    else if (key != keys::linkPreviews)
        return;
    invalidate();
}

void ClipCard::recordChanged(const Record *record)
{
    if (!m_fields.item || record != m_fields.item.get())
        return;
    if (m_fields.item->kind() == ClipKind::link)
        m_linkPreviewChanged = true;
    invalidate();
}

void ClipCard::recordsSaved()
{
    if (!m_linkPreviewChanged)
        return;
    // The worker reads the page image from the store, so only now can it see the new one.
    m_linkPreviewChanged = false;
    m_context.thumbnails.forget(m_fields.item->id());
    invalidate();
}

bool ClipCard::isRenamingHere() const
{
    const AppModel *model = m_context.model;
    return model && m_fields.item && model->renamingItemID() == m_fields.item->id()
           && model->renamingInMenuBar() == m_context.isInMenuBarPanel;
}

void ClipCard::syncTitleField()
{
    if (!isRenamingHere()) {
        // Ended elsewhere (the panel hid): what was typed is dropped.
        closeTitleField();
        return;
    }
    if (m_titleField)
        return;
    const ClipItem &clip = *m_fields.item;
    m_titleField = new TitleField(this);
    m_titleField->setFont(CardMetrics(m_fields.size, m_context.isInMenuBarPanel).labelFont());
    m_titleField->setText(clip.title().value_or(QString()));
    // What the label falls back to once the title is cleared.
    m_titleField->setPlaceholderText(untitledLabel(clip));
    connect(m_titleField, &TitleField::finished, this, &ClipCard::titleFinished);
    placeTitleField();
    m_titleField->selectAll();
    m_titleField->show();
    m_titleField->setFocus(Qt::OtherFocusReason);
}

void ClipCard::placeTitleField()
{
    const qreal s = m_fields.size.scale;
    const QRectF label = CardPainter::labelRect(rect(), appearance());
    const qreal extra = baseFieldExtraHeight * s;
    const qreal inset = baseFieldInset * s;
    // With the age on the line under the label, the field grows upward only
    // and leaves that line showing.
    const bool ageBelow = !CardMetrics(m_fields.size, m_context.isInMenuBarPanel).compact;
    const qreal below = ageBelow ? 0 : extra / 2;
    m_titleField->setGeometry(label.adjusted(-inset, below - extra, inset, below).toRect());
}

void ClipCard::closeTitleField()
{
    if (!m_titleField)
        return;
    TitleField *field = m_titleField;
    m_titleField = nullptr;
    field->disconnect(this);
    field->hide();
    field->deleteLater();
}

void ClipCard::titleFinished(const QString &typed)
{
    const bool stillRenaming = isRenamingHere();
    closeTitleField();
    if (!stillRenaming)
        return;
    m_edits.rename(*m_fields.item, typed);
    m_context.model->endRenaming();
    invalidate();
}

bool ClipCard::isPickingIconHere() const
{
    const AppModel *model = m_context.model;
    return model && m_fields.item && model->iconPickerItemID() == m_fields.item->id() && isVisible();
}

void ClipCard::syncEmojiPicker()
{
    if (!isPickingIconHere()) {
        closeEmojiPicker();
        return;
    }
    if (m_emojiPicker)
        return;
    m_emojiPicker = new EmojiPicker(m_fields.item->iconEmoji().has_value(), this);
    connect(m_emojiPicker, &EmojiPicker::iconChosen, this, [this](const QString &emoji) {
        m_edits.setIcon(*m_fields.item, emoji);
        endIconPicking();
    });
    connect(m_emojiPicker, &EmojiPicker::iconRemoved, this, [this] {
        m_edits.setIcon(*m_fields.item, std::nullopt);
        endIconPicking();
    });
    connect(m_emojiPicker, &EmojiPicker::dismissed, this, &ClipCard::endIconPicking);
    const QRect icon = CardPainter::iconRect(rect(), appearance()).toAlignedRect();
    m_emojiPicker->popUp(QRect(mapToGlobal(icon.topLeft()), icon.size()), window()->frameGeometry());
}

void ClipCard::closeEmojiPicker()
{
    if (!m_emojiPicker)
        return;
    EmojiPicker *picker = m_emojiPicker;
    m_emojiPicker = nullptr;
    picker->disconnect(this);
    picker->hide();
    picker->deleteLater();
}

void ClipCard::endIconPicking()
{
    closeEmojiPicker();
    if (isPickingIconHere())
        m_context.model->setIconPickerItemID({});
    invalidate();
}

} // namespace tamo
