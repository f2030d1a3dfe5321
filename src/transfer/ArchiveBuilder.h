#pragma once

#include "model/Pinboard.h"
#include "transfer/PinboardArchive.h"

#include <QHash>

namespace tamo {

class AppIcons;
class ClipItem;
class ClipLibrary;
class Clock;
class ModelContext;
class SourceApp;

// Makes the pinboard file's document of chosen pinboards from the store.
class ArchiveBuilder
{
public:
    ArchiveBuilder(ModelContext &context, ClipLibrary &clips, AppIcons &icons, const Clock &clock);

    // The pinboards in the given order, each with its clips newest pin first,
    // and one app entry per source app met.
    PinboardArchive build(const QList<PinboardPtr> &pinboards);

private:
    PinboardArchive::Clip makeClip(const ClipItem &clip);
    void collectApp(const ClipItem &clip);

    ModelContext &m_context;
    ClipLibrary &m_clips;
    AppIcons &m_icons;
    const Clock &m_clock;
    QHash<QString, std::shared_ptr<SourceApp>> m_sourceApps;
    QHash<QUuid, QDateTime> m_editDates;
    QMap<QString, PinboardArchive::App> m_apps; // sorted by bundle id
};

} // namespace tamo
