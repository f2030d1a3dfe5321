#include "platform/x11/X11Pasteboard.h"

#include "platform/PasteboardItems.h"
#include "platform/PasteboardMime.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

namespace tamo::x11 {

namespace {

// How long after losing the clipboard its second notice may still arrive.
constexpr qint64 echoWindowMs = 500;

// Reads each target once: deciding a type may read its payload already.
class X11PasteboardContents final : public PasteboardContents, private PasteboardOffer
{
public:
    X11PasteboardContents(uint32_t owner, X11SelectionReader::Limits limits)
        : m_reader(owner, PasteboardMime::readTargets(), limits)
    {
    }

    QStringList types() override { return PasteboardMime::types(*this); }
    std::optional<QByteArray> data(const QString &type) override { return PasteboardMime::data(*this, type); }

private:
    QStringList targets() override { return m_reader.targets(); }
    std::optional<QByteArray> bytes(const QString &target) override
    {
        auto read = m_read.find(target);
        if (read == m_read.end())
            read = m_read.insert(target, m_reader.read(target));
        return *read;
    }

    X11SelectionReader m_reader;
    QHash<QString, std::optional<QByteArray>> m_read;
};

} // namespace

X11Pasteboard::X11Pasteboard(X11Connection x11, X11SelectionReader::Limits readLimits, QObject *parent)
    : Pasteboard(parent)
    , m_clipboard(QGuiApplication::clipboard())
    , m_x11(x11)
    , m_clipboardAtom(X11Properties(x11.xcb).atom("CLIPBOARD"))
    , m_readLimits(readLimits)
{
    m_owner = currentOwnerWindow();
    m_ownerProcessID = currentOwnerProcessID(m_owner);
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            ownerChanged();
    });
}

void X11Pasteboard::ownerChanged()
{
    const uint32_t owner = currentOwnerWindow();
    // Losing the clipboard reaches Qt twice, as a selection clear and as the
    // XFixes notice of the new owner: one copy elsewhere, counted once.
    const bool echo = m_pendingEchoOwner == owner && m_sinceLostOwnership.elapsed() < echoWindowMs;
    m_pendingEchoOwner.reset();
    if (echo)
        return;
    const bool owned = m_clipboard->ownsClipboard();
    if (m_ownedAtLastChange && !owned) {
        m_pendingEchoOwner = owner;
        m_sinceLostOwnership.start();
    }
    m_ownedAtLastChange = owned;

    ++m_changeCount;
    // Asked now: the owner of a short-lived copy (xclip) may be gone by the
    // time anyone reads the contents.
    m_owner = owner;
    m_ownerProcessID = currentOwnerProcessID(owner);
    emit changed();
}

uint32_t X11Pasteboard::currentOwnerWindow() const
{
    if (!m_clipboardAtom)
        return XCB_WINDOW_NONE;
    const auto reply = replyTo<xcb_get_selection_owner_reply>(
        m_x11.xcb, xcb_get_selection_owner(m_x11.xcb, m_clipboardAtom));
    return reply ? reply->owner : uint32_t(XCB_WINDOW_NONE);
}

std::optional<qint64> X11Pasteboard::currentOwnerProcessID(uint32_t owner) const
{
    if (owner == XCB_WINDOW_NONE)
        return std::nullopt;
    return clientProcessID(m_x11.xcb, owner);
}

std::unique_ptr<PasteboardContents> X11Pasteboard::contents() const
{
    return std::make_unique<X11PasteboardContents>(m_owner, m_readLimits);
}

std::optional<int> X11Pasteboard::writeItems(const QList<PasteboardItem> &items)
{
    const PasteboardItem item = mergedPasteboardItem(items);
    if (item.isEmpty())
        return std::nullopt;

    const int countBefore = m_changeCount;
    m_clipboard->setMimeData(PasteboardMime::mimeData(item), QClipboard::Clipboard);
    // Qt reports the change at once, even when the server kept an owner whose
    // copy is newer than Qt's last known server time.
    const bool owned = m_clipboard->ownsClipboard()
                       && (!m_ownerProcessID || *m_ownerProcessID == QCoreApplication::applicationPid());
    if (m_changeCount == countBefore || !owned) {
        qCWarning(lcX11) << "could not take the clipboard";
        return std::nullopt;
    }
    return m_changeCount;
}

} // namespace tamo::x11
