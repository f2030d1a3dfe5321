#include "drawer/Reorderable.h"

#include "app/AppModel.h"
#include "drawer/PinboardDropDelegate.h"
#include "drawer/PinboardTabLabel.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace tamo {

namespace {

constexpr qreal draggedOpacity = 0.4;

} // namespace

Reorderable::Reorderable(AppModel &model, QWidget &tab, PinboardTabLabel &label, const QUuid &pinboardID)
    : QObject(&tab)
    , m_model(model)
    , m_tab(tab)
    , m_label(label)
    , m_pinboardID(pinboardID)
{
    m_tab.setAcceptDrops(true);
    m_tab.installEventFilter(this);
    m_label.installEventFilter(this);
    connect(&m_model, &AppModel::reorderingPinboardsChanged, this, &Reorderable::updateLook);
    connect(&m_model, &AppModel::draggedPinboardIDChanged, this, &Reorderable::updateLook);
    updateLook();
}

void Reorderable::setOrder(int order)
{
    m_order = order;
    updateLook();
}

void Reorderable::setTiltPhase(qreal phase)
{
    m_phase = phase;
    updateLook();
}

bool Reorderable::reduceMotion()
{
    return !QApplication::isEffectEnabled(Qt::UI_General);
}

void Reorderable::updateLook()
{
    const bool reordering = m_model.isReorderingPinboards();
    m_label.setRotation(reordering ? reorderTilt(m_phase, m_order, reduceMotion()) : 0);
    m_label.setOpacity(reordering && m_model.draggedPinboardID() == m_pinboardID ? draggedOpacity : 1);
}

bool Reorderable::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_label)
        return handleLabelMouse(event);
    if (watched == &m_tab)
        return handleDrop(event);
    return false;
}

bool Reorderable::handleLabelMouse(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *press = static_cast<QMouseEvent *>(event);
        m_pressed = press->button() == Qt::LeftButton;
        m_pressPosition = press->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        auto *move = static_cast<QMouseEvent *>(event);
        if (!m_pressed || !m_model.isReorderingPinboards()
            || (move->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
            return false;
        m_pressed = false;
        startDrag();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressed = false;
        return false;
    default:
        return false;
    }
}

void Reorderable::startDrag()
{
    m_model.setDraggedPinboardID(m_pinboardID);
    auto *data = new QMimeData;
    data->setText(m_pinboardID.toString(QUuid::WithoutBraces).toUpper());
    QPointer<QObject> alive(this);
    AppModel &model = m_model;
    auto *drag = new QDrag(&m_label);
    drag->setMimeData(data);
    drag->setPixmap(m_label.grab());
    drag->exec(Qt::MoveAction);
    // A drag dropped outside every tab would otherwise leave its tab faded.
    model.setDraggedPinboardID({});
    if (alive)
        m_label.setDown(false);
}

bool Reorderable::handleDrop(QEvent *event)
{
    const PinboardDropDelegate delegate{m_pinboardID, m_model};
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (!enter->mimeData()->hasText() || !m_model.isReorderingPinboards())
            return false;
        enter->acceptProposedAction();
        delegate.dropEntered();
        return true;
    }
    case QEvent::DragMove: {
        auto *move = static_cast<QDragMoveEvent *>(event);
        move->setDropAction(Qt::MoveAction);
        move->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
        delegate.performDrop();
        // The drag can leave another window with the keyboard.
        QPointer<QWidget> window = m_tab.window();
        QTimer::singleShot(0, window, [window] {
            if (window->isVisible())
                window->activateWindow();
        });
        return true;
    }
    default:
        return false;
    }
}

} // namespace tamo
