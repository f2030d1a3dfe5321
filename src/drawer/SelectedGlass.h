#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace tamo {

// The capsule behind the selected tab: the tab's colour, or a faint wash of
// the label colour for a tab without one.
struct SelectedGlass
{
    bool isSelected = false;
    QColor tint; // invalid for none

    // Transparent when not selected.
    QColor fill() const;
    void paint(QPainter &painter, const QRectF &rect) const;
};

} // namespace tamo
