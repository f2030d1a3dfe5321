#pragma once

#include "drawer/Notice.h"
#include "drawer/TimeScale.h"

#include <QObject>
#include <QRectF>
#include <QTimer>

#include <memory>

class QWidget;

namespace tamo {

class Defaults;
class NoticeCard;
class Screens;
class WindowAnimation;
struct ScreenInfo;

// Short notices at the top centre of the screen that holds the pointer: the
// card fades in, stays for a time that depends on what it shows, and fades
// out. It never takes the keyboard and lets the mouse through, so it cannot
// interrupt typing in the app in front.
class ToastController : public QObject
{
    Q_OBJECT

public:
    ToastController(Defaults &defaults, Screens &screens, TimeScale timeScale = {}, QObject *parent = nullptr);
    ~ToastController() override;

    // Does nothing, leaving any notice up, when "pasteNotice" is none.
    void showPasteNotice(const QString &message);
    void showReadyToast(const QString &message);
    void showToast(const QString &message, const QString &symbol);

    // Kept for what it says; X11 cannot keep a window out of a screen share.
    void setShownDuringScreenSharing(bool shown) { m_shownDuringScreenSharing = shown; }
    bool isShownDuringScreenSharing() const { return m_shownDuringScreenSharing; }

    QWidget &panel() { return *m_panel; }
    const NoticeCard &card() const { return *m_card; }

    // The card's frame for a screen: centred, 24 below the top of the visible frame.
    static QRectF frameOn(const ScreenInfo &screen, const QSizeF &cardSize);

private:
    // Cancels the pending fade-out now and shows the notice one event-loop turn later.
    void request(const Notice &notice);
    void present(const Notice &notice);
    void dismiss();

    Defaults &m_defaults;
    Screens &m_screens;
    TimeScale m_timeScale;
    std::unique_ptr<QWidget> m_panel;
    NoticeCard *m_card;
    WindowAnimation *m_animation;
    QTimer m_dismissTimer;
    bool m_shownDuringScreenSharing = true;
};

} // namespace tamo
