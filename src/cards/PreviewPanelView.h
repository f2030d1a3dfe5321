#pragma once

#include "cards/ThumbnailCache.h"
#include "model/ClipItem.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QToolButton;

namespace tamo {

class AppModel;
class ClipInspector;
class Clock;
class PreviewContent;
struct SaveSummary;

// The preview and inspector window's content: the clip AppModel::previewItemID
// full size, its title and keywords (and a text clip's text) to edit, and
// stepping to the clip before or after it. The drawer's preview panel hosts
// it; the view paints no window background of its own.
//
// Keys: ← and → step and Space closes, except in a text field, which types
// them; Escape closes from anywhere. Edits are saved when a field is left, on
// a step and on closing, not on every key.
class PreviewPanelView : public QWidget
{
    Q_OBJECT

public:
    PreviewPanelView(AppModel &model, const Clock &clock, QWidget *parent = nullptr);
    ~PreviewPanelView() override;

    // Takes the keyboard inside the panel, so the step and close keys work at
    // once; the panel calls it when it becomes key. Showing never does.
    void focusContent();

    // The clip on show; none when there is no preview.
    const ClipItemPtr &clip() const { return m_clip; }

    // Whether there is a clip before (-1) or after (1) this one.
    bool canStep(int direction) const;
    // Moves the preview to the clip before (-1) or after (1) it in
    // AppModel::previewOrder, else AppModel::visibleItemIDs; nothing at the ends.
    void step(int direction);
    // Saves the edits and closes the preview.
    void closePreview();

    // Saves what the fields hold into the clip on show, if anything changed.
    void commitEdits();

    PreviewContent *content() const { return m_content; }
    // Pictures decoded for the preview: the one on show, and the one before it.
    const ThumbnailCache &pictures() const { return m_pictures; }
    ClipInspector *inspector() const { return m_inspector; }
    QToolButton *previousButton() const { return m_previous; }
    QToolButton *nextButton() const { return m_next; }

private:
    void followPreviewItem();
    void refresh();
    void scheduleRefresh();
    void handleSave(const SaveSummary &summary);
    void updateStepButtons();
    std::optional<QUuid> neighbour(int direction) const;
    ClipItemPtr resolve(const QUuid &id) const;
    QToolButton *makeStepButton(const QString &symbol, const QString &name);
    void addShortcut(const QKeySequence &key, const std::function<void()> &action);

    AppModel &m_model;
    const Clock &m_clock;
    ThumbnailCache m_pictures;
    ClipItemPtr m_clip;
    PreviewContent *m_content;
    ClipInspector *m_inspector;
    QToolButton *m_previous;
    QToolButton *m_next;
    QTimer m_refreshTimer; // folds a burst of field changes into one refresh
};

} // namespace tamo
