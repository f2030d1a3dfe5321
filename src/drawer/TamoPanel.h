#pragma once

#include <QTimer>
#include <QWidget>

#include <optional>

namespace tamo {

// The floating panel of the drawer, the preview and the menu-bar panel: a
// frameless window above the others that can take the keyboard without being
// an ordinary application window, and that hosts one content widget drawing
// the visible card. It is built once and then only shown and hidden.
class TamoPanel : public QWidget
{
    Q_OBJECT

public:
    // The window level and collection behaviour the panel stands for. On X11
    // the tool window type keeps it off taskbars and out of window cycling and
    // the stay-on-top hint above ordinary windows; showing on every desktop has
    // no Qt flag, so that part is only kept.
    static constexpr int statusWindowLevel = 25;
    enum CollectionBehavior {
        canJoinAllSpaces = 1,
        transient = 8,
        ignoresCycle = 64,
        fullScreenAuxiliary = 256,
    };
    enum class SharingType { none = 0, readOnly = 1 };

    // A corner radius rounds the window; without a compositor the corners are
    // cut away, since they cannot be see-through.
    TamoPanel(QWidget *content, bool resizable, std::optional<qreal> cornerRadius, const QSize &size);

    // Without a compositor the window is cut to its visible card: the
    // rounded rectangle of the corner radius over the whole window, or this
    // one, inset from the window's edges, when the content leaves room
    // around its card (for a shadow drawn where a compositor runs).
    void setCardShape(const QMargins &insets, qreal cornerRadius);

    // Replaces the hosted widget, which the panel then owns; the old one is deleted.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

    int level() const { return m_level; }
    int collectionBehavior() const { return m_collectionBehavior; }
    std::optional<qreal> cornerRadius() const { return m_cornerRadius; }
    bool isResizable() const { return m_resizable; }

    // Screen sharing cannot exclude single windows on X11: kept, without effect.
    SharingType sharingType() const { return m_sharingType; }
    void setSharingType(SharingType type) { m_sharingType = type; }

    void orderFront();
    // Gives the panel the keyboard.
    void makeKey();
    bool isKey() const { return isActiveWindow(); }

    // Between the user grabbing an edge and the last size change of that drag.
    bool inLiveResize() const { return m_liveResize.isActive(); }

    // Puts a resizable panel where we want it. The moves and resizes the
    // window manager reports next (its placement rules, the minimum size) are
    // its answer to ours until the pointer or the keyboard reaches the panel;
    // only from then on is a new frame one the user chose.
    void place(const QRect &geometry);
    bool isArrangedByUser() const { return !m_awaitingUser; }

signals:
    // The panel lost the keyboard, to another of our windows or to another app.
    void keyResigned();
    void becameKey();
    void moved();
    // A resize by the user ended; fires once per drag.
    void liveResizeEnded();

protected:
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Qt::Edges edgesAt(const QPointF &position) const;
    void updateMask();

    QWidget *m_content = nullptr;
    bool m_resizable;
    std::optional<qreal> m_cornerRadius;
    QMargins m_cardInsets;
    std::optional<qreal> m_cardRadius;
    int m_level = statusWindowLevel;
    int m_collectionBehavior = canJoinAllSpaces | transient | ignoresCycle | fullScreenAuxiliary;
    SharingType m_sharingType = SharingType::readOnly;
    bool m_translucent;
    QTimer m_liveResize;
    bool m_awaitingUser = false;
};

} // namespace tamo
