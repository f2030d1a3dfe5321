#pragma once

#include "cards/CardAppearance.h"
#include "cards/CardAppearanceBuilder.h"
#include "cards/CardContext.h"
#include "cards/CardEdits.h"
#include "cards/CardGroupLook.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace tamo {

class EmojiPicker;
class Record;
class TitleField;

// The card of one clip: a fixed square drawn by CardPainter, hosting the
// inline title field and the emoji picker when AppModel asks for them. A
// strip may reuse one card for clip after clip: setItem() drops everything
// the card did for the previous clip.
class ClipCard : public QWidget
{
    Q_OBJECT

public:
    explicit ClipCard(const CardContext &context, QWidget *parent = nullptr);
    ~ClipCard() override;

    void setItem(ClipItemPtr item);
    ClipItemPtr item() const { return m_fields.item; }
    void setSize(CardSize size);
    // How far the card has come into its row: at 0 it is invisible and at
    // 0.9 of its size (about its centre), at 1 as it is.
    void setPresence(qreal presence);
    qreal presence() const { return m_presence; }
    void setSelected(bool selected);
    // 1 to 9 shows the "⌘n" badge; anything else shows none.
    void setQuickPasteNumber(std::optional<int> number);
    // A forced style wins over the saved one.
    void setForcedStyle(std::optional<CardStyle> style);
    void setPinboardTag(PinboardPtr pinboard);
    // Both start as the stored "cardStyle" and "cardTextScale" and follow
    // every later change of those settings.
    void setSavedStyle(CardStyle style);
    void setTextScale(double scale);
    void setAgesAt(const QDateTime &moment);
    // Shows the clip at a place of a strip or grid, the first nine with a ⌘
    // number. Only what differs is set: each change lays the card out anew.
    void showInGroup(ClipItemPtr clip, qsizetype place, bool selected, const CardGroupLook &look);

    const CardFields &fields() const { return m_fields; }
    // What the card draws now; resolved on first use.
    const CardAppearance &appearance();

    // The open title field and emoji picker, if any.
    TitleField *titleField() const;
    EmojiPicker *emojiPicker() const;

    // What screen readers read for the card: its label, text and detail,
    // as the card shows them.
    QString spokenSummary() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void invalidate();
    void connectModel();
    void settingChanged(const QString &key);
    void recordChanged(const Record *record);
    void recordsSaved();
    void requestLinkPreview();

    bool isRenamingHere() const;
    void syncTitleField();
    void placeTitleField();
    void closeTitleField();
    void titleFinished(const QString &typed);

    bool isPickingIconHere() const;
    void syncEmojiPicker();
    void closeEmojiPicker();
    void endIconPicking();

    CardContext m_context;
    CardAppearanceBuilder m_builder;
    CardEdits m_edits;
    CardFields m_fields;
    qreal m_presence = 1;
    std::optional<CardAppearance> m_appearance;
    bool m_linkPreviewChanged = false; // a fetched page image lands with the next save
    bool m_linkPreviewRequested = false;
    QPointer<TitleField> m_titleField;
    QPointer<EmojiPicker> m_emojiPicker;
};

} // namespace tamo
