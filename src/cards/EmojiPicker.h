#pragma once

#include <QFrame>
#include <QStringList>

class QLabel;
class QLineEdit;

namespace tamo {

// The popup that gives a clip its icon: a grid of common emoji, a field that
// takes any single emoji, and "Remove Icon". It reports the choice; the card
// stores it.
class EmojiPicker : public QFrame
{
    Q_OBJECT

public:
    // `hasIcon`: whether there is an icon to remove.
    explicit EmojiPicker(bool hasIcon, QWidget *parent = nullptr);

    // Opens next to the anchor, both rectangles in global coordinates: below
    // it when there is room within `bounds` (the window the card is in),
    // else above.
    void popUp(const QRect &anchor, const QRect &bounds);

    // Takes the typed text when it is exactly one emoji; otherwise it says so
    // in the popup and returns false.
    bool submit(const QString &typed);

    // The grid's emoji, in order.
    static const QStringList &commonEmoji();

signals:
    void iconChosen(const QString &emoji);
    void iconRemoved();
    // Closed without a choice (a click outside, Escape).
    void dismissed();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void resolve();

    QLineEdit *m_input;
    QLabel *m_hint;
    bool m_resolved = false;
};

} // namespace tamo
