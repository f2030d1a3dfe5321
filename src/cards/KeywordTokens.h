#pragma once

#include <QList>
#include <QRect>
#include <QStringList>
#include <QWidget>

namespace tamo {

// Keywords drawn as rounded tokens that wrap like words, each with a small
// remove button. Painted in one widget, so a clip with a thousand keywords
// costs no thousand widgets.
class KeywordTokens : public QWidget
{
    Q_OBJECT

public:
    explicit KeywordTokens(QWidget *parent = nullptr);

    void setTokens(const QStringList &tokens);
    const QStringList &tokens() const { return m_tokens; }

    // Where the remove button of a token sits, for pointing at it.
    QRect removeButtonRect(int index) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void removeRequested(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QList<QRect> tokenRects(int width) const;
    int tokenHeight() const;
    int removeButtonAt(const QPoint &point) const;
    void setHovered(int index);
    void relayout();

    QStringList m_tokens;
    QList<QRect> m_rects; // laid out for the current width
    int m_hovered = -1;   // the remove button under the pointer
    int m_pressed = -1;
};

} // namespace tamo
