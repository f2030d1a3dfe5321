#include "platform/x11/X11Pasteboard.h"

#include "platform/PasteboardItems.h"
#include "platform/PasteboardMime.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QThreadPool>

namespace tamo::x11 {

namespace {

// Changes kept for a main thread that handles them late.
constexpr std::size_t recentChanges = 256;
// A selection is taken once it has stood this long with no button held.
constexpr int selectionSettleMs = 300;
constexpr char clipboardName[] = "CLIPBOARD";
constexpr char primaryName[] = "PRIMARY";

} // namespace

// Reads each target once: deciding a type may read its payload already. The
// read-ahead and a later capture may use it from two threads, one at a time.
class X11PasteboardContents final : public PasteboardContents, private PasteboardOffer
{
public:
    X11PasteboardContents(const char *selection, uint32_t owner, X11SelectionReader::Limits limits)
        : m_reader(selection, owner, PasteboardMime::readTargets(), limits)
    {
    }

    QStringList types() override
    {
        const QMutexLocker lock(&m_lock);
        return PasteboardMime::types(*this);
    }
    std::optional<QByteArray> data(const QString &type) override
    {
        const QMutexLocker lock(&m_lock);
        return PasteboardMime::data(*this, type);
    }

    void cancel() { m_reader.cancel(); }

    // The small plain text a read took, to follow for changes by the owner.
    std::optional<X11ContentProbe::Text> followableText(uint32_t owner)
    {
        const QMutexLocker lock(&m_lock);
        for (const QString &target : PasteboardMime::plainTextTargets()) {
            const auto read = m_read.constFind(target);
            if (read == m_read.cend() || !*read)
                continue;
            if ((*read)->size() > X11ContentProbe::maxBytes)
                return std::nullopt;
            return X11ContentProbe::Text{owner, target.toLatin1(), X11ContentProbe::digestOf(**read)};
        }
        return std::nullopt;
    }

private:
    QStringList targets() override { return m_reader.targets(); }
    bool abandoned() override { return m_reader.stopped(); }
    std::optional<QByteArray> bytes(const QString &target) override
    {
        auto read = m_read.find(target);
        if (read == m_read.end())
            read = m_read.insert(target, m_reader.read(target));
        return *read;
    }
    std::optional<QByteArray> bytesOnceMore(const QString &target) override
    {
        std::optional<QByteArray> &read = m_read[target];
        if (!read)
            read = m_reader.read(target);
        return read;
    }
    std::optional<Start> start(const QString &target, qsizetype maxBytes) override
    {
        auto read = m_started.find(target);
        if (read == m_started.end()) {
            std::optional<X11SelectionReader::Start> start = m_reader.readStart(target, maxBytes);
            read = m_started.insert(target, start ? std::optional(Start{std::move(start->bytes), start->cut})
                                                  : std::nullopt);
        }
        return *read;
    }

    QMutex m_lock;
    X11SelectionReader m_reader;
    QHash<QString, std::optional<QByteArray>> m_read;
    QHash<QString, std::optional<Start>> m_started; // read only as far as their start
};

X11Pasteboard::X11Pasteboard(X11Connection x11, X11SelectionReader::Limits readLimits, QObject *parent)
    : Pasteboard(parent)
    , m_clipboard(QGuiApplication::clipboard())
    , m_x11(x11)
    , m_clipboardAtom(X11Properties(x11.xcb).atom(clipboardName))
    , m_readLimits(readLimits)
{
    m_owner = currentOwnerWindow();
    if (m_owner != XCB_WINDOW_NONE) {
        m_ownerProcessID = clientProcessID(m_x11.xcb, m_owner);
        m_contents = std::make_shared<X11PasteboardContents>(clipboardName, m_owner, m_readLimits);
    }
    if (m_x11.isValid()) {
        m_watch = std::make_unique<X11SelectionWatch>(
            clipboardName, [this](const X11SelectionWatch::Notice &notice) { otherAppCopied(notice); });
    }
    m_readers.setMaxThreadCount(16);
    m_selectionSettle.setSingleShot(true);
    m_selectionSettle.setInterval(selectionSettleMs);
    connect(&m_selectionSettle, &QTimer::timeout, this, &X11Pasteboard::selectionSettling);
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            qtClipboardChanged();
    });
}

