#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;
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
    // Where the stop's tick is drawn, across this widget.
    int tickCentre(int stop) const;

signals:
    // The user moved the slider to a stop.
    void moved(int stop);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    static constexpr int namesGap = 4;

    void placeNames();

    QSlider *m_slider;
    QList<QLabel *> m_names;
};

} // namespace tamo
