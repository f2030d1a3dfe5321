#include "onboarding/SupportReport.h"

#include "app/AppModel.h"
#include "cards/ScreenCardSizes.h"
#include "onboarding/SupportSummary.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/FilePanels.h"
#include "platform/Screens.h"
#include "platform/SessionLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUuid>

#include <cerrno>
#include <cstdio>

namespace tamo {

namespace {

constexpr qint64 crashReportAgeSecs = 30LL * 24 * 3600;
constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;

// The report holds the user's settings and logs: its files are the user's alone.
bool openPrivate(QFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.setPermissions(ownerOnly);
}

bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    return openPrivate(file) && file.write(text.toUtf8()) >= 0 && file.flush();
}

// Where a report is put together: the session's private runtime folder, else
// the temporary folder.
QString workingParent()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
}

// journalctl ends with 1 both when it fails and when its --grep matched
// nothing; then it says so on its standard output.
bool journalFoundNothing(const QString &extractFile)
{
    QFile file(extractFile);
    return file.open(QIODevice::ReadOnly) && file.read(4096).contains("-- No entries --");
}

} // namespace

// One report being made: the temporary folder, the tools running, and the
// answer still owed to the caller. It deletes itself when done.
class SupportReport::Run : public QObject
{
public:
    Run(SupportReport &report, QString destination, QObject *receiver,
        std::function<void(const SupportReportResult &)> done)
        : m_report(report)
        , m_destination(std::move(destination))
        , m_receiver(receiver)
        , m_done(std::move(done))
        , m_root(workingParent() + QStringLiteral("/Tamo-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper())
        , m_name(QFileInfo(m_destination).completeBaseName())
        , m_folder(m_root + u'/' + m_name)
    {
    }

    void start()
    {
        const QFile::Permissions privateFolder = ownerOnly | QFile::ExeOwner;
        if (!QDir().mkdir(m_root, privateFolder) || !QDir().mkdir(m_folder, privateFolder))
            return fail(QStringLiteral("Couldn't create a temporary folder in %1.").arg(workingParent()));
        if (!writeText(m_folder + QStringLiteral("/preferences.txt"),
                       SupportSummary::preferencesText(m_report.m_defaults, connectedScreenIDs())))
            return fail(QStringLiteral("Couldn't write the report's settings file."));
        // Our own lines, also where no journal keeps them.
        if (!writeText(m_folder + QStringLiteral("/this-run.log"), sessionlog::text()))
            return fail(QStringLiteral("Couldn't write the report's log of this run."));
        // The three extracts run side by side; the report goes on when all have ended.
        for (const LogExtract &extract : logExtracts())
            extractLog(extract);
    }

private:
    QStringList connectedScreenIDs() const
    {
        QStringList ids;
        for (const ScreenInfo &screen : m_report.m_screens.screens())
            ids.append(ScreenCardSizes::screenID(screen));
        return ids;
    }

    // Runs a tool with its time-out; `finished` gets nothing on success, else
    // why it failed. `succeeded` tells an exit code that is no failure.
    void runTool(const QString &program, const QStringList &arguments, const QString &outputFile,
                 std::function<void(std::optional<QString>)> finished,
                 std::function<bool(int code)> succeeded = [](int code) { return code == 0; })
    {
        auto *process = new QProcess(this);
        process->setWorkingDirectory(m_root);
        process->setProcessChannelMode(QProcess::MergedChannels);
        QFile output(outputFile);
        process->setStandardOutputFile(!outputFile.isEmpty() && openPrivate(output) ? outputFile
                                                                                    : QProcess::nullDevice());
        const QString name = QFileInfo(program).fileName();
        auto *timer = new QTimer(process);
        timer->setSingleShot(true);
        auto timedOut = std::make_shared<bool>(false);
        connect(timer, &QTimer::timeout, process, [process, timedOut] {
            *timedOut = true;
            process->kill();
        });
        auto report = [process, finished](std::optional<QString> failure) {
            process->deleteLater();
            finished(std::move(failure));
        };
        connect(process, &QProcess::finished, this,
                [report, name, timedOut, succeeded](int code, QProcess::ExitStatus status) {
                    if (*timedOut)
                        report(QStringLiteral("%1 did not finish in time.").arg(name));
                    else if (status != QProcess::NormalExit)
                        report(QStringLiteral("%1 stopped unexpectedly.").arg(name));
                    else if (!succeeded(code))
                        report(QStringLiteral("%1 stopped with code %2.").arg(name).arg(code));
                    else
                        report(std::nullopt);
                });
        connect(process, &QProcess::errorOccurred, this, [report, name](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                report(QStringLiteral("%1 could not be started.").arg(name));
        });
        timer->start(m_report.m_tools.timeoutMs);
        process->start(program, arguments);
    }

    void extractLog(const LogExtract &extract)
    {
        ++m_runningExtracts;
        const QString file = m_folder + u'/' + extract.file;
        const QStringList arguments = QStringList{QStringLiteral("--since=-3d"), QStringLiteral("--priority=info"),
                                                  QStringLiteral("--output=short-iso"), QStringLiteral("--no-pager")}
                                      + extract.filter;
        runTool(
            m_report.m_tools.journalctl, arguments, file,
            [this, file](std::optional<QString> failure) {
                if (failure)
                    writeText(file, QStringLiteral("Could not read the log: ") + *failure + u'\n');
                if (--m_runningExtracts == 0)
                    finishFolder();
            },
            [file](int code) { return code == 0 || (code == 1 && journalFoundNothing(file)); });
    }

    void finishFolder()
    {
        const QStringList crashes = qualifyingCrashReports(m_report.m_crashFolder, m_report.m_model.clock().now());
        if (!crashes.isEmpty()) {
            const QString target = m_folder + QStringLiteral("/crashes");
            if (!QDir().mkdir(target, ownerOnly | QFile::ExeOwner))
                return fail(QStringLiteral("Couldn't create the report's crashes folder."));
            for (const QString &crash : crashes) {
                const QString copy = target + u'/' + QFileInfo(crash).fileName();
                if (QFile::copy(crash, copy)) // an unreadable one is left out
                    QFile::setPermissions(copy, ownerOnly);
            }
        }
        const QString summary = SupportSummary::summary(m_report.m_model, m_report.m_defaults,
                                                        m_folder + QStringLiteral("/sync.log"));
        if (!writeText(m_folder + QStringLiteral("/summary.txt"), summary))
            return fail(QStringLiteral("Couldn't write the report's summary."));

        const QString archive = m_root + QStringLiteral("/report.zip");
        // -X leaves out owners and extra file attributes, as a mailed archive should.
        runTool(m_report.m_tools.zip, {QStringLiteral("-r"), QStringLiteral("-q"), QStringLiteral("-X"), archive, m_name},
                {}, [this, archive](std::optional<QString> failure) {
                    if (failure)
                        return fail(*failure);
                    if (const auto problem = replaceDestination(archive))
                        return fail(*problem);
                    finish({m_destination, {}});
                });
    }

    // Moves the archive over the destination in one step (or copies it
    // whole first, across disks); a folder there is never replaced.
    std::optional<QString> replaceDestination(const QString &archive)
    {
        if (QFileInfo(m_destination).isDir())
            return QStringLiteral("%1 is a folder.").arg(m_destination);
        if (!QFile::setPermissions(archive, ownerOnly))
            return QStringLiteral("Couldn't make the report private to you.");
        if (std::rename(QFile::encodeName(archive).constData(), QFile::encodeName(m_destination).constData()) == 0)
            return std::nullopt;
        QFile source(archive);
        QSaveFile target(m_destination);
        if (source.open(QIODevice::ReadOnly) && target.open(QIODevice::WriteOnly) && target.setPermissions(ownerOnly)
            && target.write(source.readAll()) == source.size() && target.commit())
            return std::nullopt;
        return QStringLiteral("Couldn't save the report as %1: %2").arg(m_destination, target.errorString());
    }

    void fail(const QString &error) { finish({{}, error}); }

    void finish(const SupportReportResult &result)
    {
        QDir(m_root).removeRecursively();
        if (m_receiver)
            m_done(result);
        deleteLater();
    }

    SupportReport &m_report;
    QString m_destination;
    QPointer<QObject> m_receiver;
    std::function<void(const SupportReportResult &)> m_done;
    QString m_root;
    QString m_name;
    QString m_folder;
    int m_runningExtracts = 0;
};

SupportReport::SupportReport(AppModel &model, Defaults &defaults, FilePanels &panels, Screens &screens,
                             QString crashFolder, Tools tools, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_defaults(defaults)
    , m_panels(panels)
    , m_screens(screens)
    , m_crashFolder(std::move(crashFolder))
    , m_tools(std::move(tools))
{
}

const QList<SupportReport::LogExtract> &SupportReport::logExtracts()
{
    // Our own lines reach the journal under our program's name; the sync
    // lines are ours that speak of sync; the file-sync engine's lines are
    // those that name our folder.
    static const QList<LogExtract> extracts{
        {QStringLiteral("tamo.log"), {QStringLiteral("_COMM=tamocove")}},
        {QStringLiteral("sync.log"), {QStringLiteral("_COMM=tamocove"), QStringLiteral("--grep=(?i)sync")}},
        {QStringLiteral("icloud.log"), {QStringLiteral("--grep=TamoCove"), QStringLiteral("_COMM=syncthing")}},
    };
    return extracts;
}

QString SupportReport::standardCrashFolder()
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME", QDir::homePath() + QStringLiteral("/.local/state"));
    return state + QStringLiteral("/Tamo/DiagnosticReports");
}

QString SupportReport::defaultName(const QDateTime &now)
{
    return QStringLiteral("TamoCove Support Report ") + now.toString(QStringLiteral("yyyy-MM-dd HH.mm"));
}

QStringList SupportReport::qualifyingCrashReports(const QString &folder, const QDateTime &now)
{
    QStringList reports;
    const QDateTime cutoff = now.addSecs(-crashReportAgeSecs);
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const bool ours = name.startsWith(QLatin1String("Tamo")) || name.startsWith(QLatin1String("Vostra"));
        if (ours && entry.lastModified() > cutoff)
            reports.append(entry.filePath());
    }
    return reports;
}

void SupportReport::create(QObject *receiver, std::function<void(const SupportReportResult &)> done)
{
    const auto destination = m_panels.chooseSaveFile({QStringLiteral("Zip archive"), {QStringLiteral("zip")}},
                                                     defaultName(m_model.clock().now()));
    if (!destination) {
        done({});
        return;
    }
    createAt(*destination, receiver, std::move(done));
}

void SupportReport::createAt(const QString &destination, QObject *receiver,
                             std::function<void(const SupportReportResult &)> done)
{
    auto *run = new Run(*this, destination, receiver, std::move(done));
    run->setParent(this);
    run->start();
}

} // namespace tamo
