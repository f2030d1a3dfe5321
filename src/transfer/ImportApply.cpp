#include "transfer/ImportApply.h"

#include "app/AppIcons.h"
#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "model/SourceApp.h"
#include "platform/Clock.h"
#include "platform/Workspace.h"
#include "transfer/SpooledPinboardFile.h"
#include "transfer/TransferServices.h"

#include <QElapsedTimer>

#include <utility>

namespace tamo {

ImportApply::ImportApply(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards, AppIcons &icons,
                         Workspace &workspace, const Clock &clock, SpooledPinboardFile &file, QList<ImportPlan> plans,
                         bool matchFile)
    : m_context(context), m_clips(clips), m_pinboards(pinboards), m_icons(icons), m_workspace(workspace),
      m_file(file), m_plans(std::move(plans)), m_matchFile(matchFile), m_now(clock.now()),
      m_working(pinboards.orderedPinboards()), m_editDates(clips.editDatesByClip())
{
    // Only the ids of the whole history are needed, and only the clips the
    // plans name: a large history is not read record by record.
    for (const QString &id : storedValues(m_context, ClipItem::IdColumn))
        m_usedClipIDs.insert(QUuid::fromString(id));
    for (const ImportPlan &plan : m_plans)
        m_clipCount += plan.clipCount();
}

bool ImportApply::applySlice(int milliseconds, QString *error)
{
    QElapsedTimer timer;
    timer.start();
    // A slice ends early after a large clip or two.
    for (int applied = 0; applied < m_sliceSize.items() && m_plan < m_plans.size() && timer.elapsed() < milliseconds;
         ++applied)
        applyNext();
    if (m_plan == m_plans.size() && !m_appsAdded) {
        addSourceApps();
        m_appsAdded = true;
    }
    if (!m_context.save()) {
        if (error)
            *error = m_context.lastError();
        m_context.discardChanges();
        return false;
    }
    m_saved = m_result;
    m_sliceSize.took(timer.elapsed(), milliseconds);
    return true;
}

void ImportApply::applyNext()
{
    const ImportPlan &plan = m_plans[m_plan];
    const qsizetype item = m_item++;
    const auto each = [&](const QList<ImportPlan::Match> &matches, auto &&action) {
        if (item >= matches.size())
            return false;
        ++m_appliedClips;
        if (auto found = matched(matches[item]))
            action(*found->first, found->second);
        return true;
    };
    bool more = true;
    switch (m_step) {
    case Step::landing:
        land(plan);
        more = false;
        break;
    case Step::newClips:
        more = item < plan.newClips.size();
        if (more)
            addClip(plan.newClips[item]);
        break;
    case Step::repinned:
        more = each(plan.repinned, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            clip.setPin(m_target, pinDate(file));
            applyMerge(clip, file);
            ++m_result.repinned;
            changed();
        });
        break;
    case Step::updated:
        more = each(plan.updated, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            applyMerge(clip, file);
            if (m_matchFile && file.pinnedAt)
                clip.setPin(clip.pinboardID(), file.pinnedAt);
            ++m_result.updated;
            changed();
        });
        break;
    case Step::unchanged:
        more = each(plan.unchanged, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            if (m_matchFile && file.pinnedAt && file.pinnedAt != clip.pinnedAt()) {
                clip.setPin(clip.pinboardID(), file.pinnedAt); // the file's order
                changed();
            }
            ++m_result.alreadyThere;
        });
        break;
    case Step::elsewhere:
        more = each(plan.elsewhere, [&](ClipItem &clip, const PinboardArchive::Clip &file) {
            if (!m_matchFile) {
                ++m_result.stayed;
                return;
            }
            clip.setPin(m_target, pinDate(file));
            applyMerge(clip, file);
            ++m_result.moved;
            changed();
        });
        break;
    case Step::unpinning:
        more = m_matchFile && item < plan.removable.size();
        if (more)
            unpin(plan.removable[item]);
        break;
    }
    if (!more)
        nextStep();
}

void ImportApply::nextStep()
{
    m_item = 0;
    if (m_step != Step::unpinning) {
        m_step = Step(int(m_step) + 1);
        return;
    }
    m_step = Step::landing;
    ++m_plan;
}

