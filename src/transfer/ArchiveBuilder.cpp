#include "transfer/ArchiveBuilder.h"

#include "app/AppIcons.h"
#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ModelContext.h"
#include "model/SourceApp.h"
#include "platform/Clock.h"
#include "transfer/TransferServices.h"

namespace tamo {

ArchiveBuilder::ArchiveBuilder(ModelContext &context, ClipLibrary &clips, AppIcons &icons, const Clock &clock)
    : m_context(context), m_clips(clips), m_icons(icons), m_clock(clock)
{
}

PinboardArchive ArchiveBuilder::build(const QList<PinboardPtr> &pinboards)
{
    m_sourceApps.clear();
    for (const auto &app : m_context.fetch<SourceApp>()) {
        if (!m_sourceApps.contains(app->bundleID()))
            m_sourceApps.insert(app->bundleID(), app);
    }
    m_editDates = m_clips.editDatesByClip();
    m_apps.clear();

    PinboardArchive archive;
    archive.exportedAt = m_clock.now();
    for (const PinboardPtr &pinboard : pinboards) {
        PinboardArchive::Board board{pinboard->name(), PinboardArchive::paletteName(pinboard->colorIndex()), {},
                                     pinboard->id()};
        const auto clips = m_context.fetch<ClipItem>(
            FetchDescriptor()
                .where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::equal, pinboard->id())
                .sorted(ClipItem::PinnedAtColumn, false));
        for (const ClipItemPtr &clip : clips)
            board.clips.append(makeClip(*clip));
        archive.pinboards.append(board);
    }
    archive.apps = m_apps.values();
    return archive;
}

PinboardArchive::Clip ArchiveBuilder::makeClip(const ClipItem &clip)
{
    collectApp(clip);
    PinboardArchive::Clip entry;
    entry.kind = clip.kindRaw();
    entry.title = clip.title();
    entry.text = clip.text();
    entry.keywords = clip.keywords();
    entry.rtf = clip.rtfData();
    if (clip.kind() == ClipKind::image) {
        entry.image = m_clips.storedImageData(clip);
        entry.imageWidth = clip.imageWidth();
        entry.imageHeight = clip.imageHeight();
    }
    if (!clip.filePaths().isEmpty())
        entry.filePaths = clip.filePaths();
    entry.sourceBundleID = clip.sourceBundleID();
    entry.sourceAppName = clip.sourceAppName();
    entry.createdAt = clip.createdAt();
    entry.pinnedAt = clip.pinnedAt();
    entry.iconEmoji = clip.iconEmoji();
    entry.id = clip.id();
    if (const auto edited = m_editDates.constFind(clip.id()); edited != m_editDates.cend())
        entry.editedAt = *edited;
    return entry;
}

void ArchiveBuilder::collectApp(const ClipItem &clip)
{
    if (!clip.sourceBundleID())
        return;
    const QString bundleID = *clip.sourceBundleID();
    if (isCompanionPhoneApp(bundleID) || m_apps.contains(bundleID))
        return;
    const auto stored = m_sourceApps.value(bundleID);
    PinboardArchive::App app{bundleID, clip.sourceAppName(), std::nullopt, QString()};
    if (!app.name && stored)
        app.name = stored->name();
    if (const auto installed = m_icons.iconFor(bundleID)) {
        app.icon = installed->pngData;
        app.tint = installed->tintHex;
    } else if (stored) {
        app.icon = stored->iconData();
        app.tint = stored->tintHex();
    } else {
        app.tint = m_icons.appAccentHex(bundleID);
    }
    m_apps.insert(bundleID, app);
}

} // namespace tamo
