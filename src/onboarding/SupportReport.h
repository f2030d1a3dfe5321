#pragma once

#include "app/AppHooks.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tamo {

class AppModel;
class Defaults;
class FilePanels;
class Screens;

// The programs a support report runs, and how long each may take.
struct SupportReportTools
{
    QString journalctl = QStringLiteral("journalctl");
    QString zip = QStringLiteral("zip");
    int timeoutMs = 120 * 1000;
};

// Packs what a maintainer needs into one zip archive where the user chooses:
// the summary and the settings, three extracts of the journal of the last
// three days, what this run logged, and the crash reports of the last 30
// days. The archive is the user's alone (0600). The archive holds
// one folder named after the chosen file. It is built in a private temporary
// folder and only then put in place of the destination, so a failure leaves
// an older file there untouched. Every tool has a time-out.
class SupportReport : public QObject
{
    Q_OBJECT

public:
    using Tools = SupportReportTools;

    // One journal extract: its file in the report and the journalctl filter.
    struct LogExtract
    {
        QString file;
        QStringList filter;
    };
    static const QList<LogExtract> &logExtracts();

    SupportReport(AppModel &model, Defaults &defaults, FilePanels &panels, Screens &screens, QString crashFolder,
                  Tools tools = {}, QObject *parent = nullptr);

    // Where the crash handler writes and the report reads: ~/.local/state/Tamo/DiagnosticReports.
    static QString standardCrashFolder();
    // "TamoCove Support Report 2025-01-31 14.05"
    static QString defaultName(const QDateTime &now);
    // Reports whose names begin "Tamo" or "Vostra", changed within 30 days of `now`.
    static QStringList qualifyingCrashReports(const QString &folder, const QDateTime &now);

    // Asks where to save, then writes the report; `done` runs once with the
    // outcome (nothing in it when the user cancelled), unless `receiver` is gone.
    void create(QObject *receiver, std::function<void(const SupportReportResult &)> done);
    // The same for a destination already chosen.
    void createAt(const QString &destination, QObject *receiver,
                  std::function<void(const SupportReportResult &)> done);

private:
    class Run;

    AppModel &m_model;
    Defaults &m_defaults;
    FilePanels &m_panels;
    Screens &m_screens;
    QString m_crashFolder;
    Tools m_tools;
};

} // namespace tamo
