#include "drawer/PinboardTab.h"

#include "app/AppModel.h"
#include "drawer/PinboardMenu.h"
#include "drawer/PinboardNameField.h"
#include "drawer/PinboardTabLabel.h"
#include "drawer/Reorderable.h"

#include <QHBoxLayout>
#include <QLineF>
#include <QMenu>
#include <QMouseEvent>

namespace tamo {

PinboardTab::PinboardTab(AppModel &model, const PinboardPtr &board, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_board(board)
    , m_label(new PinboardTabLabel(board->name(), {}, board->color()))
    , m_nameField(new PinboardNameField)
    , m_reorderable(new Reorderable(model, *this, *m_label, board->id()))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_nameField);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_longPress.setSingleShot(true);
    m_longPress.setInterval(longPressMs);
    connect(&m_longPress, &QTimer::timeout, this, [this] { m_model.setReorderingPinboards(true); });
    m_label->installEventFilter(this);
    m_label->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_label, &QAbstractButton::clicked, this, &PinboardTab::select);
    connect(m_label, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &position) { makeMenu()->popup(m_label->mapToGlobal(position)); });

    connect(m_nameField, &PinboardNameField::edited, this, [this](const QString &name) { m_board->setName(name); });
    connect(m_nameField, &PinboardNameField::commitRequested, this, &PinboardTab::commitRename);

    connect(&m_model, &AppModel::selectedPinboardIDChanged, this, &PinboardTab::refresh);
    connect(&m_model, &AppModel::renamingPinboardIDChanged, this, &PinboardTab::updateMode);
    refresh();
    updateMode();
}

bool PinboardTab::isRenaming() const
{
    return m_model.renamingPinboardID() == m_board->id();
}

void PinboardTab::refresh()
{
    m_label->setTitle(m_board->name());
    m_label->setColor(m_board->color());
    m_label->setSelected(m_model.selectedPinboardID() == m_board->id());
    m_nameField->setColor(m_board->color());
    m_reorderable->setOrder(m_board->order());
}

void PinboardTab::setTiltPhase(qreal phase)
{
    m_reorderable->setTiltPhase(phase);
}

void PinboardTab::select()
{
    if (m_model.isReorderingPinboards())
        return; // also the release that ends a long press
    m_model.setSelectedPinboardID(m_board->id());
    m_model.setSelectedItemID({});
    m_model.setMultiSelection({});
}

void PinboardTab::updateMode()
{
    const bool wasRenaming = m_showsNameField;
    m_showsNameField = isRenaming();
    m_label->setVisible(!m_showsNameField);
    m_nameField->setVisible(m_showsNameField);
    if (m_showsNameField && !wasRenaming) {
        m_nameField->setName(m_board->name());
        // Once the bar has shown a tab that was just made.
        QTimer::singleShot(0, m_nameField, &PinboardNameField::focusName);
    }
}

void PinboardTab::commitRename()
{
    // Return and Esc end the rename before the field loses the focus.
    if (isRenaming())
        m_model.commitPinboardRename(*m_board);
}

QMenu *PinboardTab::makeMenu()
{
    return PinboardMenu{[this] { m_model.setRenamingPinboardID(m_board->id()); },
                        [this] { m_model.deletePinboard(m_board); }, [this] { refresh(); }}
        .make(m_model, m_board, this);
}

bool PinboardTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_label)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_pressPosition = static_cast<QMouseEvent *>(event)->position().toPoint();
            m_longPress.start();
        }
        break;
    case QEvent::MouseMove:
        if (QLineF(m_pressPosition, static_cast<QMouseEvent *>(event)->position()).length() > longPressSlop)
            m_longPress.stop();
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::Hide:
        m_longPress.stop();
        break;
    default:
        break;
    }
    return false;
}

} // namespace tamo
