#include "drawer/TamoPanel.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "platform/QuitShortcut.h"

#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace tamo {

namespace {

constexpr int resizeEdgeWidth = 6;
// A resize reports sizes in quick succession; this long without one ends it.
constexpr int liveResizeQuietMs = 250;

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

} // namespace

TamoPanel::TamoPanel(QWidget *content, bool resizable, std::optional<qreal> cornerRadius, const QSize &size)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_resizable(resizable)
    , m_cornerRadius(cornerRadius)
    , m_cardRadius(cornerRadius)
    , m_translucent(translucencyAvailable())
{
    setAttribute(Qt::WA_TranslucentBackground, m_translucent);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The content follows the panel; it never sizes the panel.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setContent(content);
    resize(size);
    addQuitShortcut(*this);

    m_liveResize.setSingleShot(true);
    m_liveResize.setInterval(liveResizeQuietMs);
    connect(&m_liveResize, &QTimer::timeout, this, &TamoPanel::liveResizeEnded);

    if (m_resizable) {
        create();
        windowHandle()->installEventFilter(this); // sees the edges before the content does
    }
}

void TamoPanel::setCardShape(const QMargins &insets, qreal cornerRadius)
{
    m_cardInsets = insets;
    m_cardRadius = cornerRadius;
    updateMask();
}

void TamoPanel::setContent(QWidget *content)
{
    if (content == m_content)
        return;
    delete m_content;
    m_content = content;
    if (m_content)
        layout()->addWidget(m_content);
}

void TamoPanel::orderFront()
{
    show();
    raise();
}

void TamoPanel::place(const QRect &geometry)
{
    m_awaitingUser = true;
    setGeometry(geometry);
}

void TamoPanel::makeKey()
{
    activateWindow();
}

void TamoPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        isActiveWindow() ? emit becameKey() : emit keyResigned();
}

void TamoPanel::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    emit moved();
}

void TamoPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateMask();
    if (m_resizable)
        m_liveResize.start();
}

bool TamoPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != windowHandle())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_awaitingUser = false;
        break;
    default:
        break;
    }
    if (event->type() == QEvent::MouseMove) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const Qt::Edges edges = mouse->buttons() == Qt::NoButton ? edgesAt(mouse->position()) : Qt::Edges();
        if (edges)
            setCursor(cursorFor(edges));
        else
            unsetCursor();
    } else if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const Qt::Edges edges = edgesAt(mouse->position());
        if (mouse->button() == Qt::LeftButton && edges && windowHandle()->startSystemResize(edges)) {
            m_liveResize.start();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

Qt::Edges TamoPanel::edgesAt(const QPointF &position) const
{
    Qt::Edges edges;
    if (position.x() < resizeEdgeWidth)
        edges |= Qt::LeftEdge;
    else if (position.x() >= width() - resizeEdgeWidth)
        edges |= Qt::RightEdge;
    if (position.y() < resizeEdgeWidth)
        edges |= Qt::TopEdge;
    else if (position.y() >= height() - resizeEdgeWidth)
        edges |= Qt::BottomEdge;
    return edges;
}

void TamoPanel::updateMask()
{
    if (m_translucent || !m_cardRadius)
        return;
    const QRect card = rect().marginsRemoved(m_cardInsets);
    setMask(QRegion(roundedRect(card, *m_cardRadius).toFillPolygon().toPolygon()));
}

} // namespace tamo
