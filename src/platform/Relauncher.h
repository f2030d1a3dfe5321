#pragma once

#include <QString>

namespace tamo {

// Starts the app again once this process has gone, then asks it to quit.
class Relauncher
{
public:
    virtual ~Relauncher() = default;
    // False, and nothing quits, when the waiting launcher could not start.
    virtual bool relaunch() = 0;
};

// A detached shell that polls until this process has exited and then runs
// the executable again; it outlives us because nothing owns it.
class ProcessRelauncher final : public Relauncher
{
public:
    explicit ProcessRelauncher(QString executable);
    bool relaunch() override;

    // The shell script and arguments, for the launch and its tests.
    static QStringList arguments(const QString &executable, qint64 pid);

private:
    QString m_executable;
};

} // namespace tamo
