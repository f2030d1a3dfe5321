#include "cards/OverlayScrollBar.h"

#include <QAbstractScrollArea>
#include <QEvent>

namespace tamo {

namespace {

const char *const slimStyle = R"(
QScrollBar { background: transparent; border: none; margin: 0; }
QScrollBar::handle { background: rgba(128, 128, 128, 0.55); border-radius: 3px; min-height: 24px; min-width: 24px; }
QScrollBar::handle:hover, QScrollBar::handle:pressed { background: rgba(128, 128, 128, 0.8); }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; background: none; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
)";

} // namespace

OverlayScrollBar::OverlayScrollBar(Qt::Orientation orientation, QAbstractScrollArea *area)
    : QScrollBar(orientation, area)
    , m_area(area)
    , m_source(orientation == Qt::Vertical ? area->verticalScrollBar() : area->horizontalScrollBar())
{
    setStyleSheet(QString::fromLatin1(slimStyle));
    setFocusPolicy(Qt::NoFocus);
    if (orientation == Qt::Vertical)
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    else
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_source, &QScrollBar::rangeChanged, this, &OverlayScrollBar::follow);
    connect(m_source, &QScrollBar::valueChanged, this, &QScrollBar::setValue);
    connect(this, &QScrollBar::valueChanged, m_source, &QScrollBar::setValue);
    area->installEventFilter(this);
    follow();
}

void OverlayScrollBar::follow()
{
    setRange(m_source->minimum(), m_source->maximum());
    setPageStep(m_source->pageStep());
    setSingleStep(m_source->singleStep());
    setValue(m_source->value());
    setVisible(m_source->maximum() > m_source->minimum());
    place();
}

void OverlayScrollBar::place()
{
    if (!m_area)
        return;
    const QRect view = m_area->viewport()->geometry();
    if (orientation() == Qt::Vertical)
        setGeometry(view.right() - inset - thickness + 1, view.top() + inset, thickness, view.height() - 2 * inset);
    else
        setGeometry(view.left() + inset, view.bottom() - inset - thickness + 1, view.width() - 2 * inset, thickness);
    raise();
}

bool OverlayScrollBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        place();
    return QScrollBar::eventFilter(watched, event);
}

} // namespace tamo
