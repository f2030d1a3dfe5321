#pragma once

#include <QString>
#include <QWidget>

namespace tamo {

// Read-only text that wraps at word boundaries, or anywhere when a word is
// longer than the line, so a long URL never widens its window. Text beyond
// the line limit is cut off, and text longer than a page is shortened.
class WrappedText : public QWidget
{
public:
    explicit WrappedText(QWidget *parent = nullptr);

    void setText(const QString &text);
    // As shown, shortened when it was long.
    QString text() const { return m_text; }
    void setColor(const QColor &color);
    void setAlignment(Qt::Alignment alignment);
    void setMaximumLines(int lines);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int textFlags() const;

    QString m_text;
    QColor m_color;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    int m_maximumLines = 0; // none
};

} // namespace tamo
