#pragma once

#include <QString>

namespace tamo {

// Writes a crash report when the process dies of a fatal signal (a bad
// memory access, an abort), so the support report can include it: the
// signal, the time the process started, and the call stack. Then the signal
// takes its normal course, so the desktop's own crash handling still runs.
namespace CrashHandler {

// Reports go to `folder` as "TamoCove-<start time>-<pid>.crash". Covers
// the calling thread.
void install(const QString &folder);

// Gives the calling thread a stack of its own for the handler, so that a
// thread that overflows its stack still leaves a report. Once per thread is
// enough; later calls do nothing.
void coverThisThread();

// Run by the handler before it writes the report: it may only use what is
// async-signal-safe (unlink, rmdir). One at a time; nullptr removes it.
using CrashCleanup = void (*)();
void setCleanup(CrashCleanup cleanup);

} // namespace CrashHandler

} // namespace tamo
