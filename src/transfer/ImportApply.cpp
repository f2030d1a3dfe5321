#include "transfer/ImportApply.h"

#include "app/AppIcons.h"
#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "model/SourceApp.h"
#include "platform/Clock.h"
#include "platform/Workspace.h"
#include "transfer/TransferServices.h"

namespace tamo {

ImportApply::ImportApply(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards, AppIcons &icons,
                         Workspace &workspace, const Clock &clock)
    : m_context(context), m_clips(clips), m_pinboards(pinboards), m_icons(icons), m_workspace(workspace), m_clock(clock)
{
}

std::optional<ImportResult> ImportApply::apply(const QList<ImportPlan> &plans, const QList<PinboardArchive::App> &apps,
                                               bool matchFile, QString *error)
{
    QList<PinboardPtr> working = m_pinboards.orderedPinboards();
    m_editDates = m_clips.editDatesByClip();
    // Only the ids of the whole history are needed, and only the clips the
    // plans name: a large history is not read record by record.
    m_usedClipIDs = storedValues(m_context, ClipItem::IdColumn);
    const auto clipWithID = [this](const QUuid &id) { return firstClipWhere(m_context, ClipItem::IdColumn, id); };
    QSet<QString> createdHashes;
    QSet<QString> usedBundleIDs;
    ImportResult result;
    const QDateTime now = m_clock.now();
    auto pinDate = [&now](const PinboardArchive::Clip &file) { return file.pinnedAt.value_or(now); };

    for (const ImportPlan &plan : plans) {
        // The landing pinboard may have been deleted while the dialogs were open.
        const QList<PinboardPtr> landing = plan.existing ? m_pinboards.pinboardWithID(*plan.existing) : QList<PinboardPtr>();
        QUuid target;
        if (!landing.isEmpty()) {
            target = *plan.existing;
            if (matchFile) {
                for (const PinboardPtr &pinboard : landing) {
                    pinboard->setName(plan.board.name);
                    pinboard->setColorIndex(paletteIndexNamed(plan.board.color));
                }
            }
        } else {
            const bool idFree = plan.board.id && std::none_of(working.cbegin(), working.cend(), [&](const PinboardPtr &p) {
                return p->id() == *plan.board.id;
            });
            const int order = working.isEmpty() ? 0 : working.last()->order() + 1;
            auto pinboard = std::make_shared<Pinboard>(plan.board.name, paletteIndexNamed(plan.board.color), order,
                                                       idFree ? *plan.board.id : QUuid::createUuid());
            m_context.insert(pinboard);
            working.append(pinboard);
            target = pinboard->id();
            ++result.newPinboards;
        }
        for (const PinboardArchive::Clip &clip : plan.board.clips) {
            if (clip.sourceBundleID)
                usedBundleIDs.insert(*clip.sourceBundleID);
        }

        for (const auto &[file, hash] : plan.newClips) {
            if (createdHashes.contains(hash)) {
                ++result.stayed;
                continue;
            }
            ClipDraft draft;
            draft.kind = clipKindFromRaw(file.kind).value_or(ClipKind::text);
            draft.text = file.text;
            draft.rtfData = file.rtf;
            draft.imageData = file.image;
            draft.imageWidth = file.imageWidth.value_or(0);
            draft.imageHeight = file.imageHeight.value_or(0);
            draft.filePaths = file.filePaths.value_or(QStringList());
            draft.sourceBundleID = file.sourceBundleID;
            draft.sourceAppName = file.sourceAppName;
            const ClipItemPtr clip = m_clips.makeClip(draft, freshID(file.id));
            clip->setCreatedAt(file.createdAt);
            clip->setPin(target, pinDate(file));
            applyMerge(*clip, file);
            createdHashes.insert(hash);
            ++result.added;
        }
        auto each = [&clipWithID](const QList<ImportPlan::Match> &matches, auto &&action) {
            for (const ImportPlan::Match &match : matches) {
                if (const ClipItemPtr clip = clipWithID(match.item); clip && !clip->isGone())
                    action(*clip, match.clip);
            }
        };
        each(plan.repinned, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            clip.setPin(target, pinDate(file));
            applyMerge(clip, file);
            ++result.added;
        });
        each(plan.updated, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            applyMerge(clip, file);
            if (matchFile && file.pinnedAt)
                clip.setPin(clip.pinboardID(), file.pinnedAt);
            ++result.updated;
        });
        each(plan.unchanged, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            if (matchFile && file.pinnedAt && file.pinnedAt != clip.pinnedAt())
                clip.setPin(clip.pinboardID(), file.pinnedAt);
            ++result.alreadyThere;
        });
        each(plan.elsewhere, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            if (!matchFile) {
                ++result.stayed;
                return;
            }
            clip.setPin(target, pinDate(file));
            applyMerge(clip, file);
            ++result.moved;
        });
        if (matchFile) {
            for (const QUuid &id : plan.removable) {
                // Two pinboards of the file landing on one list the same clips.
                if (const ClipItemPtr clip = clipWithID(id); clip && !clip->isGone() && clip->pinboardID() == target) {
                    clip->setPin(std::nullopt, std::nullopt);
                    ++result.unpinned;
                }
            }
        }
    }
    addSourceApps(apps, usedBundleIDs);

    if (!m_context.save()) {
        if (error)
            *error = m_context.lastError();
        m_context.discardChanges();
        return std::nullopt;
    }
    return result;
}

void ImportApply::applyMerge(ClipItem &clip, const PinboardArchive::Clip &file)
{
    const auto edited = m_editDates.constFind(clip.id());
    const MergedMetadata merged =
        mergedMetadata(clip, file, edited == m_editDates.cend() ? std::nullopt : std::optional(*edited));
    if (merged.title != clip.title())
        clip.setTitle(merged.title);
    if (merged.keywords != clip.keywords())
        clip.setKeywords(merged.keywords);
    if (merged.emoji != clip.iconEmoji())
        clip.setIconEmoji(merged.emoji);
    if (merged.fileWon && file.editedAt)
        m_clips.recordEdit(clip, *file.editedAt);
}

// A malformed file may repeat an id, or give one the store already uses for
// other content; such clips get an id of their own.
QUuid ImportApply::freshID(const std::optional<QUuid> &wanted)
{
    QUuid id = wanted && !wanted->isNull() && !m_usedClipIDs.contains(wanted->toString()) ? *wanted : QUuid::createUuid();
    m_usedClipIDs.insert(id.toString());
    return id;
}

void ImportApply::addSourceApps(const QList<PinboardArchive::App> &apps, const QSet<QString> &used)
{
    QSet<QString> known;
    for (const auto &app : m_context.fetch<SourceApp>())
        known.insert(app->bundleID());
    for (const auto &app : m_context.pendingInserts<SourceApp>())
        known.insert(app->bundleID());
    for (const PinboardArchive::App &app : apps) {
        if (!used.contains(app.bundleID) || isCompanionPhoneApp(app.bundleID))
            continue;
        if (!known.contains(app.bundleID) && !m_workspace.isInstalled(app.bundleID)) {
            m_context.insert(std::make_shared<SourceApp>(app.bundleID, app.name, app.icon, app.tint));
            known.insert(app.bundleID);
        }
        m_icons.seedAppIconCache(app.bundleID, app.icon, app.tint);
    }
}

} // namespace tamo
