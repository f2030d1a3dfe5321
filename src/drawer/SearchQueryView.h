#pragma once

#include <QWidget>

namespace tamo {

// The typed part of the drawer's search: the text, cut at its start when it
// does not fit so the last typed characters stay visible, then a caret, then
// a placeholder while nothing narrows the search. Paints from what it is told;
// it never takes the keyboard.
class SearchQueryView : public QWidget
{
    Q_OBJECT

public:
    static constexpr auto placeholder = "Search Clipboard";

    explicit SearchQueryView(QWidget *parent = nullptr);

    void setText(const QString &text);
    void setPlaceholderShown(bool shown);
    void setCaretOpacity(qreal opacity);

    bool placeholderShown() const { return m_placeholderShown; }
    qreal caretOpacity() const { return m_caretOpacity; }
    // The text as it fits the current width.
    QString shownText() const;
    QRectF caretRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int placeholderWidth() const;
    int widthAround() const;

    QString m_text;
    bool m_placeholderShown = true;
    qreal m_caretOpacity = 1;
};

} // namespace tamo
