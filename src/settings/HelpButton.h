#pragma once

#include <QPointer>
#include <QStringList>
#include <QToolButton>

#include <functional>

class QFrame;

namespace tamo {

// The round "?" under a settings section. A click shows the section's help
// texts in a popover at the button; a click outside, Esc or the button again
// hides them. The texts are read at each showing, so they name the shortcut
// the user has now.
class HelpButton : public QToolButton
{
    Q_OBJECT

public:
    HelpButton(const QString &topic, std::function<QStringList()> texts, QWidget *parent = nullptr);

    bool isShowingHelp() const;
    // The texts of the open popover; empty while none is open.
    QStringList shownTexts() const;
    void showHelp();
    void hideHelp();

private:
    QString m_topic;
    std::function<QStringList()> m_texts;
    QPointer<QFrame> m_popover;
};

} // namespace tamo
