#include "transfer/PinboardImport.h"

#include "app/AppModel.h"
#include "model/ModelContainer.h"
#include "model/SettingsKeys.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "transfer/ImportProgress.h"
#include "transfer/JsonStream.h"
#include "transfer/PasteImport.h"
#include "transfer/PinboardPicker.h"
#include "transfer/SpooledPinboardFile.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLocale>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace tamo {

namespace {

// A file's pinboards, or why it could not be read; neither when cancelled.
struct ReadFile
{
    std::shared_ptr<SpooledPinboardFile> file;
    QString failure;
};

ReadFile readFile(const QString &path, const QString &spoolFolder, const std::shared_ptr<std::atomic<bool>> &cancelled,
                  const std::shared_ptr<std::atomic<qint64>> &bytesRead)
{
    try {
        return {SpooledPinboardFile::read(path, spoolFolder, *cancelled, *bytesRead), {}};
    } catch (const ArchiveError &error) {
        return {nullptr, error.text()};
    } catch (const ReadCancelled &) {
        return {};
    }
}

// Runs parts of an import from the event loop, input and all, under the
// progress window: each part until it is done, the user stops it, or the
// app quits.
class ImportLoop
{
public:
    enum class Outcome { done, stopped, failed, quitting };

    ImportLoop(ImportProgress &progress, const QString &title) : m_progress(progress)
    {
        progress.begin(title, [this] {
            m_stopped = true;
            m_loop.quit();
        });
    }
    ~ImportLoop() { m_progress.end(); }

    // Waits for `watcher`'s work, calling `poll` now and then.
    Outcome waitFor(QFutureWatcherBase &watcher, const std::function<void()> &poll)
    {
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, poll);
        ticks.start(100);
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &m_loop, &QEventLoop::quit);
        if (!watcher.isFinished() && !m_stopped)
            m_loop.exec();
        return watcher.isFinished() ? Outcome::done : outcome();
    }

    // Calls `slice`, a short piece of work each time, from every turn of
    // the event loop until it returns true; an ArchiveError it throws ends
    // the part as failed, with failure() saying why.
    Outcome runSlices(const std::function<bool()> &slice)
    {
        bool done = false;
        QTimer turns;
        QObject::connect(&turns, &QTimer::timeout, [&] {
            try {
                done = slice();
            } catch (const ArchiveError &error) {
                m_failure = error.text();
            }
            if (done || !m_failure.isEmpty())
                m_loop.quit();
        });
        turns.start(0);
        if (!m_stopped)
            m_loop.exec();
        return done ? Outcome::done : !m_failure.isEmpty() ? Outcome::failed : outcome();
    }

    ImportProgress &progress() { return m_progress; }
    QString failure() const { return m_failure; }
    bool stopRequested() const { return m_stopped; }

private:
    Outcome outcome() const { return m_stopped ? Outcome::stopped : Outcome::quitting; }

    ImportProgress &m_progress;
    QEventLoop m_loop;
    bool m_stopped = false;
    QString m_failure;
};

} // namespace

// What reading and comparing a file with the store came to.
struct PinboardImport::Planned
{
    ImportLoop::Outcome outcome;
    std::shared_ptr<SpooledPinboardFile> file;
    QList<ImportPlan> plans;
    QString failure;
};

