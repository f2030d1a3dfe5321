#include "cards/TitleField.h"

#include "model/TypedText.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace tamo {

TitleField::TitleField(QWidget *parent)
    : QLineEdit(parent)
{
    setAccessibleName(QStringLiteral("Title"));
    setMaxLength(maxTypedLength);
}

void TitleField::keyPressEvent(QKeyEvent *event)
{
    // Taken here: QLineEdit passes Return on to the card row, which would paste the clip.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
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
