#pragma once

#include "drawer/SelectedGlass.h"

#include <QAbstractButton>
#include <QColor>

namespace tamo {

// One tab of the pinboard bar: a colour dot or a symbol, the title, and the
// selection capsule. The colour wins over the symbol. While pinboards are
// reordered the tab is drawn tilted, and the one being dragged faded.
class PinboardTabLabel : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Mark { none, dot, symbol };

    PinboardTabLabel(const QString &title, const QString &symbol, const QColor &color, QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const { return m_title; }
    void setColor(const QColor &color);
    Mark mark() const;
    void setSelected(bool selected);
    bool isSelected() const { return m_glass.isSelected; }
    const SelectedGlass &glass() const { return m_glass; }
    // While the capsule glides here from another tab, the bar draws it.
    void setGlassHidden(bool hidden);
    bool isGlassHidden() const { return m_glassHidden; }
    // Degrees about the centre.
    void setRotation(qreal degrees);
    void setOpacity(qreal opacity);
    qreal opacity() const { return m_opacity; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Only the capsule takes clicks, not the corners around it.
    bool hitButton(const QPoint &pos) const override;

private:
    QString m_title;
    QString m_symbol;
    QColor m_color;
    SelectedGlass m_glass;
    bool m_glassHidden = false;
    qreal m_rotation = 0;
    qreal m_opacity = 1;
};

} // namespace tamo
