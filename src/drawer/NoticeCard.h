#pragma once

#include <QWidget>

class QLabel;

namespace tamo {

struct Notice;

// The glass card of a notice: a symbol beside the message, optionally the
// paste shortcut in key caps and a hint about Direct Paste below them. Its
// size hint is the size the card needs for what it shows.
class NoticeCard : public QWidget
{
    Q_OBJECT

public:
    explicit NoticeCard(QWidget *parent = nullptr);

    void setNotice(const Notice &notice);

    qreal cornerRadius() const { return m_cornerRadius; }
    const QLabel *symbolView() const { return m_symbol; }
    const QLabel *messageLabel() const { return m_message; }
    const QWidget *shortcutRow() const { return m_shortcutRow; }
    const QLabel *hint() const { return m_hint; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *makeShortcutRow();
    void setSymbol(const QString &name, bool iconOnly, const QString &description);

    QLabel *m_symbol;
    QLabel *m_message;
    QWidget *m_shortcutRow;
    QLabel *m_hint;
    qreal m_cornerRadius = 24;
};

} // namespace tamo