PinboardImport::Planned PinboardImport::readAndPlan(const QString &path, const QString &title)
{
    using Outcome = ImportLoop::Outcome;
    AppModel &model = m_services.model;
    ImportLoop loop(m_services.progress, title);
    // A handed-over file may be anything, and may be large: it is read on a
    // worker thread while the event loop goes on.
    const auto cancelled = std::make_shared<std::atomic<bool>>(false);
    const auto bytesRead = std::make_shared<std::atomic<qint64>>(0);
    const qint64 size = QFileInfo(path).size();
    QFutureWatcher<ReadFile> watcher;
    watcher.setFuture(QtConcurrent::run(readFile, path, model.container().storeDirectory(), cancelled, bytesRead));
    const Outcome read = loop.waitFor(watcher, [&] {
        loop.progress().update(QStringLiteral("Reading the file…"), bytesRead->load(), size);
    });
    if (read != Outcome::done) {
        cancelled->store(true);
        return {read, nullptr, {}, {}};
    }
    const ReadFile result = watcher.result();
    if (!result.file)
        return {Outcome::failed, nullptr, {}, result.failure};

    ImportPlanner planner(model.container().mainContext(), model.clips(), model.pinboards(), *result.file);
    const Outcome planned = loop.runSlices([&] {
        const bool done = planner.planSome(QDeadlineTimer(PasteHistoryImport::sliceMilliseconds));
        loop.progress().update(QStringLiteral("Comparing with your clips…"), planner.plannedClips(),
                               result.file->clipCount());
        return done;
    });
    // A stop asked for during the last slice still comes before the choice.
    if (planned != Outcome::done || loop.stopRequested())
        return {loop.stopRequested() ? Outcome::stopped : planned, nullptr, {}, loop.failure()};
    return {Outcome::done, result.file, planner.takePlans(), {}};
}

bool PinboardImport::run(const QString &path)
{
    using Outcome = ImportLoop::Outcome;
    AppModel &model = m_services.model;
    Alerts &alerts = m_services.alerts;
    model.drawer().hide(false);
    if (refusedWhileImporting(m_services.progress, alerts))
        return true;
    const QString fileName = QFileInfo(path).fileName();
    const QString title = QStringLiteral("Importing “") + fileName + QStringLiteral("”");

    Planned planned = readAndPlan(path, title);
    switch (planned.outcome) {
    case Outcome::quitting:
        return false;
    case Outcome::stopped:
        return true;
    case Outcome::failed:
        showErrorAlert(alerts, QStringLiteral("Couldn't open “") + fileName + QStringLiteral("”"), planned.failure);
        return true;
    case Outcome::done:
        break;
    }
    SpooledPinboardFile &file = *planned.file;
    const QList<ImportPlan> &plans = planned.plans;
    if (plans.isEmpty()) {
        showErrorAlert(alerts, QStringLiteral("Nothing to import"), ArchiveError::notPinboards().text());
        return true;
    }

    const QString key = fileKey(file.exportedAt());
    QVariantMap remembered = importedFiles();
    if (std::none_of(plans.cbegin(), plans.cend(), [](const ImportPlan &plan) { return plan.hasWork(); })) {
        QString detail = QStringLiteral("Everything in “") + fileName + QStringLiteral("” is already in TamoCove.");
        if (remembered.contains(key)) {
            const QDateTime when = remembered.value(key).toDateTime().toLocalTime();
            const QLocale locale;
            detail += QStringLiteral(" You imported this file on ") +
                      locale.toString(when.date(), QStringLiteral("MMM d, yyyy")) + QStringLiteral(" at ") +
                      locale.toString(when.time(), QLocale::ShortFormat) + u'.';
        }
        alerts.runModal({QStringLiteral("Nothing new to import"), detail, {}, -1});
        return true;
    }

    PickerRequest request{
        QStringLiteral("Import Pinboards"),
        QStringLiteral("Choose the pinboards to import from “") + fileName +
            QStringLiteral("”. Their clips come with their titles, keywords and app icons. Clips you already have "
                           "aren't added twice; a title or keywords changed more recently in the file are updated."),
        QStringLiteral("Import"), {}, std::nullopt};
    for (const ImportPlan &plan : plans)
        request.rows.append({plan.board.name, paletteIndexNamed(plan.board.color), plan.summary()});
    if (std::any_of(plans.cbegin(), plans.cend(), [](const ImportPlan &plan) { return plan.existing.has_value(); }))
        request.optionTitle = QStringLiteral("Match the file: its order, name and color, and unpin clips it doesn't have");
    const PickerAnswer answer = m_services.picker.run(request);
    if (!answer.indices || answer.indices->isEmpty())
        return true;
    QList<ImportPlan> chosen;
    for (int index : *answer.indices)
        chosen.append(plans[index]);
    planned.plans.clear();

    if (answer.option) {
        QSet<QUuid> unpinning;
        for (const ImportPlan &plan : chosen)
            unpinning.unite(QSet<QUuid>(plan.removable.cbegin(), plan.removable.cend()));
        const qsizetype removable = unpinning.size();
        if (removable > 0) {
            const int button = alerts.runModal(
                {QStringLiteral("Unpin ") + counted(removable, QStringLiteral("clip")) + u'?',
                 (removable == 1 ? QStringLiteral("It isn't") : QStringLiteral("They aren't")) + QStringLiteral(" in “") +
                     fileName + QStringLiteral("”. Unpinned clips stay in your clipboard history."),
                 {QStringLiteral("Unpin and Import"), QStringLiteral("Cancel")}, -1});
            if (button != 0)
                return true;
        }
    }

    ImportApply apply(model.container().mainContext(), model.clips(), model.pinboards(), model.icons(),
                      model.workspace(), m_services.clock, file, std::move(chosen), answer.option);
    QString error;
    bool saveFailed = false;
    Outcome applied;
    {
        ImportLoop loop(m_services.progress, title);
        applied = loop.runSlices([&] {
            saveFailed = !apply.applySlice(PasteHistoryImport::sliceMilliseconds, &error);
            loop.progress().update(addingClipsStep(apply.appliedClips(), apply.clipCount()), apply.appliedClips(),
                                   apply.clipCount());
            return saveFailed || apply.isFinished();
        });
        if (applied == Outcome::failed)
            error = loop.failure();
    }
    if (saveFailed)
        applied = Outcome::failed;
    switch (applied) {
    case Outcome::quitting:
        return false;
    case Outcome::failed:
        // What earlier slices saved stays, as after a stop.
        if (apply.result() != ImportResult())
            error += QStringLiteral(" Before that: ") + resultDetail(apply.result());
        showErrorAlert(alerts, QStringLiteral("Import failed"), error);
        return true;
    case Outcome::stopped:
        alerts.runModal({QStringLiteral("Import stopped"),
                         resultDetail(apply.result()) + QStringLiteral(" Import “") + fileName +
                             QStringLiteral("” again to add the rest."),
                         {}, -1});
        return true;
    case Outcome::done:
        break;
    }
    remembered.insert(key, m_services.clock.now());
    m_services.defaults.setValue(keys::importedPinboardFiles, remembered);
    alerts.runModal({resultMessage(apply.result().pinboards), resultDetail(apply.result()), {}, -1});
    return true;
}

