#include "app/StoreOpening.h"

#include "model/ModelContainer.h"
#include "model/StoreRescue.h"
#include "platform/Alerts.h"
#include "platform/Relauncher.h"
#include "platform/RegularFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtConcurrent>

namespace tamo {

namespace {

enum { startFreshButton = 0 };

// Names the store file the user agreed to move aside, for the next launch.
const char *const rescueMarkerName = "Tamo.store.rescue";

bool userWantsAFreshStore(Alerts &alerts, const QString &file)
{
    const AlertSpec spec{
        QStringLiteral("TamoCove cannot read its history"),
        QStringLiteral("The file “%1” is damaged. TamoCove can move it aside, keeping it as it is, and start a "
                       "fresh history with every clip that can still be read from it.")
            .arg(file),
        {QStringLiteral("Move Aside and Start Fresh"), QStringLiteral("Quit")},
        -1,
        AlertSpec::Style::warning,
    };
    return alerts.runModal(spec) == startFreshButton;
}

void printRescue(const StoreRescue::Result &result)
{
    qWarning().noquote() << QStringLiteral("TamoCove: moved the damaged store to %1 and recovered %2 records from it")
                             .arg(result.movedTo, QString::number(result.rowsRecovered));
}

// Moves aside the file the user agreed to part with while the app last ran.
// The marker holds only a file name, and only a store's name is taken. A
// marker that is no file is refused as a store file would be.
void rescueMarkedStore(const QString &storeDirectory)
{
    const QString marker = QDir(storeDirectory).filePath(QLatin1String(rescueMarkerName));
    ModelContainer::refuseUnlessRegular(marker);
    const FileContents contents = readRegularFile(marker, 256);
    if (contents.refusal == FileRefusal::missing)
        return;
    QFile::remove(marker);
    const QString name = QString::fromUtf8(contents.bytes).trimmed();
    if (name != QLatin1String(ModelContainer::syncedStoreName) && name != QLatin1String(ModelContainer::localStoreName))
        return;
    if (const auto result = StoreRescue::moveAsideAndStartFresh(QDir(storeDirectory).filePath(name)))
        printRescue(*result);
}

std::unique_ptr<AppModel> refuse(Alerts &alerts, const StoreOpenError &error)
{
    alerts.runModal(AlertSpec::failure(QStringLiteral("TamoCove cannot open its history"), error.message()));
    return nullptr;
}

} // namespace

std::unique_ptr<AppModel> openAppModel(const PlatformServices &services, const QString &storeDirectory,
                                       const AppExtensions &extensions)
{
    try {
        rescueMarkedStore(storeDirectory);
    } catch (const StoreOpenError &error) {
        qWarning().noquote() << error.message();
        return refuse(*services.alerts, error);
    }
    QSet<QString> rescued;  // each file is offered once; a second failure is final
    for (;;) {
        try {
            return std::make_unique<AppModel>(services, storeDirectory, extensions);
        } catch (const StoreOpenError &error) {
            qWarning().noquote() << error.message();
            const bool offer = error.cause() == StoreOpenError::Cause::damaged && !rescued.contains(error.file());
            if (!offer)
                return refuse(*services.alerts, error);
            if (!userWantsAFreshStore(*services.alerts, error.file()))
                return nullptr;
            rescued.insert(error.file());
            const auto result = StoreRescue::moveAsideAndStartFresh(error.file());
            if (!result) {
                services.alerts->runModal(
                    AlertSpec::failure(QStringLiteral("TamoCove cannot move its damaged history aside"),
                                       QStringLiteral("Move or delete “%1” yourself, then open TamoCove again.")
                                           .arg(error.file())));
                return nullptr;
            }
            printRescue(*result);
        }
    }
}

StoreVerifier::StoreVerifier(QString storeDirectory, Alerts &alerts, Relauncher &relauncher, QObject *parent)
    : QObject(parent)
    , m_storeDirectory(std::move(storeDirectory))
    , m_alerts(alerts)
    , m_relauncher(relauncher)
{
    connect(&m_read, &QFutureWatcherBase::finished, this, [this] {
        if (const auto damage = m_read.result())
            offerRescue(*damage);
    });
}

StoreVerifier::~StoreVerifier()
{
    m_cancelled = true;
    m_read.waitForFinished();
}

void StoreVerifier::start()
{
    m_read.setFuture(QtConcurrent::run([directory = m_storeDirectory, cancelled = &m_cancelled] {
        return ModelContainer::verify(directory, *cancelled);
    }));
}

void StoreVerifier::offerRescue(const StoreOpenError &damage)
{
    qWarning().noquote() << damage.message();
    if (!userWantsAFreshStore(m_alerts, damage.file())) {
        emit quitRequested();
        return;
    }
    QFile marker(QDir(m_storeDirectory).filePath(QLatin1String(rescueMarkerName)));
    const bool marked = marker.open(QIODevice::WriteOnly | QIODevice::Truncate)
                        && marker.write(QFileInfo(damage.file()).fileName().toUtf8()) > 0 && marker.flush();
    marker.close();
    if (!marked || !m_relauncher.relaunch()) {
        marker.remove();
        m_alerts.runModal(AlertSpec::failure(
            QStringLiteral("TamoCove cannot move its damaged history aside"),
            QStringLiteral("Quit TamoCove, move or delete “%1” yourself, then open TamoCove again.").arg(damage.file())));
    }
}

} // namespace tamo
