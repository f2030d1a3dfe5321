#pragma once

#include <QWidget>

namespace tamo {

// A glass card filling the widget, with rounded corners; the drawer's panels
// show it until their real content is plugged in.
class GlassCard : public QWidget
{
    Q_OBJECT

public:
    explicit GlassCard(qreal cornerRadius, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_cornerRadius;
};

} // namespace tamo
