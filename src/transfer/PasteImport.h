#pragma once

#include "app/AppHooks.h"
#include "transfer/PasteDatabase.h"
#include "transfer/PasteMerge.h"

#include <QObject>

class QThreadPool;

#include <memory>
#include <variant>

namespace tamo {

class Alerts;
class AppModel;
class Defaults;
class ImportProgress;

// The confirmation with its choice of the other app's version.
class PasteVersionPrompt
{
public:
    virtual ~PasteVersionPrompt() = default;
    // Nothing when the user cancels.
    virtual std::optional<PasteImporter::Version> ask(PasteImporter::Version preselected) = 0;
};

// A message box with the version pop-up under its text.
class DialogPasteVersionPrompt final : public PasteVersionPrompt
{
public:
    std::optional<PasteImporter::Version> ask(PasteImporter::Version preselected) override;
};

// Imports the other clipboard manager's history: asks, reads the database
// on a worker thread, merges on the main thread a slice at a time under a
// progress window that can stop it, and reports what it did. A stopped
// merge keeps the slices it saved and is continued by the next import, as
// one cut short by a quit. One import runs at a time. Made before the model,
// which reaches it through its windows; attach() hands it the model.
class PasteHistoryImport : public QObject, public AppWindows
{
    Q_OBJECT
public:
    // What one slice of the merge aims at, its save included, so the app
    // answers input well within a tenth of a second.
    static constexpr int sliceMilliseconds = 30;

    PasteHistoryImport(Defaults &defaults, Alerts &alerts, PasteVersionPrompt &prompt, ImportProgress &progress,
                       PasteImporter::ReadEnvironment environment, QObject *parent = nullptr);
    ~PasteHistoryImport() override;

    void attach(AppModel &model) { m_model = &model; }

    void importPasteHistory() override;
    void runPasteImport(PasteImporter::Version version);
    bool isRunning() const { return m_running; }
    // How long a quit waits for a cancelled read to end before leaving it.
    static constexpr int quitWaitMilliseconds = 500;

    static QString summaryMessage(const PasteImportSummary &summary);
    static QString summaryDetail(const PasteImportSummary &summary, const Defaults &defaults);
    static QString stoppedDetail(const PasteImportSummary &summary);

signals:
    // The import ended, whatever its outcome, and its alert was answered.
    void finished();

private:
    using ReadResult = std::variant<PasteImporter::Snapshot, PasteImporter::ImportError>;

    void startMerge(PasteImporter::Snapshot snapshot);
    void mergeNextSlice();
    void stop();
    void showStopped();
    void showError(const PasteImporter::ImportError &error);
    void finish();

    AppModel *m_model = nullptr;
    Defaults &m_defaults;
    Alerts &m_alerts;
    PasteVersionPrompt &m_prompt;
    ImportProgress &m_progress;
    PasteImporter::ReadEnvironment m_environment;
    // The read runs on a pool of its own, which a quit waits on only briefly.
    QThreadPool *m_reader;
    std::shared_ptr<std::atomic<bool>> m_cancelRead;
    std::unique_ptr<PasteMerge> m_merge;
    bool m_continuesEarlier = false;
    bool m_running = false;
    bool m_stopping = false;
};

} // namespace tamo
