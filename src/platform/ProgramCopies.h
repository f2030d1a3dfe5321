#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tamo {

// Another process of this user running a program of this program's name.
struct RunningCopy
{
    qint64 pid = 0;
    // The copy it runs: its AppImage, else its executable, with links
    // resolved; empty when it can no longer be read.
    QString location;
    qint64 startTicks = 0; // when it started, in clock ticks since boot

    bool operator==(const RunningCopy &) const = default;
};

// Copies of this program, running and installed, and how to stop or remove one.
class ProgramCopies
{
public:
    virtual ~ProgramCopies() = default;

    virtual QString ownLocation() const = 0;
    virtual qint64 ownStartTicks() const = 0;
    // Every process of this user running a program of our name, this one excepted.
    virtual QList<RunningCopy> others() const = 0;
    // The copies the desktop entries start, links resolved, in the order found.
    virtual QStringList installedLocations() const = 0;

    virtual bool isRunning(qint64 pid) const = 0;
    virtual void terminate(qint64 pid) = 0;      // asks it to quit
    virtual void forceTerminate(qint64 pid) = 0; // ends it

    // Tells other copies that this one quits copies started before it; they
    // leave it alone in return, so two such copies never end each other.
    virtual void announceGuard() = 0;
    virtual bool announcesGuard(qint64 pid) const = 0;

    // Why it failed, or nothing once the copy is in the trash.
    virtual std::optional<QString> moveToTrash(const QString &location) = 0;
};

// The processes under /proc, the desktop entries of the applications
// folders, signals, and the freedesktop trash.
class ProcProgramCopies final : public ProgramCopies
{
public:
    ProcProgramCopies();
    ~ProcProgramCopies() override;

    QString ownLocation() const override { return m_ownLocation; }
    qint64 ownStartTicks() const override;
    QList<RunningCopy> others() const override;
    QStringList installedLocations() const override;
    bool isRunning(qint64 pid) const override;
    void terminate(qint64 pid) override;
    void forceTerminate(qint64 pid) override;
    void announceGuard() override;
    bool announcesGuard(qint64 pid) const override;
    std::optional<QString> moveToTrash(const QString &location) override;

    // The copy a process runs, as RunningCopy::location describes it.
    static QString locationOf(qint64 pid);
    // Field 22 of /proc/PID/stat; 0 when unreadable.
    static qint64 startTicksOf(qint64 pid);

private:
    static QString markerPath(qint64 pid);

    QString m_ownLocation;
    QString m_programName;
    int m_marker = -1;
};

} // namespace tamo
