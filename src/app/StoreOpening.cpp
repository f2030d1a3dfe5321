#include "app/StoreOpening.h"

#include "model/ModelContainer.h"
#include "model/StoreRescue.h"
#include "platform/Alerts.h"

#include <QSet>

#include <cstdio>

namespace tamo {

namespace {

enum { startFreshButton = 0 };

bool userWantsAFreshStore(Alerts &alerts, const QString &file)
{
    const AlertSpec spec{
        QStringLiteral("TamoCove cannot read its history"),
        QStringLiteral("The file “%1” is damaged. TamoCove can move it aside, keeping it as it is, and start a "
                       "fresh history with every clip that can still be read from it.")
            .arg(file),
        {QStringLiteral("Move Aside and Start Fresh"), QStringLiteral("Quit")},
    };
    return alerts.runModal(spec) == startFreshButton;
}

} // namespace

std::unique_ptr<AppModel> openAppModel(const PlatformServices &services, const QString &storeDirectory,
                                       const AppExtensions &extensions)
{
    QSet<QString> rescued;  // each file is offered once; a second failure is final
    for (;;) {
        try {
            return std::make_unique<AppModel>(services, storeDirectory, extensions);
        } catch (const StoreOpenError &error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.message()));
            const bool offer = error.cause() == StoreOpenError::Cause::damaged && !rescued.contains(error.file());
            if (!offer) {
                services.alerts->runModal({QStringLiteral("TamoCove cannot open its history"), error.message(), {}});
                return nullptr;
            }
            if (!userWantsAFreshStore(*services.alerts, error.file()))
                return nullptr;
            rescued.insert(error.file());
            const auto result = StoreRescue::moveAsideAndStartFresh(error.file());
            if (!result) {
                services.alerts->runModal({QStringLiteral("TamoCove cannot move its damaged history aside"),
                                           QStringLiteral("Move or delete “%1” yourself, then open TamoCove again.")
                                               .arg(error.file()),
                                           {}});
                return nullptr;
            }
            std::fprintf(stderr, "TamoCove: moved the damaged store to %s and recovered %d records from it\n",
                         qPrintable(result->movedTo), result->rowsRecovered);
        }
    }
}

} // namespace tamo
