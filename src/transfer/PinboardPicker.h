#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class QCheckBox;
class QPushButton;
class QScrollArea;

namespace tamo {

struct PickerRow
{
    QString name;
    int colorIndex = 0;
    QString detail;
};

struct PickerRequest
{
    QString title;
    QString message;
    QString confirmTitle;
    QList<PickerRow> rows;
    std::optional<QString> optionTitle; // no option checkbox when absent
};

struct PickerAnswer
{
    std::optional<QList<int>> indices; // ticked rows ascending; nothing when cancelled
    bool option = false;
};

// Asks which pinboards to export or import.
class PinboardPicker
{
public:
    virtual ~PinboardPicker() = default;
    virtual PickerAnswer run(const PickerRequest &request) = 0;
};

// The dialog: one ticked checkbox per row with its colour dot, a button that
// ticks or unticks them all, and the optional option checkbox.
class PinboardPickerDialog final : public QDialog
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 24;
    static constexpr int visibleListHeight = 240;
    static constexpr int minimumWidth = 320;
    static constexpr int maximumWidth = 520;

    explicit PinboardPickerDialog(const PickerRequest &request, QWidget *parent = nullptr);

    const QList<QCheckBox *> &rowBoxes() const { return m_rows; }
    QPushButton *selectAllButton() const { return m_selectAll; }
    QPushButton *confirmButton() const { return m_confirm; }
    QCheckBox *optionBox() const { return m_option; }
    QScrollArea *list() const { return m_list; }
    int listWidth() const { return m_width; }

    // Unticks every row when all are ticked, else ticks them all.
    void toggleAll();
    PickerAnswer answer(bool confirmed) const;

private:
    void refresh();

    QList<QCheckBox *> m_rows;
    QPushButton *m_selectAll = nullptr;
    QPushButton *m_confirm = nullptr;
    QCheckBox *m_option = nullptr;
    QScrollArea *m_list = nullptr;
    int m_width = minimumWidth;
};

class DialogPinboardPicker final : public PinboardPicker
{
public:
    PickerAnswer run(const PickerRequest &request) override;
};

} // namespace tamo
