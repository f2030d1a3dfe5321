#pragma once

#include <QStringList>
#include <QWidget>

namespace tamo {

// Two cards over the shortcut page's illustration: the shortcut TamoCove
// ships with ("Default") and the one the tour recommends ("My pick"), each
// drawn as key caps named the way this desktop names keys ("⇧⌘V" shows
// Ctrl, Shift and V).
class ShortcutComparisonBar : public QWidget
{
    Q_OBJECT

public:
    // The recommended shortcut, in glyphs: Ctrl and the key left of 1, as the
    // current layout names that key ("`" when it does not tell).
    static QString recommended(const QString &keyLeftOfOne);

    ShortcutComparisonBar(const QString &current, const QString &pick, double scale, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintCard(QPainter &painter, const QRectF &rect, const QString &label, const QStringList &caps,
                   bool highlighted) const;

    QStringList m_current;
    QStringList m_pick;
    double m_scale;
};

} // namespace tamo
