#pragma once

#include <QList>
#include <QString>

namespace tamo {

// A process and the processes that started it, nearest first, as /proc
// shows them, so that a copy made by a command-line tool can be credited to
// the terminal it ran in.
//
// Two turns of a process's life hide its starter. A process whose parent
// exited is adopted by init (or the user's service manager); where it was
// started then shows in its process group's or its session's leader, whose
// ancestry goes on. And a tool that forks into the background and exits
// (xclip keeps the clipboard that way) leaves only its fork: for a process
// that is gone, the first adopted process a few ids above it stands in.
QList<qint64> processAncestry(qint64 pid, const QString &procRoot = QStringLiteral("/proc"));

// The same for each process that may stand in for one that is gone, nearest
// first: on a busy machine another adopted process (another tool's fork) may
// lie between the exited process and its own fork. One ancestry for a
// process that lives; none when nothing stands in.
QList<QList<qint64>> possibleAncestries(qint64 pid, const QString &procRoot = QStringLiteral("/proc"));

// The file name of the program the process runs; empty when /proc does not
// show it (a process of another user, or one that is gone).
QString executableName(qint64 pid, const QString &procRoot = QStringLiteral("/proc"));

} // namespace tamo
