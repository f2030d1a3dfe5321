#pragma once

#include <QWidget>

class QVariantAnimation;

namespace tamo {

// A small indeterminate progress indicator; it turns only while shown.
class Spinner : public QWidget
{
    Q_OBJECT

public:
    explicit Spinner(int side = 16, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int m_side;
    QVariantAnimation *m_turn;
};

} // namespace tamo
