#pragma once

#include <QWidget>

class QTimer;

namespace tamo {

class AppModel;
class Defaults;
class StopSlider;

// The history capacity slider. A move is asked about only once the slider
// has rested for 0.6 s, so dragging across stops asks about the last one;
// a declined change moves the slider back to the stored capacity.
class HistoryCapacityControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int settleMs = 600;

    HistoryCapacityControl(AppModel &model, Defaults &defaults, QWidget *parent = nullptr);

    StopSlider *slider() const { return m_slider; }
    bool isCheckPending() const;

private:
    void picked(int capacity);
    void apply();
    void showStored();

    AppModel &m_model;
    Defaults &m_defaults;
    StopSlider *m_slider;
    QTimer *m_check;
    int m_picked = 0;
};

} // namespace tamo
