#include "transfer/PinboardImport.h"

#include "app/AppModel.h"
#include "model/ModelContainer.h"
#include "model/SettingsKeys.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/RegularFile.h"
#include "transfer/PinboardPicker.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <QLocale>

#include <algorithm>

namespace tamo {

namespace {

QString readFailure(const FileContents &file)
{
    switch (file.refusal) {
    case FileRefusal::notRegular:
        return QStringLiteral("It is not a regular file.");
    case FileRefusal::tooLarge:
        return QStringLiteral("The file is larger than %1 MB.").arg(PinboardArchive::maxFileBytes / (1024 * 1024));
    default:
        return file.error;
    }
}

// A file's pinboards, or why it could not be opened.
struct ReadArchive
{
    std::optional<PinboardArchive> archive;
    QString failure;
};

ReadArchive readArchive(const QString &path)
{
    const FileContents file = readRegularFile(path, PinboardArchive::maxFileBytes, FileLinks::follow);
    if (!file.ok())
        return {std::nullopt, readFailure(file)};
    try {
        return {PinboardArchive::decode(file.bytes), {}};
    } catch (const ArchiveError &error) {
        return {std::nullopt, error.text()};
    }
}

// A handed-over file may be anything, and may be large: it is read and
// decoded on a worker thread while the event loop goes on; nothing when
// the app quits first.
std::optional<ReadArchive> readWhileEventsRun(const QString &path)
{
    QFutureWatcher<ReadArchive> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(readArchive, path));
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!watcher.isFinished())
        return std::nullopt;
    return watcher.result();
}

} // namespace

void PinboardImport::run(const QString &path)
{
    AppModel &model = m_services.model;
    Alerts &alerts = m_services.alerts;
    model.drawer().hide(false);
    const QString fileName = QFileInfo(path).fileName();
    const QString couldNotOpen = QStringLiteral("Couldn't open “") + fileName + QStringLiteral("”");

    std::optional<ReadArchive> read = readWhileEventsRun(path);
    if (!read)
        return; // the app quits
    if (!read->archive) {
        showErrorAlert(alerts, couldNotOpen, read->failure);
        return;
    }
    const PinboardArchive archive = std::move(*read->archive);
    read.reset();
    if (archive.pinboards.isEmpty()) {
        showErrorAlert(alerts, QStringLiteral("Nothing to import"), ArchiveError::notPinboards().text());
        return;
    }

    const QString key = fileKey(archive.exportedAt);
    QVariantMap remembered = importedFiles();
    ModelContext &context = model.container().mainContext();
    const QList<ImportPlan> plans = ImportPlanner(context, model.clips(), model.pinboards()).makePlans(archive.pinboards);
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
        return;
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
        return;
    QList<ImportPlan> chosen;
    for (int index : *answer.indices)
        chosen.append(plans[index]);

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
                return;
        }
    }

    QString saveError;
    const auto result = ImportApply(context, model.clips(), model.pinboards(), model.icons(), model.workspace(),
                                    m_services.clock)
                            .apply(chosen, archive.apps, answer.option, &saveError);
    if (!result) {
        showErrorAlert(alerts, QStringLiteral("Import failed"), saveError);
        return;
    }
    remembered.insert(key, m_services.clock.now());
    m_services.defaults.setValue(keys::importedPinboardFiles, remembered);
    alerts.runModal({resultMessage(int(chosen.size())), resultDetail(*result), {}, -1});
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
