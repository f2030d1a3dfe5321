#include "transfer/PinboardPicker.h"

#include "cards/ViewStyles.h"
#include "drawer/ColorDotImage.h"
#include "model/PinboardPalette.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace tamo {

PinboardPickerDialog::PinboardPickerDialog(const PickerRequest &request, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(request.title);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto *layout = new QVBoxLayout(this);

    auto *title = new QLabel(request.title, this);
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto *message = new QLabel(request.message, this);
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(message);

    m_selectAll = new QPushButton(QStringLiteral("Deselect All"), this);
    m_selectAll->setFlat(true);
    m_selectAll->setCursor(Qt::PointingHandCursor);
    m_selectAll->setStyleSheet(QStringLiteral("QPushButton { color: palette(link); border: none; padding: 0; }"));
    QFont small = m_selectAll->font();
    small.setPointSizeF(small.pointSizeF() * 11 / 13);
    m_selectAll->setFont(small);
    m_selectAll->adjustSize();
    connect(m_selectAll, &QPushButton::clicked, this, &PinboardPickerDialog::toggleAll);
    layout->addWidget(m_selectAll, 0, Qt::AlignLeft);

    auto *rows = new QWidget;
    for (const PickerRow &row : request.rows) {
        auto *box = new QCheckBox(literalLabel(row.name + QStringLiteral("  ·  ") + row.detail), rows);
        box->setIcon(colorDotImage(paletteEntry(row.colorIndex).color, devicePixelRatioF()));
        box->setChecked(true);
        box->adjustSize();
        connect(box, &QCheckBox::toggled, this, &PinboardPickerDialog::refresh);
        m_rows.append(box);
    }
    if (request.optionTitle) {
        m_option = new QCheckBox(literalLabel(*request.optionTitle), this);
        m_option->setFont(small);
        m_option->adjustSize();
    }

    int widest = 0;
    for (QCheckBox *box : m_rows)
        widest = std::max(widest, box->width());
    if (m_option)
        widest = std::max(widest, m_option->width());
    m_width = m_rows.isEmpty() && !m_option ? minimumWidth : std::clamp(widest + 4, minimumWidth, maximumWidth);
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        m_rows[i]->setGeometry(2, rowHeight * int(i), std::min(m_rows[i]->width(), m_width - 4), rowHeight);
    rows->setFixedSize(m_width, rowHeight * int(m_rows.size()));

    m_list = new QScrollArea(this);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setWidget(rows);
    m_list->setAccessibleName(QStringLiteral("Pinboards"));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const bool scrolls = rows->height() > visibleListHeight;
    m_list->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_list->setFixedSize(m_width + (scrolls ? m_list->verticalScrollBar()->sizeHint().width() : 0),
                         std::min(rows->height(), visibleListHeight));
    m_list->viewport()->setAutoFillBackground(false);
    rows->setAutoFillBackground(false);
    layout->addWidget(m_list);
    if (m_option) {
        m_option->setMaximumWidth(m_width - 4);
        layout->addSpacing(14 - layout->spacing());
        layout->addWidget(m_option);
    }

    auto *buttons = new QDialogButtonBox(this);
    m_confirm = buttons->addButton(request.confirmTitle, QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    m_confirm->setDefault(true);
    m_confirm->setEnabled(!m_rows.isEmpty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PinboardPickerDialog::toggleAll()
{
    const bool allTicked = std::all_of(m_rows.cbegin(), m_rows.cend(), [](QCheckBox *box) { return box->isChecked(); });
    for (QCheckBox *box : m_rows) {
        const QSignalBlocker quiet(box);
        box->setChecked(!allTicked);
    }
    refresh();
}

void PinboardPickerDialog::refresh()
{
    const auto ticked = std::count_if(m_rows.cbegin(), m_rows.cend(), [](QCheckBox *box) { return box->isChecked(); });
    m_selectAll->setText(ticked == m_rows.size() ? QStringLiteral("Deselect All") : QStringLiteral("Select All"));
    m_selectAll->adjustSize();
    m_confirm->setEnabled(ticked > 0);
}

PickerAnswer PinboardPickerDialog::answer(bool confirmed) const
{
    if (!confirmed)
        return {};
    QList<int> indices;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i]->isChecked())
            indices.append(int(i));
    }
    return {indices, m_option && m_option->isChecked()};
}

PickerAnswer DialogPinboardPicker::run(const PickerRequest &request)
{
    PinboardPickerDialog dialog(request);
    dialog.activateWindow();
    return dialog.answer(dialog.exec() == QDialog::Accepted);
}

} // namespace tamo
