#pragma once

#include <QWidget>

class QLabel;

namespace tamo {

// A symbol and a short text in one colour: "Active" in green, a warning in orange.
class StatusBadge : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBadge(QWidget *parent = nullptr);

    void showStatus(const QString &symbol, const QString &text, const QColor &colour);
    void showActive(bool active, const QString &waitingText);
    QString text() const;

    static QColor green() { return {0x34, 0xC7, 0x59}; }
    static QColor orange() { return {0xFF, 0x95, 0x00}; }

private:
    QLabel *m_symbol;
    QLabel *m_text;
};

} // namespace tamo
