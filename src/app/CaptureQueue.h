#pragma once

#include "model/ClipDraft.h"

#include <QDeadlineTimer>
#include <QFuture>
#include <QObject>

#include <deque>

namespace tamo {

// Hands captures on in the order they were copied. Each is built on the
// thread pool and can take a while (a large image); whatever was copied after
// it waits behind it, so the history's order stays the copy order. A slow
// owner holds nothing back for long: a newer copy ends the reads of the one
// before it.
class CaptureQueue : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // A draft being built elsewhere; nothing comes of it when it ends empty.
    void append(const QFuture<std::optional<ClipDraft>> &build);

    // Hands on every draft whose build ends before `deadline`, in order,
    // running the event loop meanwhile; returns how many were left behind.
    qsizetype finish(QDeadlineTimer deadline);

signals:
    void ready(const tamo::ClipDraft &draft);

private:
    void deliverFinished();

    std::deque<QFuture<std::optional<ClipDraft>>> m_waiting;
};

} // namespace tamo
