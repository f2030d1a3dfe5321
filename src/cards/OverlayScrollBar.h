#pragma once

#include <QPointer>
#include <QScrollBar>

class QAbstractScrollArea;

namespace tamo {

// A slim scroll bar laid over the edge of a scroll area's view instead of
// beside it, in the glass look: no arrows and no groove, only a translucent
// rounded thumb. It mirrors the area's own bar of its orientation, which the
// area keeps hidden, and shows only while there is something to scroll.
class OverlayScrollBar final : public QScrollBar
{
    Q_OBJECT

public:
    static constexpr int thickness = 6;
    static constexpr int inset = 3;

    OverlayScrollBar(Qt::Orientation orientation, QAbstractScrollArea *area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();
    void place();

    QPointer<QAbstractScrollArea> m_area;
    QScrollBar *m_source;
};

} // namespace tamo
