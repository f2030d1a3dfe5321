#include "platform/ProgramCopies.h"

#include "platform/DesktopEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tamo {

namespace {

QString procFile(qint64 pid, const char *name)
{
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name));
}

QByteArray readProcFile(qint64 pid, const char *name)
{
    QFile file(procFile(pid, name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString executableOf(qint64 pid)
{
    QString target = QFile::symLinkTarget(procFile(pid, "exe"));
    // A program replaced on disk while running (an update) still counts as that program.
    const QLatin1String deleted(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return target;
}

// The fields after the command name, which may itself hold blanks and parentheses.
QList<QByteArray> statFields(qint64 pid)
{
    const QByteArray stat = readProcFile(pid, "stat");
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 ? QList<QByteArray>() : stat.mid(close + 2).split(' ');
}

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

ProcProgramCopies::ProcProgramCopies()
    : m_ownLocation(locationOf(QCoreApplication::applicationPid()))
    , m_programName(QFileInfo(executableOf(QCoreApplication::applicationPid())).fileName())
{
}

ProcProgramCopies::~ProcProgramCopies()
{
    if (m_marker >= 0) {
        QFile::remove(markerPath(QCoreApplication::applicationPid()));
        ::close(m_marker);
    }
}

QString ProcProgramCopies::locationOf(qint64 pid)
{
    // An AppImage runs from a mount that changes each launch; the file it came from is the copy.
    const QList<QByteArray> environment = readProcFile(pid, "environ").split('\0');
    for (const QByteArray &entry : environment) {
        if (entry.startsWith("APPIMAGE=") && entry.size() > 9)
            return canonical(QString::fromLocal8Bit(entry.mid(9)));
    }
    return executableOf(pid);
}

qint64 ProcProgramCopies::startTicksOf(qint64 pid)
{
    // Field 22 overall; the list starts at field 3 (the state).
    return statFields(pid).value(19).toLongLong();
}

qint64 ProcProgramCopies::ownStartTicks() const
{
    return startTicksOf(QCoreApplication::applicationPid());
}

QList<RunningCopy> ProcProgramCopies::others() const
{
    QList<RunningCopy> copies;
    const qint64 own = QCoreApplication::applicationPid();
    const uint uid = ::getuid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid == own || QFileInfo(procFile(pid, "")).ownerId() != uid)
            continue;
        if (QFileInfo(executableOf(pid)).fileName() != m_programName || !isRunning(pid))
            continue;
        copies.append({pid, locationOf(pid), startTicksOf(pid)});
    }
    return copies;
}

QStringList ProcProgramCopies::installedLocations() const
{
    QStringList locations;
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
            const auto entry = DesktopEntry::fromFile(dir.filePath(name), name.chopped(8));
            if (!entry || entry->executable != m_programName)
                continue;
            const QString program = QFileInfo(entry->program).isAbsolute()
                                        ? entry->program
                                        : QStandardPaths::findExecutable(entry->program);
            const QString location = canonical(program);
            if (!location.isEmpty() && QFileInfo(location).isFile() && !locations.contains(location))
                locations.append(location);
        }
    }
    return locations;
}

bool ProcProgramCopies::isRunning(qint64 pid) const
{
    // A process that has ended but was not yet reaped by its parent is gone for us.
    const QList<QByteArray> fields = statFields(pid);
    return !fields.isEmpty() && fields.first() != "Z" && fields.first() != "X";
}

void ProcProgramCopies::terminate(qint64 pid)
{
    ::kill(pid_t(pid), SIGTERM);
}

void ProcProgramCopies::forceTerminate(qint64 pid)
{
    ::kill(pid_t(pid), SIGKILL);
}

QString ProcProgramCopies::markerPath(qint64 pid)
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/tamocove-guard-%1").arg(pid);
}

void ProcProgramCopies::announceGuard()
{
    if (m_marker >= 0)
        return;
    // The lock, not the file, is the announcement: it ends with the process,
    // so a marker left by a crash under a reused id says nothing.
    const QByteArray path = QFile::encodeName(markerPath(QCoreApplication::applicationPid()));
    m_marker = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_marker >= 0 && ::flock(m_marker, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_marker);
        m_marker = -1;
    }
}

bool ProcProgramCopies::announcesGuard(qint64 pid) const
{
    const QByteArray path = QFile::encodeName(markerPath(pid));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::optional<QString> ProcProgramCopies::moveToTrash(const QString &location)
{
    if (!QFileInfo::exists(location))
        return QStringLiteral("it no longer exists");
    if (!QFile::moveToTrash(location))
        return QStringLiteral("the trash refused it (no permission, or no trash on its disk)");
    return std::nullopt;
}

} // namespace tamo
