#include "platform/ProcessAncestry.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace tamo {

namespace {

// How far above an exited process its fork is looked for; ids are handed
// out in order, so a fork made just before the exit lies close above.
constexpr qint64 forkSearchSpan = 64;
constexpr qsizetype maxDepth = 64;

struct ProcessStat
{
    qint64 pid = 0;
    QByteArray name;
    qint64 parent = 0;
    qint64 group = 0;
    qint64 session = 0;
};

std::optional<ProcessStat> readStat(const QString &procRoot, qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    QFile file(QStringLiteral("%1/%2/stat").arg(procRoot).arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // "pid (name) state ppid pgrp session ...": the name may hold spaces and
    // parentheses, so the fields start after the last ')'.
    const QByteArray line = file.readLine(4096);
    const qsizetype open = line.indexOf('(');
    const qsizetype close = line.lastIndexOf(')');
    if (open < 0 || close < open)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(close + 2).simplified().split(' ');
    if (fields.size() < 4)
        return std::nullopt;
    ProcessStat stat{pid, line.mid(open + 1, close - open - 1), fields[1].toLongLong(), fields[2].toLongLong(),
                     fields[3].toLongLong()};
    return stat;
}

// Init, or the user's service manager, which adopt orphans.
bool isAdopter(const QString &procRoot, qint64 pid)
{
    if (pid == 1)
        return true;
    const std::optional<ProcessStat> stat = readStat(procRoot, pid);
    return stat && stat->name == "systemd";
}

// ":0.1" and ":0" are one display: the screen after the dot is left out.
QByteArray displayOnly(QByteArray display)
{
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.lastIndexOf('.');
    if (colon >= 0 && dot > colon)
        display.truncate(dot);
    return display;
}

// A fork made for another X display (another session, a nested server) is
// never the one that copied on ours; one whose environment cannot be read
// may be.
bool mayBeOnOurDisplay(const QString &procRoot, qint64 pid)
{
    const QByteArray ours = displayOnly(qgetenv("DISPLAY"));
    QFile file(QStringLiteral("%1/%2/environ").arg(procRoot).arg(pid));
    if (ours.isEmpty() || !file.open(QIODevice::ReadOnly))
        return true;
    for (const QByteArray &variable : file.read(64 * 1024).split('\0')) {
        if (variable.startsWith("DISPLAY="))
            return displayOnly(variable.mid(8)) == ours;
    }
    return true;
}

QList<ProcessStat> forksOf(const QString &procRoot, qint64 exited)
{
    QList<ProcessStat> forks;
    for (qint64 pid = exited + 1; pid <= exited + forkSearchSpan; ++pid) {
        const std::optional<ProcessStat> stat = readStat(procRoot, pid);
        if (stat && isAdopter(procRoot, stat->parent) && mayBeOnOurDisplay(procRoot, pid))
            forks.append(*stat);
    }
    return forks;
}

QList<qint64> ancestryFrom(const QString &procRoot, std::optional<ProcessStat> stat)
{
    QList<qint64> ancestry;
    while (stat && ancestry.size() < maxDepth && !ancestry.contains(stat->pid)) {
        ancestry.append(stat->pid);
        qint64 next = stat->parent;
        if (isAdopter(procRoot, next)) {
            const auto alive = [&](qint64 leader) { return leader != stat->pid && readStat(procRoot, leader); };
            next = alive(stat->group) ? stat->group : alive(stat->session) ? stat->session : 0;
        }
        stat = next > 1 ? readStat(procRoot, next) : std::nullopt;
    }
    return ancestry;
}

} // namespace

QList<qint64> processAncestry(qint64 pid, const QString &procRoot)
{
    return possibleAncestries(pid, procRoot).value(0);
}

QList<QList<qint64>> possibleAncestries(qint64 pid, const QString &procRoot)
{
    if (pid <= 0)
        return {};
    if (const std::optional<ProcessStat> stat = readStat(procRoot, pid))
        return {ancestryFrom(procRoot, stat)};
    QList<QList<qint64>> ancestries;
    for (const ProcessStat &fork : forksOf(procRoot, pid))
        ancestries.append(ancestryFrom(procRoot, fork));
    return ancestries;
}

QString executableName(qint64 pid, const QString &procRoot)
{
    if (pid <= 0)
        return {};
    QString target = QFileInfo(QStringLiteral("%1/%2/exe").arg(procRoot).arg(pid)).symLinkTarget();
    // The kernel marks a program that was replaced on disk while it runs.
    const QString deleted = QStringLiteral(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return QFileInfo(target).fileName();
}

} // namespace tamo