QString PinboardImport::resultMessage(int pinboards)
{
    return QStringLiteral("Imported ") + counted(pinboards, QStringLiteral("pinboard"));
}

QString PinboardImport::resultDetail(const ImportResult &result)
{
    QStringList parts{counted(result.added, QStringLiteral("clip")) + QStringLiteral(" added")};
    auto add = [&parts](int count, const QString &text) {
        if (count > 0)
            parts.append(QString::number(count) + text);
    };
    add(result.repinned, QStringLiteral(" pinned from your history"));
    add(result.updated, QStringLiteral(" updated"));
    add(result.moved, QStringLiteral(" moved from another pinboard"));
    add(result.unpinned, QStringLiteral(" unpinned"));
    if (result.newPinboards > 0)
        parts.append(counted(result.newPinboards, QStringLiteral("new pinboard")));
    add(result.alreadyThere, QStringLiteral(" already there"));
    QString detail = parts.join(QStringLiteral(", ")) + u'.';
    if (result.stayed > 0) {
        detail += u' ' + QString::number(result.stayed) +
                  (result.stayed == 1 ? QStringLiteral(" clip was") : QStringLiteral(" clips were")) +
                  QStringLiteral(" already pinned to another pinboard and stayed there.");
    }
    return detail;
}

QString PinboardImport::fileKey(const QDateTime &exportedAt)
{
    return exportedAt.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QVariantMap PinboardImport::importedFiles() const
{
    const QVariant stored = m_services.defaults.value(keys::importedPinboardFiles);
    if (stored.typeId() != QMetaType::QVariantMap)
        return {};
    const QVariantMap files = stored.toMap();
    const bool allDates = std::all_of(files.cbegin(), files.cend(),
                                      [](const QVariant &value) { return value.typeId() == QMetaType::QDateTime; });
    return allDates ? files : QVariantMap();
}

} // namespace tamo
