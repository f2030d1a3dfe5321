#include "settings/Pickers.h"

#include "settings/WheelNeedsFocus.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace tamo {

PopUpPicker::PopUpPicker(const QList<Choice> &choices, QWidget *parent)
    : QComboBox(parent)
{
    for (const Choice &choice : choices)
        addItem(choice.text, choice.value);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    takeWheelOnlyWithFocus(this);
    connect(this, &QComboBox::activated, this, [this](int index) { emit picked(itemData(index)); });
}

void PopUpPicker::setCurrentValue(const QVariant &value)
{
    setCurrentIndex(findData(value));
}

QVariant PopUpPicker::currentValue() const
{
    return currentData();
}

SegmentedPicker::SegmentedPicker(const QList<Choice> &choices, QWidget *parent)
    : QWidget(parent)
    , m_choices(choices)
    , m_buttons(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < choices.size(); ++i) {
        auto *segment = new QToolButton(this);
        segment->setText(choices[i].text);
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        segment->setMinimumWidth(84);
        m_buttons->addButton(segment, i);
        layout->addWidget(segment);
    }
    m_buttons->setExclusive(true);
    connect(m_buttons, &QButtonGroup::idClicked, this, [this](int id) { emit picked(m_choices.at(id).value); });
}

void SegmentedPicker::setCurrentValue(const QVariant &value)
{
    for (int i = 0; i < m_choices.size(); ++i) {
        if (m_choices[i].value == value) {
            m_buttons->button(i)->setChecked(true);
            return;
        }
    }
}

QVariant SegmentedPicker::currentValue() const
{
    const int id = m_buttons->checkedId();
    return id < 0 ? QVariant() : m_choices.at(id).value;
}

} // namespace tamo
