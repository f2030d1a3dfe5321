#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11SelectionReader.h"

#include <QElapsedTimer>

class QClipboard;

namespace tamo::x11 {

// The CLIPBOARD selection. Changes and our own writes go through QClipboard:
// Qt's xcb plugin follows the selection owner with XFixes, so changed() fires
// within milliseconds of a copy in any app. Another app's contents are read
// by an X11SelectionReader of their own, never through Qt, whose reads block
// the main thread.
class X11Pasteboard final : public Pasteboard
{
public:
    // Without an X connection (offscreen) it still works on Qt's clipboard,
    // but cannot tell the owner's process.
    explicit X11Pasteboard(X11Connection x11, X11SelectionReader::Limits readLimits = {},
                           QObject *parent = nullptr);

    int changeCount() const override { return m_changeCount; }
    std::unique_ptr<PasteboardContents> contents() const override;
    std::optional<qint64> ownerProcessID() const override { return m_ownerProcessID; }
    [[nodiscard]] std::optional<int> writeItems(const QList<PasteboardItem> &items) override;

private:
    void ownerChanged();
    uint32_t currentOwnerWindow() const;
    std::optional<qint64> currentOwnerProcessID(uint32_t owner) const;

    QClipboard *m_clipboard;
    X11Connection m_x11;
    uint32_t m_clipboardAtom;
    int m_changeCount = 0;
    uint32_t m_owner = 0; // the window that made the current contents
    std::optional<qint64> m_ownerProcessID;
    bool m_ownedAtLastChange = false;
    // The new owner after we lost the clipboard, while its second notice is due.
    std::optional<uint32_t> m_pendingEchoOwner;
    QElapsedTimer m_sinceLostOwnership;
    X11SelectionReader::Limits m_readLimits;
};

} // namespace tamo::x11
