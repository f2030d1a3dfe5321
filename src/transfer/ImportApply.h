#pragma once

#include "transfer/ImportPlan.h"
#include "transfer/SliceSize.h"

#include <QByteArrayView>
#include <QString>

namespace tamo {

class AppIcons;
class ClipItem;
class Clock;
class Workspace;

struct ImportResult
{
    int newPinboards = 0;
    int added = 0;
    int updated = 0;
    int alreadyThere = 0;
    int stayed = 0;
    int moved = 0;
    int unpinned = 0;
    int repinned = 0;   // clips of the history pinned again, none added
    int pinboards = 0;  // pinboards made or changed

    bool operator==(const ImportResult &) const = default;
};

// Applies chosen import plans to the store a slice at a time, each slice
// saved, so the app goes on between them. Stopped or failed between slices,
// the store holds whole clips, each pinned where the file puts it, and
// importing the file again adds the rest without doubling any.
class ImportApply
{
public:
    // `matchFile` gives landing pinboards the file's name and colour, moves
    // clips from other pinboards and unpins what the file lacks.
    ImportApply(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards, AppIcons &icons,
                Workspace &workspace, const Clock &clock, SpooledPinboardFile &file, QList<ImportPlan> plans,
                bool matchFile);

    // Applies a slice of clips and saves it, each slice sized to take about
    // `milliseconds` with its save. On a failed save nothing of the slice
    // stays pending and `error` says why.
    bool applySlice(int milliseconds, QString *error);
    bool isFinished() const { return m_plan == m_plans.size() && m_appsAdded; }
    // The clips the plans bring, and how many of them were applied.
    qsizetype clipCount() const { return m_clipCount; }
    qsizetype appliedClips() const { return m_appliedClips; }
    // What the saved slices did.
    const ImportResult &result() const { return m_saved; }

private:
    enum class Step { landing, newClips, repinned, updated, unchanged, elsewhere, unpinning };

    void applyNext();
    void nextStep();
    void land(const ImportPlan &plan);
    void addClip(qsizetype index);
    // The clip of `match` still in the store, and what the file has for it.
    std::optional<std::pair<ClipItemPtr, PinboardArchive::Clip>> matched(const ImportPlan::Match &match);
    void unpin(const QUuid &id);
    // Counts the current plan's pinboard as changed, once.
    void changed();
    PinboardArchive::Clip fileClip(qsizetype index);
    QDateTime pinDate(const PinboardArchive::Clip &file) const { return file.pinnedAt.value_or(m_now); }
    void applyMerge(ClipItem &clip, const PinboardArchive::Clip &file);
    QUuid freshID(const std::optional<QUuid> &wanted);
    void addSourceApps();

    ModelContext &m_context;
    ClipLibrary &m_clips;
    Pinboards &m_pinboards;
    AppIcons &m_icons;
    Workspace &m_workspace;
    SpooledPinboardFile &m_file;
    const QList<ImportPlan> m_plans;
    const bool m_matchFile;
    const QDateTime m_now;
    QList<PinboardPtr> m_working;
    QHash<QUuid, QDateTime> m_editDates;
    QSet<QUuid> m_usedClipIDs;
    QSet<QByteArrayView> m_createdContent; // content keys, viewing the file's
    QSet<QString> m_usedBundleIDs;
    qsizetype m_plan = 0;
    Step m_step = Step::landing;
    qsizetype m_item = 0;
    QUuid m_target; // the pinboard the current plan lands on
    bool m_targetChanged = false;
    bool m_appsAdded = false;
    qsizetype m_clipCount = 0;
    qsizetype m_appliedClips = 0;
    ImportResult m_result;
    ImportResult m_saved;
    SliceSize m_sliceSize;
};

} // namespace tamo
