#pragma once

#include "app/AppModel.h"
#include "model/ModelContainer.h"

#include <QFutureWatcher>
#include <QObject>

#include <atomic>
#include <memory>
#include <optional>

namespace tamo {

class Alerts;
class Relauncher;

// Opens the app model over its stores. A damaged store file is named to the
// user, who may have it moved aside and replaced by a fresh store holding what
// could still be read from it. Any other failure, or a refusal, is shown to
// the user and gives nullptr; the files are then left as they were. A file
// the user agreed to move aside while the app ran is moved aside first.
std::unique_ptr<AppModel> openAppModel(const PlatformServices &services, const QString &storeDirectory,
                                       const AppExtensions &extensions);

// Reads every page of the store files while the app runs, on a thread of its
// own: opening reads only what refuses a file at once, so a long history does
// not hold up the launch. Damage found now gets the offer opening makes; taken
// up, the app relaunches and moves the file aside before it opens the stores.
class StoreVerifier final : public QObject
{
    Q_OBJECT
public:
    StoreVerifier(QString storeDirectory, Alerts &alerts, Relauncher &relauncher, QObject *parent = nullptr);
    // Stops a read under way and waits for it.
    ~StoreVerifier() override;

    void start();

signals:
    // The user chose to quit rather than start afresh.
    void quitRequested();

private:
    void offerRescue(const StoreOpenError &damage);

    QString m_storeDirectory;
    Alerts &m_alerts;
    Relauncher &m_relauncher;
    std::atomic<bool> m_cancelled = false;
    QFutureWatcher<std::optional<StoreOpenError>> m_read;
};

} // namespace tamo