X11Pasteboard::~X11Pasteboard()
{
    setReadAhead({});
    abandonReads();
    m_readers.waitForDone();
    m_selectionWatch.reset();
    m_watch.reset();
}

// Qt tells of our own writes at once, from inside the write; the watch tells
// of everyone else's. Qt also tells late of changes it saw on its own
// connection, an owner that quit before our write among them: with the watch
// those are counted already. Without the watch (offscreen) Qt tells of every
// change.
void X11Pasteboard::qtClipboardChanged()
{
    if (m_watch && m_watch->isWatching() && !m_writing)
        return;
    // Asked now: the owner of a short-lived copy (xclip) may be gone by the
    // time anyone reads the contents.
    const uint32_t owner = currentOwnerWindow();
    std::shared_ptr<X11PasteboardContents> contents;
    if (owner != XCB_WINDOW_NONE) {
        contents = std::make_shared<X11PasteboardContents>(clipboardName, owner, m_readLimits);
        replaceNewest(m_newestCopy, contents);
    }
    record(owner, owner == XCB_WINDOW_NONE ? std::nullopt : clientProcessID(m_x11.xcb, owner), contents);
}

// A newer copy makes the reads of the one before it stale: they end at once,
// so no thread waits on an owner whose copy no one will take. An owner that
// quit is no newer copy: what it sent before it went is still read.
void X11Pasteboard::replaceNewest(std::weak_ptr<X11PasteboardContents> &newest,
                                  const std::shared_ptr<X11PasteboardContents> &contents)
{
    const QMutexLocker lock(&m_newestLock);
    if (const auto previous = std::exchange(newest, contents).lock())
        previous->cancel();
}

void X11Pasteboard::abandonReads()
{
    replaceNewest(m_newestCopy, nullptr);
    replaceNewest(m_newestSelection, nullptr);
}

