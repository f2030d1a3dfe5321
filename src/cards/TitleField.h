#pragma once

#include <QLineEdit>

namespace tamo {

// The inline title field of a card. Return, Escape and losing the focus all
// end the edit, keeping what was typed; finished() comes once, whichever
// happens first (Return moves the focus away too).
class TitleField : public QLineEdit
{
    Q_OBJECT

public:
    explicit TitleField(QWidget *parent = nullptr);

    bool isFinished() const { return m_finished; }

signals:
    void finished(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void finish();

    bool m_finished = false;
};

} // namespace tamo
