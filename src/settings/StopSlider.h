#pragma once

#include <QStringList>
#include <QWidget>

class QSlider;

namespace tamo {

// A slider that stops at whole numbers 0…n−1, with each stop's name under
// it, spread so the names sit under their stops.
class StopSlider : public QWidget
{
    Q_OBJECT

public:
    explicit StopSlider(const QStringList &stopNames, QWidget *parent = nullptr);

    int value() const;
    // Shows a stop without emitting `moved`.
    void setValue(int stop);
    QSlider *slider() const { return m_slider; }

signals:
    // The user moved the slider to a stop.
    void moved(int stop);

private:
    QSlider *m_slider;
};

} // namespace tamo