void X11Pasteboard::announceNoticedChanges()
{
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

// On the watch's thread.
void X11Pasteboard::otherAppCopied(const X11SelectionWatch::Notice &notice)
{
    if (notice.owner != XCB_WINDOW_NONE
        && (notice.owner == m_ownWindow || notice.processID == QCoreApplication::applicationPid()))
        return; // our own write, which Qt told of
    std::shared_ptr<X11PasteboardContents> contents;
    if (notice.owner != XCB_WINDOW_NONE) {
        contents = std::make_shared<X11PasteboardContents>(clipboardName, notice.owner, m_readLimits);
        replaceNewest(m_newestCopy, contents);
        const QMutexLocker lock(&m_readAheadLock);
        if (m_readAhead) {
            // Once read, its text is followed: an owner may change it
            // without claiming the clipboard again.
            m_readers.start([this, contents, notice, readAhead = m_readAhead] {
                readAhead(*contents);
                if (const auto text = contents->followableText(notice.owner))
                    m_watch->followText(notice.serial, *text);
            });
        }
    }
    QMetaObject::invokeMethod(
        this, [this, notice, contents] { record(notice.owner, notice.processID, contents); }, Qt::QueuedConnection);
}

void X11Pasteboard::record(uint32_t owner, std::optional<qint64> processID,
                           std::shared_ptr<PasteboardContents> contents)
{
    ++m_changeCount;
    m_owner = owner;
    m_ownerProcessID = owner == XCB_WINDOW_NONE ? std::nullopt : processID;
    m_contents = std::move(contents);
    m_recent.push_back({m_changeCount, m_contents, m_ownerProcessID});
    if (m_recent.size() > recentChanges)
        m_recent.pop_front();
    emit changed();
}

QList<PasteboardChange> X11Pasteboard::changesSince(int changeCount)
{
    while (!m_recent.empty() && m_recent.front().changeCount <= changeCount)
        m_recent.pop_front();
    return {m_recent.cbegin(), m_recent.cend()};
}

void X11Pasteboard::setReadAhead(std::function<void(PasteboardContents &)> readAhead)
{
    const QMutexLocker lock(&m_readAheadLock);
    m_readAhead = std::move(readAhead);
}

uint32_t X11Pasteboard::currentOwnerWindow() const
{
    if (!m_clipboardAtom)
        return XCB_WINDOW_NONE;
    const auto reply = replyTo<xcb_get_selection_owner_reply>(
        m_x11.xcb, xcb_get_selection_owner(m_x11.xcb, m_clipboardAtom));
    return reply ? reply->owner : uint32_t(XCB_WINDOW_NONE);
}

std::shared_ptr<PasteboardContents> X11Pasteboard::contents() const
{
    if (!m_contents)
        return std::make_shared<X11PasteboardContents>(clipboardName, XCB_WINDOW_NONE, m_readLimits);
    return m_contents;
}

std::optional<int> X11Pasteboard::writeItems(const QList<PasteboardItem> &items)
{
    const PasteboardItem item = mergedPasteboardItem(items);
    if (item.isEmpty())
        return std::nullopt;

    const int countBefore = m_changeCount;
    {
        const QScopedValueRollback writing(m_writing, true);
        m_clipboard->setMimeData(PasteboardMime::mimeData(item), QClipboard::Clipboard);
    }
    // Qt reports the change at once, even when the server kept an owner whose
    // copy is newer than Qt's last known server time.
    const bool owned = m_clipboard->ownsClipboard()
                       && (!m_ownerProcessID || *m_ownerProcessID == QCoreApplication::applicationPid());
    if (m_changeCount == countBefore || !owned) {
        qCWarning(lcX11) << "could not take the clipboard";
        return std::nullopt;
    }
    m_ownWindow = m_owner;
    return m_changeCount;
}


void X11Pasteboard::setFollowsSelection(bool follow)
{
    if (!m_x11.isValid() || follow == bool(m_selectionWatch))
        return;
    m_selectionSettle.stop();
    m_selectionNotice = {};
    if (!follow) {
        m_selectionWatch.reset();
        return;
    }
    m_selectionWatch = std::make_unique<X11SelectionWatch>(primaryName, [this](const X11SelectionWatch::Notice &notice) {
        QMetaObject::invokeMethod(this, [this, notice] { selectionOwnerChanged(notice); }, Qt::QueuedConnection);
    });
}

// Each new owner starts the wait again: a drag may hand PRIMARY around many
// times, and only where it ends is the selection.
void X11Pasteboard::selectionOwnerChanged(const X11SelectionWatch::Notice &notice)
{
    if (!m_selectionWatch)
        return; // told before following stopped
    m_selectionNotice = notice;
    m_selectionSettle.start();
}

void X11Pasteboard::selectionSettling()
{
    if (pointerButtonHeld()) {
        m_selectionSettle.start();
        return;
    }
    const X11SelectionWatch::Notice notice = std::exchange(m_selectionNotice, {});
    // Ours when a paste put our clipboard on PRIMARY for a terminal.
    if (notice.owner == XCB_WINDOW_NONE || notice.processID == QCoreApplication::applicationPid()
        || m_clipboard->ownsSelection())
        return;
    const auto contents = std::make_shared<X11PasteboardContents>(primaryName, notice.owner, m_readLimits);
    replaceNewest(m_newestSelection, contents);
    emit selectionSettled({0, contents, notice.processID});
}

bool X11Pasteboard::pointerButtonHeld() const
{
    const auto pointer = replyTo<xcb_query_pointer_reply>(m_x11.xcb, xcb_query_pointer(m_x11.xcb, m_x11.rootWindow));
    constexpr uint16_t buttons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3 | XCB_BUTTON_MASK_4
                                 | XCB_BUTTON_MASK_5;
    return pointer && (pointer->mask & buttons);
}

} // namespace tamo::x11
