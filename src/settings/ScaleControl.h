#pragma once

#include <QLatin1StringView>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QSlider;

namespace tamo {

class Defaults;

// A size factor set with a continuous slider between two symbols, its value
// in words under it with "Reset to 100%" while it is not 100%, and a live
// preview beside it. Each movement stores the factor (snapped to 1 near 1).
class ScaleControl : public QWidget
{
    Q_OBJECT

public:
    struct Look
    {
        double minimum;
        double maximum;
        QString smallSymbol;
        int smallSide;
        QString largeSymbol;
        int largeSide;
    };
    // `describe` gives the value text for the stored factor.
    ScaleControl(Defaults &defaults, QLatin1StringView key, const Look &look, QWidget *preview,
                 std::function<QString(double)> describe, QWidget *parent = nullptr);

    // Shows the stored factor again, as when a key it depends on changed.
    void refresh();

    QSlider *slider() const { return m_slider; }
    QString valueText() const;
    QPushButton *resetButton() const { return m_reset; }

signals:
    void scaleShown(double scale);

private:
    Defaults &m_defaults;
    QLatin1StringView m_key;
    Look m_look;
    std::function<QString(double)> m_describe;
    QSlider *m_slider;
    QLabel *m_value;
    QPushButton *m_reset;
};

// The card size control with a miniature card at a fifth of the real size.
ScaleControl *makeCardSizeControl(Defaults &defaults);
// The font size control with the sample text at the cards' size.
ScaleControl *makeFontSizeControl(Defaults &defaults, const QString &sampleText);

} // namespace tamo
