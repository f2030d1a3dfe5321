#include "transfer/PasteImport.h"

#include "app/AppModel.h"
#include "model/ModelContainer.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Alerts.h"
#include "platform/Defaults.h"
#include "platform/Workspace.h"
#include "transfer/ImportProgress.h"
#include "transfer/PrivateCopy.h"
#include "transfer/TransferServices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace tamo {

using PasteImporter::ImportError;
using PasteImporter::Version;

std::optional<Version> DialogPasteVersionPrompt::ask(Version preselected)
{
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setText(QStringLiteral("Import your Paste history?"));
    box.setInformativeText(QStringLiteral("TamoCove copies your clips and pinboards from Paste, keeping their dates and "
                                          "source apps. Paste itself isn't changed, and clips already in TamoCove "
                                          "are skipped."));
    QPushButton *import = box.addButton(QStringLiteral("Import"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(import);
    box.setEscapeButton(cancel);

    auto *accessory = new QWidget(&box);
    auto *row = new QHBoxLayout(accessory);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    auto *label = new QLabel(QStringLiteral("Your Paste version:"), accessory);
    auto *versions = new QComboBox(accessory);
    versions->setAccessibleName(QStringLiteral("Your Paste version"));
    label->setBuddy(versions);
    for (const Version version : {Version::paste7, Version::paste3})
        versions->addItem(QStringLiteral("Paste ") + QString::number(int(version)), int(version));
    versions->setCurrentIndex(versions->findData(int(preselected)));
    row->addWidget(label);
    row->addWidget(versions);
    row->addStretch();
    accessory->setMinimumSize(260, 26);

    // Under the texts, above the buttons.
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    auto *buttons = box.findChild<QDialogButtonBox *>();
    if (grid && buttons) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(buttons), &row, &column, &rows, &columns);
        grid->removeWidget(buttons);
        grid->addWidget(accessory, row, column, 1, columns);
        grid->addWidget(buttons, row + 1, column, rows, columns);
    }

    box.exec();
    if (box.clickedButton() != import)
        return std::nullopt;
    const int tag = versions->currentData().toInt();
    if (tag != int(Version::paste3) && tag != int(Version::paste7))
        return std::nullopt;
    return Version(tag);
}

PasteHistoryImport::PasteHistoryImport(Defaults &defaults, Alerts &alerts, PasteVersionPrompt &prompt,
                                       ImportProgress &progress, PasteImporter::ReadEnvironment environment,
                                       QObject *parent)
    : QObject(parent), m_defaults(defaults), m_alerts(alerts), m_prompt(prompt), m_progress(progress),
      m_environment(std::move(environment)), m_reader(new QThreadPool)
{
    m_reader->setMaxThreadCount(1);
}

PasteHistoryImport::~PasteHistoryImport()
{
    if (m_running)
        m_progress.end();
    if (m_cancelRead)
        m_cancelRead->store(true);
    // A cancelled read ends within moments; one that does not is left
    // behind, its pool with it, and its private copy removed here.
    if (m_reader->waitForDone(quitWaitMilliseconds)) {
        delete m_reader;
    } else {
        PrivateCopy::removeCopyInUse();
    }
}

void PasteHistoryImport::importPasteHistory()
{
    if (m_running || !m_model || refusedWhileImporting(m_progress, m_alerts))
        return;
    m_model->drawer().hide(false);
    const std::optional<Version> version = m_prompt.ask(PasteImporter::detectedVersion(m_environment.home));
    if (version)
        runPasteImport(*version);
}

void PasteHistoryImport::runPasteImport(Version version)
{
    m_running = true;
    m_stopping = false;
    m_cancelRead = std::make_shared<std::atomic<bool>>(false);
    m_progress.begin(QStringLiteral("Importing from Paste"), [this] { stop(); });
    m_progress.update(QStringLiteral("Reading your Paste history…"), 0, 0);
    auto *watcher = new QFutureWatcher<ReadResult>(this);
    connect(watcher, &QFutureWatcher<ReadResult>::finished, this, [this, watcher] {
        watcher->deleteLater();
        ReadResult result = watcher->result();
        if (auto *error = std::get_if<ImportError>(&result))
            showError(*error);
        else
            startMerge(std::move(std::get<PasteImporter::Snapshot>(result)));
    });
    // The workspace belongs to the main thread: ask it here.
    PasteImporter::ReadEnvironment environment = m_environment;
    environment.pasteInstalled = [installed = m_environment.pasteInstalled()] { return installed; };
    environment.cancelled = m_cancelRead;
    environment.spoolFolder = m_model->container().storeDirectory();
    watcher->setFuture(QtConcurrent::run(m_reader, [version, environment]() -> ReadResult {
        try {
            return PasteImporter::readSnapshot(version, environment);
        } catch (const ImportError &error) {
            return error;
        }
    }));
}

void PasteHistoryImport::stop()
{
    m_stopping = true;
    // A read ends within moments; a merge at its next slice.
    if (m_cancelRead)
        m_cancelRead->store(true);
}

