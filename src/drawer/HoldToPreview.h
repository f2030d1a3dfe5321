#pragma once

#include "drawer/TimeScale.h"
#include "model/ClipItem.h"

#include <QObject>
#include <QPointF>
#include <QTimer>
#include <QUuid>

namespace tamo {

class AppModel;

// Press and hold a card to preview its clip. A press that stays within 6 pt
// for a second selects the clip alone and opens its preview; moving further
// first cancels the hold. Releasing closes a preview the hold opened, unless
// the user has stepped it to another clip meanwhile. One press at a time.
class HoldToPreview : public QObject
{
    Q_OBJECT

public:
    static constexpr qreal cancelDistance = 6.0;
    static constexpr int holdMs = 1000;

    HoldToPreview(AppModel &model, TimeScale timeScale = {}, QObject *parent = nullptr);

    void press(const ClipItemPtr &clip, const QPointF &position);
    void move(const QPointF &position);
    // Ends the press; true when the hold opened a preview, so the press was
    // no click.
    bool release();

    bool isWaiting() const { return m_timer.isActive(); }
    bool isCancelled() const { return m_cancelled; }
    QUuid previewID() const { return m_previewID; }

private:
    void openPreview();

    AppModel &m_model;
    QTimer m_timer;
    ClipItemPtr m_clip;
    QPointF m_origin;
    bool m_started = false; // the timer ran for this press, whether or not it fired
    bool m_cancelled = false;
    QUuid m_previewID;
};

} // namespace tamo
