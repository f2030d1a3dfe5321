#include "transfer/PinboardExport.h"

#include "app/AppModel.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "platform/Alerts.h"
#include "transfer/ArchiveBuilder.h"
#include "transfer/DurableFile.h"
#include "transfer/PinboardPicker.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent>

namespace tamo {

bool PinboardExport::run()
{
    AppModel &model = m_services.model;
    model.drawer().hide(false);
    ModelContext &context = model.container().mainContext();

    const QList<PinboardPtr> pinboards = model.pinboards().orderedPinboards();
    if (pinboards.isEmpty()) {
        m_services.alerts.runModal({QStringLiteral("No pinboards to export"),
                                    QStringLiteral("Create a pinboard and pin some clips to it first."), {}, -1});
        return false;
    }
    PickerRequest request{
        QStringLiteral("Export Pinboards"),
        QStringLiteral("Choose the pinboards to save in a .tamocove file. Each one is saved with its clips, their "
                       "titles and keywords, and the icons of the apps they came from. Your other clipboard history "
                       "isn't included."),
        QStringLiteral("Export…"), {}, std::nullopt};
    QList<QUuid> ids;
    for (const PinboardPtr &pinboard : pinboards) {
        const int clips = context.fetchCount<ClipItem>(
            FetchDescriptor().where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::equal, pinboard->id()));
        request.rows.append({pinboard->name(), pinboard->colorIndex(), counted(std::max(clips, 0), QStringLiteral("clip"))});
        ids.append(pinboard->id());
    }
    const PickerAnswer answer = m_services.picker.run(request);
    if (!answer.indices || answer.indices->isEmpty())
        return false;
    const QString proposedName =
        answer.indices->size() == 1 ? request.rows[answer.indices->first()].name : QStringLiteral("TamoCove Pinboards");
    const auto path = m_services.panels.chooseSaveFile(pinboardFileType(), proposedName);
    if (!path)
        return false;

    // The dialogs let capture, sync and the other panels run: pinboards
    // deleted meanwhile are left out.
    QList<PinboardPtr> chosen;
    const QList<PinboardPtr> current = model.pinboards().orderedPinboards();
    for (int index : *answer.indices) {
        for (const PinboardPtr &pinboard : current) {
            if (pinboard->id() == ids[index])
                chosen.append(pinboard);
        }
    }
    const PinboardArchive archive = ArchiveBuilder(context, model.clips(), model.icons(), m_services.clock).build(chosen);
    if (const QString error = writeArchiveInBackground(*path, archive); !error.isEmpty()) {
        showErrorAlert(m_services.alerts, QStringLiteral("Export failed"), error);
        return false;
    }
    model.drawer().showToast(QStringLiteral("Exported ") + counted(archive.pinboards.size(), QStringLiteral("pinboard")) +
                                 QStringLiteral(", ") + counted(archive.clipCount(), QStringLiteral("clip")),
                             QStringLiteral("square.and.arrow.up.circle.fill"));
    return true;
}

QString writeArchiveInBackground(const QString &path, const PinboardArchive &archive)
{
    QEventLoop loop;
    QFutureWatcher<QString> writing;
    QObject::connect(&writing, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    writing.setFuture(QtConcurrent::run([path, archive] {
        const QByteArray bytes = archive.encode();
        // Import reads no larger file.
        if (bytes.size() > PinboardArchive::maxFileBytes)
            return QStringLiteral("These pinboards come to more than %1 GB, more than a pinboard file holds. Export "
                                  "fewer of them at a time.")
                .arg(PinboardArchive::maxFileBytes / 1'000'000'000);
        return writeFileDurably(path, bytes);
    }));
    if (!writing.isFinished())
        loop.exec();
    // A quit ends every event loop at once; the file is still finished first.
    writing.waitForFinished();
    return writing.result();
}

} // namespace tamo