void PasteHistoryImport::startMerge(PasteImporter::Snapshot snapshot)
{
    // Stopped as the read ended: nothing was added.
    if (m_stopping) {
        finish();
        return;
    }
    // Marked on disk while merging: an import cut short is continued by the next.
    m_continuesEarlier = m_defaults.boolValue(keys::pasteImportUnfinished);
    m_defaults.setValue(keys::pasteImportUnfinished, true);
    m_defaults.flush();
    m_merge = std::make_unique<PasteMerge>(m_model->container().mainContext(), m_model->clips(),
                                           m_model->pinboards(), m_model->clock(), std::move(snapshot));
    mergeNextSlice();
}

void PasteHistoryImport::mergeNextSlice()
{
    if (m_stopping) {
        showStopped();
        return;
    }
    QString error;
    if (!m_merge->mergeSlice(sliceMilliseconds, &error)) {
        // This merge was taken back; what an earlier one left is still there.
        m_defaults.setValue(keys::pasteImportUnfinished, m_continuesEarlier);
        m_defaults.flush();
        m_merge.reset();
        showError(ImportError::failed(error));
        return;
    }
    m_progress.update(addingClipsStep(m_merge->mergedClips(), m_merge->clipCount()), m_merge->mergedClips(),
                      m_merge->clipCount());
    if (!m_merge->isFinished()) {
        // Let the app handle input and repaint between slices.
        QTimer::singleShot(0, this, &PasteHistoryImport::mergeNextSlice);
        return;
    }
    PasteImportSummary summary = m_merge->summary();
    summary.continuedEarlier = m_continuesEarlier;
    m_merge.reset();
    m_defaults.remove(keys::pasteImportUnfinished);
    m_defaults.flush();
    m_progress.end();
    m_alerts.runModal({summaryMessage(summary), summaryDetail(summary, m_defaults), {}, -1});
    finish();
}

void PasteHistoryImport::showStopped()
{
    // Every slice so far is saved and the mark stays on disk, so the next
    // import adds the rest, skipping what is here, and says it continued.
    PasteImportSummary summary = m_merge->summary();
    m_merge.reset();
    m_progress.end();
    m_alerts.runModal({QStringLiteral("Import stopped"), stoppedDetail(summary), {}, -1});
    finish();
}

void PasteHistoryImport::showError(const ImportError &error)
{
    using Kind = ImportError::Kind;
    m_progress.end();
    if (error.kind() == Kind::cancelled) {
        finish();
        return;
    }
    AlertSpec spec = AlertSpec::failure(QStringLiteral("Import failed"), error.text());
    if (error.kind() == Kind::notFound || error.kind() == Kind::notInstalled)
        spec.message = QStringLiteral("Paste wasn't found");
    if (error.kind() == Kind::needsFullDiskAccess) {
        spec.message = QStringLiteral("TamoCove needs access to Paste's folder");
        spec.buttons = {QStringLiteral("Show Folder"), QStringLiteral("Cancel")};
    }
    if (m_alerts.runModal(spec) == 0 && spec.buttons.size() == 2)
        m_model->workspace().revealFile(PasteImporter::Locations(m_environment.home).paste7Folder);
    finish();
}

void PasteHistoryImport::finish()
{
    m_progress.end();
    m_running = false;
    emit finished();
}

QString PasteHistoryImport::summaryMessage(const PasteImportSummary &summary)
{
    return QStringLiteral("Imported ") + QLocale().toString(summary.imported) + QStringLiteral(" clips");
}

QString PasteHistoryImport::stoppedDetail(const PasteImportSummary &summary)
{
    return QLocale().toString(summary.imported) +
           (summary.imported == 1 ? QStringLiteral(" clip was") : QStringLiteral(" clips were")) +
           QStringLiteral(" imported before you stopped. Import from Paste again to add the rest; clips already in "
                          "TamoCove are skipped.");
}

QString PasteHistoryImport::summaryDetail(const PasteImportSummary &summary, const Defaults &defaults)
{
    QStringList sentences;
    if (summary.continuedEarlier)
        sentences.append(QStringLiteral("It continued an earlier import that did not finish."));
    sentences.append(counted(summary.pinboardsCreated, QStringLiteral("new pinboard")) + QStringLiteral(" created."));
    if (summary.titles >= 1)
        sentences.append(counted(summary.titles, QStringLiteral("card title")) + QStringLiteral(" brought over."));
    if (summary.alreadyPresent >= 1)
        sentences.append(QLocale().toString(summary.alreadyPresent) + QStringLiteral(" clips were already in TamoCove."));
    if (summary.skipped >= 1)
        sentences.append(QString::number(summary.skipped)
                         + QStringLiteral(" clips had no content TamoCove can show and were skipped."));
    const HistoryCapacity capacity = currentHistoryCapacity(defaults);
    if (capacity != HistoryCapacity::unlimited)
        sentences.append(QStringLiteral("Unpinned clips older than a ") + displayName(capacity).toLower()
                         + QStringLiteral(" are removed by your history capacity setting."));
    return sentences.join(u' ');
}

} // namespace tamo
