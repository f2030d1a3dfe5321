#include "cards/TitleField.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace tamo {

TitleField::TitleField(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::returnPressed, this, &TitleField::finish);
}

void TitleField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        finish();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TitleField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The field's own context menu takes the focus for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        finish();
}

void TitleField::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    emit finished(text());
}

} // namespace tamo
