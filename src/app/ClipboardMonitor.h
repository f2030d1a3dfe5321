#pragma once

#include "app/CaptureQueue.h"
#include "model/ClipDraft.h"

#include <QObject>
#include <QSet>
#include <QTimer>

namespace tamo {

class Defaults;
class Pasteboard;
struct PasteboardChange;
class Workspace;
struct AppInfo;

// Turns each new copy on the clipboard into a draft for the history, unless
// a privacy rule (CaptureRules) keeps it out. A copy is noticed at once
// through Pasteboard::changed, with a 0.3 s poll of the change count behind
// it, and handled once whatever comes of it. Main thread; each copy is read
// as soon as it is noticed and made a draft on the thread pool, and drafts
// arrive in copy order, each copy of a burst handled late included.
// While "saveAutomaticCopies" is on, a selection another app made by itself
// (copy-on-select) is captured the same way once it settles, unless it only
// repeats the clipboard.
class ClipboardMonitor : public QObject
{
    Q_OBJECT

public:
    // What is on the clipboard now was copied before we ran: never captured.
    ClipboardMonitor(Pasteboard &pasteboard, Workspace &workspace, const Defaults &defaults,
                     QObject *parent = nullptr);

    void start();
    void stop();

    // The change our own write made: that copy is not captured.
    void skipChange(int changeCount);

    // Before a quit: stops, and captures every copy noticed so far whose
    // capture ends before `deadline`; reads still going then are abandoned.
    // Returns how many copies were left out.
    qsizetype finish(QDeadlineTimer deadline);

signals:
    void captured(const tamo::ClipDraft &draft);

private:
    void check();
    void handleCopy(const PasteboardChange &change);
    void handleSelection(const PasteboardChange &change);
    void followSelection();
    AppInfo sourceApp(const PasteboardChange &change) const;

    Pasteboard &m_pasteboard;
    Workspace &m_workspace;
    const Defaults &m_defaults;
    int m_changeCount;
    QSet<int> m_ownChanges;
    QTimer m_poll;
    QMetaObject::Connection m_changedConnection;
    QMetaObject::Connection m_selectionConnection;
    QMetaObject::Connection m_settingConnection;
    CaptureQueue m_queue;
};

} // namespace tamo
