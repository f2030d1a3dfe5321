#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11SelectionReader.h"
#include "platform/x11/X11SelectionWatch.h"

#include <QMutex>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <deque>

class QClipboard;

namespace tamo::x11 {

class X11PasteboardContents;

// The CLIPBOARD selection. Other apps' copies are followed by an
// X11SelectionWatch on a thread of its own, which notes each owner and starts
// reading its copy at once; the main thread learns of them in order, however
// late. A copy's text is followed while its owner keeps the clipboard, for
// owners that change it without a new claim. Our own writes go through QClipboard. Another app's contents are
// read by an X11SelectionReader of their own, never through Qt, whose reads
// block the main thread. While asked to, a second watch follows PRIMARY,
// whose settled selections are announced on their own.
class X11Pasteboard final : public Pasteboard
{
public:
    // Without an X connection (offscreen) it still works on Qt's clipboard,
    // but cannot tell the owner's process.
    explicit X11Pasteboard(X11Connection x11, X11SelectionReader::Limits readLimits = {},
                           QObject *parent = nullptr);
    ~X11Pasteboard() override;

    int changeCount() const override { return m_changeCount; }
    std::shared_ptr<PasteboardContents> contents() const override;
    std::optional<qint64> ownerProcessID() const override { return m_ownerProcessID; }
    QList<PasteboardChange> changesSince(int changeCount) override;
    void setReadAhead(std::function<void(PasteboardContents &)> readAhead) override;
    [[nodiscard]] std::optional<int> writeItems(const QList<PasteboardItem> &items) override;
    void setFollowsSelection(bool follow) override;
    void announceNoticedChanges() override;
    void abandonReads() override;

private:
    void qtClipboardChanged();
    void otherAppCopied(const X11SelectionWatch::Notice &notice);
    void record(uint32_t owner, std::optional<qint64> processID, std::shared_ptr<PasteboardContents> contents);
    uint32_t currentOwnerWindow() const;
    void selectionOwnerChanged(const X11SelectionWatch::Notice &notice);
    void selectionSettling();
    bool pointerButtonHeld() const;
    void replaceNewest(std::weak_ptr<X11PasteboardContents> &newest,
                       const std::shared_ptr<X11PasteboardContents> &contents);

    QClipboard *m_clipboard;
    X11Connection m_x11;
    uint32_t m_clipboardAtom;
    int m_changeCount = 0;
    uint32_t m_owner = 0; // the window that made the current contents
    std::optional<qint64> m_ownerProcessID;
    std::shared_ptr<PasteboardContents> m_contents;
    std::deque<PasteboardChange> m_recent;
    X11SelectionReader::Limits m_readLimits;
    std::atomic<uint32_t> m_ownWindow = 0; // Qt's clipboard window, once we wrote
    bool m_writing = false;
    QMutex m_readAheadLock;
    std::function<void(PasteboardContents &)> m_readAhead;
    QMutex m_newestLock;
    std::weak_ptr<X11PasteboardContents> m_newestCopy;
    std::weak_ptr<X11PasteboardContents> m_newestSelection;
    QThreadPool m_readers; // read-aheads, which mostly wait on owners
    X11SelectionWatch::Notice m_selectionNotice; // PRIMARY's newest owner
    QTimer m_selectionSettle;
    // Last: its thread calls back into the members above until it is gone.
    std::unique_ptr<X11SelectionWatch> m_watch;
    std::unique_ptr<X11SelectionWatch> m_selectionWatch; // only while following
};

} // namespace tamo::x11
