#include "drawer/HoldToPreview.h"

#include "app/AppModel.h"

#include <QLineF>

namespace tamo {

HoldToPreview::HoldToPreview(AppModel &model, TimeScale timeScale, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(timeScale(holdMs));
    connect(&m_timer, &QTimer::timeout, this, &HoldToPreview::openPreview);
}

void HoldToPreview::press(const ClipItemPtr &clip, const QPointF &position)
{
    m_clip = clip;
    m_origin = position;
    move(position);
}

void HoldToPreview::move(const QPointF &position)
{
    if (!m_clip || m_cancelled)
        return;
    if (QLineF(m_origin, position).length() > cancelDistance) {
        m_cancelled = true;
        m_timer.stop();
    } else if (!m_started) {
        m_started = true;
        m_timer.start();
    }
}

bool HoldToPreview::release()
{
    m_timer.stop();
    m_started = false;
    m_cancelled = false;
    m_clip.reset();
    const QUuid opened = m_previewID;
    if (opened.isNull())
        return false;
    m_previewID = QUuid();
    // A preview the user stepped on to another clip stays open.
    if (m_model.previewItemID() == opened)
        m_model.closePreview();
    return true;
}

void HoldToPreview::openPreview()
{
    // The clip may have been deleted while the button was held.
    if (!m_clip || m_clip->isGone() || m_model.previewItemID() == m_clip->id())
        return;
    m_model.setMultiSelection({});
    m_model.setSelectedItemID(m_clip->id());
    m_model.openPreview(*m_clip);
    m_previewID = m_clip->id();
}

} // namespace tamo
