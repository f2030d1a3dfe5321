#pragma once

#include <QObject>
#include <QPoint>
#include <QUuid>

class QWidget;

namespace tamo {

class AppModel;
class PinboardTabLabel;

// Makes a pinboard tab take part in reordering while AppModel says the
// pinboards are being reordered: the tab wiggles, can be dragged onto
// another tab, and takes the dragged tab's place when one enters it.
class Reorderable : public QObject
{
    Q_OBJECT

public:
    // The tab receives drops; its label is what the user drags.
    Reorderable(AppModel &model, QWidget &tab, PinboardTabLabel &label, const QUuid &pinboardID);

    void setOrder(int order);
    // The shared wiggle's phase, from 0 to 1.
    void setTiltPhase(qreal phase);

    // The desktop's "reduce effects" setting.
    static bool reduceMotion();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleLabelMouse(QEvent *event);
    bool handleDrop(QEvent *event);
    void startDrag();
    void updateLook();

    AppModel &m_model;
    QWidget &m_tab;
    PinboardTabLabel &m_label;
    QUuid m_pinboardID;
    int m_order = 0;
    qreal m_phase = 0;
    QPoint m_pressPosition;
    bool m_pressed = false;
};

} // namespace tamo
