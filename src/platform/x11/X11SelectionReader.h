#pragma once

#include "platform/ClipLimits.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace tamo::x11 {

// Reads a selection (CLIPBOARD or PRIMARY) on an X connection of its own, so an owner
// that answers slowly or never stalls only the thread that reads. One reader
// serves one copy, on one thread at a time. The connection lives only while a
// read goes on: a copy kept for later holds none, and the server's client
// slots are never used up by the copies of a long day.
//
// The whole copy, every target and every increment (INCR) of it, has one
// deadline, set by its first request; each wait for the owner also ends after
// `silence`, except that a request left unanswered is made again, twice,
// waiting twice as long each time. When either runs out the reader gives up
// on the copy: every later read gives nothing. A read can be cancelled from another thread: a
// newer copy has made this one stale, or the app is quitting.
//
// The copy is the one `owner` made: once another app has taken the
// selection, reads give nothing, so a copy read late is not taken for the one
// that replaced it (that one is read in its own turn).
class X11SelectionReader
{
public:
    struct Limits
    {
        std::chrono::milliseconds budget{10000};
        std::chrono::milliseconds silence{2000};
        // Per target; a larger payload gives nothing.
        qsizetype maxBytes = ClipLimits::largestValue;
        // Owners list their best targets first; the rest are not looked at.
        quint32 maxTargets = 1024;
    };

    // Only `wanted` targets are ever looked for.
    X11SelectionReader(QByteArray selection, uint32_t owner, const QStringList &wanted, Limits limits);
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    // The wanted targets the owner offers, in its order; empty without an
    // owner or an answer.
    QStringList targets();
    // Nothing when the owner refuses, gives more than maxBytes or no answer
    // in time.
    std::optional<QByteArray> read(const QString &target);

    struct Start
    {
        QByteArray bytes;
        bool cut = false; // the owner had more to send
    };
    // The first `maxBytes` of the target, not waiting for the rest.
    std::optional<Start> readStart(const QString &target, qsizetype maxBytes);

    bool gaveUp() const { return m_gaveUp; }

    // True once reads give nothing: cancelled, another app's copy came, the
    // reader gave up, or the copy's budget is spent (the reader gives up
    // then). Asked by the work on what was read, on the reading thread.
    bool stopped();

    // Ends a read under way at once, and every later one: they give nothing.
    // Any thread.
    void cancel();

private:
    struct Transfer
    {
        QByteArray bytes; // at most the cap
        bool overflowed = false;
    };
    // What the owner is still to put on our window.
    enum class Awaiting { nothing, answer, chunk };

    std::optional<Transfer> transferOfTarget(const QString &target, qsizetype maxBytes);

    bool connect();
    bool internAtoms();
    void disconnect();
    QStringList listTargets();
    std::optional<Transfer> convert(uint32_t target, qsizetype maxBytes);
    std::optional<Transfer> transferOf(uint32_t target, qsizetype maxBytes);
    std::optional<uint32_t> answerTo(uint32_t target);
    std::optional<Transfer> readIncrements(qsizetype maxBytes, quint32 announcedBytes);
    uint32_t currentOwner();
    uint32_t watchedOwner();
    // The next event that `matches`, dropping others; null when the budget
    // or `silence` runs out first.
    template<typename Matches>
    auto waitFor(Matches matches, std::chrono::milliseconds silence);
    bool waitForInput(qint64 silenceEndsMs);
    bool appendChunk(Transfer &transfer, const char *data, qsizetype length, qsizetype maxBytes);
    void giveUp(const char *reason);

    const QByteArray m_selectionName;
    const uint32_t m_owner;
    const QStringList m_wanted;
    const Limits m_limits;
    xcb_connection_t *m_xcb = nullptr; // only during a read
    uint32_t m_root = 0;
    uint32_t m_window = 0;
    uint32_t m_property = 0;
    uint32_t m_selection = 0;
    uint32_t m_targetsAtom = 0;
    uint32_t m_incr = 0;
    uint32_t m_time = 0;
    QHash<uint32_t, QString> m_wantedByAtom;
    std::optional<QStringList> m_targets;
    QElapsedTimer m_clock;
    QMutex m_wakeLock;
    int m_wake = -1; // an eventfd that cancel() writes to, during a read
    std::atomic<bool> m_cancelled = false;
    bool m_gaveUp = false;
    Awaiting m_awaiting = Awaiting::nothing;
    bool m_superseded = false;
};

} // namespace tamo::x11
