#pragma once

#include <QString>

namespace tamo {

// Writes a crash report when the process dies of a fatal signal (a bad
// memory access, an abort), so the support report can include it: the
// signal, the time the process started, and the call stack. Then the signal
// takes its normal course, so the desktop's own crash handling still runs.
namespace CrashHandler {

// Reports go to `folder` as "TamoCove-<start time>-<pid>.crash".
void install(const QString &folder);

} // namespace CrashHandler

} // namespace tamo
