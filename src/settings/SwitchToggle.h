#pragma once

#include <QAbstractButton>

class QVariantAnimation;

namespace tamo {

// An on/off switch: every toggle of the settings is drawn as one. Checkable;
// `clicked(bool)` tells a change the user made.
class SwitchToggle : public QAbstractButton
{
    Q_OBJECT

public:
    explicit SwitchToggle(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    QVariantAnimation *m_knob; // 0 off … 1 on
};

} // namespace tamo
