#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Connection.h"

#include <QElapsedTimer>

class QClipboard;

namespace tamo::x11 {

// The CLIPBOARD selection through QClipboard. Qt's xcb plugin follows the
// selection owner with XFixes, so changed() fires within milliseconds of a
// copy in any app.
//
// Reads are synchronous: Qt waits up to 5 s for the owner's answer to each
// request, handling only selection traffic meanwhile, so an owner that hangs
// stalls the main thread that long. Its cost is one wait per change: the type
// list is kept per change count, and data() asks the owner only for types on
// it. Each data() request can still wait once. Large payloads arrive in the
// same call through the INCR protocol.
class X11Pasteboard final : public Pasteboard
{
public:
    // Without an X connection (offscreen) it still works on Qt's clipboard,
    // but cannot tell the owner's process.
    explicit X11Pasteboard(X11Connection x11, QObject *parent = nullptr);

    int changeCount() const override { return m_changeCount; }
    QStringList types() const override;
    std::optional<QByteArray> data(const QString &type) const override;
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
    std::optional<qint64> m_ownerProcessID;
    bool m_ownedAtLastChange = false;
    // The new owner after we lost the clipboard, while its second notice is due.
    std::optional<uint32_t> m_pendingEchoOwner;
    QElapsedTimer m_sinceLostOwnership;
    mutable std::optional<QStringList> m_types; // of the current change
};

} // namespace tamo::x11
