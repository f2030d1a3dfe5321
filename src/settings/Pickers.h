#pragma once

#include <QComboBox>
#include <QList>
#include <QVariant>
#include <QWidget>

class QButtonGroup;

namespace tamo {

// One option of a picker: what it reads and the value it stands for.
struct Choice
{
    QString text;
    QVariant value;
};

// A pop-up menu of choices. `picked` tells a choice the user made; showing a
// value never emits it.
class PopUpPicker : public QComboBox
{
    Q_OBJECT

public:
    explicit PopUpPicker(const QList<Choice> &choices, QWidget *parent = nullptr);

    void setCurrentValue(const QVariant &value);
    QVariant currentValue() const;

signals:
    void picked(const QVariant &value);
};

// The same choices side by side as one segmented control.
class SegmentedPicker : public QWidget
{
    Q_OBJECT

public:
    explicit SegmentedPicker(const QList<Choice> &choices, QWidget *parent = nullptr);

    void setCurrentValue(const QVariant &value);
    QVariant currentValue() const;

signals:
    void picked(const QVariant &value);

private:
    QList<Choice> m_choices;
    QButtonGroup *m_buttons;
};

} // namespace tamo
