#pragma once

#include <QColor>
#include <QWidget>

class QLineEdit;

namespace tamo {

// The inline field a pinboard's name is typed into: the pinboard's dot and a
// line edit on an accent-tinted capsule. Every keystroke is reported; Return,
// Esc and losing the focus all ask to commit what was typed.
class PinboardNameField : public QWidget
{
    Q_OBJECT

public:
    explicit PinboardNameField(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    // Replaces the text without reporting it as typed.
    void setName(const QString &name);
    QLineEdit *lineEdit() const { return m_edit; }
    void focusName();

signals:
    void edited(const QString &name);
    void commitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLineEdit *m_edit;
    QColor m_color;
};

} // namespace tamo