void ImportApply::changed()
{
    if (!std::exchange(m_targetChanged, true))
        ++m_result.pinboards;
}

void ImportApply::land(const ImportPlan &plan)
{
    m_targetChanged = false;
    // The landing pinboard may have been deleted while the dialogs were open.
    const QList<PinboardPtr> landing = plan.existing ? m_pinboards.pinboardWithID(*plan.existing) : QList<PinboardPtr>();
    if (!landing.isEmpty()) {
        m_target = *plan.existing;
        if (m_matchFile) {
            const int color = paletteIndexNamed(plan.board.color);
            for (const PinboardPtr &pinboard : landing) {
                if (pinboard->name() == plan.board.name && pinboard->colorIndex() == color)
                    continue;
                pinboard->setName(plan.board.name);
                pinboard->setColorIndex(color);
                changed();
            }
        }
        return;
    }
    const bool idFree = plan.board.id && std::none_of(m_working.cbegin(), m_working.cend(), [&](const PinboardPtr &p) {
        return p->id() == *plan.board.id;
    });
    const int order = m_working.isEmpty() ? 0 : m_working.last()->order() + 1;
    auto pinboard = std::make_shared<Pinboard>(plan.board.name, paletteIndexNamed(plan.board.color), order,
                                               idFree ? *plan.board.id : QUuid::createUuid());
    m_context.insert(pinboard);
    m_working.append(pinboard);
    m_target = pinboard->id();
    ++m_result.newPinboards;
    changed();
}

void ImportApply::addClip(qsizetype index)
{
    ++m_appliedClips;
    const PinboardArchive::Clip file = fileClip(index);
    const QByteArrayView content = m_file.contentKey(index);
    if (m_createdContent.contains(content)) {
        ++m_result.stayed;
        return;
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
    draft.contentHash = m_file.contentHash(index); // taken while reading
    const ClipItemPtr clip = m_clips.makeClip(draft, freshID(file.id));
    clip->setCreatedAt(file.createdAt);
    clip->setPin(m_target, pinDate(file));
    applyMerge(*clip, file);
    m_createdContent.insert(content);
    ++m_result.added;
    changed();
}

std::optional<std::pair<ClipItemPtr, PinboardArchive::Clip>> ImportApply::matched(const ImportPlan::Match &match)
{
    PinboardArchive::Clip file = fileClip(match.clip);
    const ClipItemPtr clip = firstClipWhere(m_context, ClipItem::IdColumn, match.item);
    if (!clip || clip->isGone())
        return std::nullopt;
    return std::pair(clip, std::move(file));
}

void ImportApply::unpin(const QUuid &id)
{
    // Two pinboards of the file landing on one list the same clips.
    const ClipItemPtr clip = firstClipWhere(m_context, ClipItem::IdColumn, id);
    if (clip && !clip->isGone() && clip->pinboardID() == m_target) {
        clip->setPin(std::nullopt, std::nullopt);
        ++m_result.unpinned;
        changed();
    }
}

PinboardArchive::Clip ImportApply::fileClip(qsizetype index)
{
    PinboardArchive::Clip clip = m_file.clip(index);
    if (clip.sourceBundleID)
        m_usedBundleIDs.insert(*clip.sourceBundleID);
    return clip;
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
    QUuid id = wanted && !wanted->isNull() && !m_usedClipIDs.contains(*wanted) ? *wanted : QUuid::createUuid();
    m_usedClipIDs.insert(id);
    return id;
}

void ImportApply::addSourceApps()
{
    QSet<QString> known;
    for (const auto &app : m_context.fetch<SourceApp>())
        known.insert(app->bundleID());
    for (const auto &app : m_context.pendingInserts<SourceApp>())
        known.insert(app->bundleID());
    for (const PinboardArchive::App &app : m_file.apps()) {
        if (!m_usedBundleIDs.contains(app.bundleID) || isCompanionPhoneApp(app.bundleID))
            continue;
        if (!known.contains(app.bundleID) && !m_workspace.isInstalled(app.bundleID)) {
            m_context.insert(std::make_shared<SourceApp>(app.bundleID, app.name, app.icon, app.tint));
            known.insert(app.bundleID);
        }
        m_icons.seedAppIconCache(app.bundleID, app.icon, app.tint);
    }
}

} // namespace tamo
