#pragma once

#include "transfer/ImportPlan.h"

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

    bool operator==(const ImportResult &) const = default;
};

// Applies chosen import plans to the store in one pass with one save.
class ImportApply
{
public:
    ImportApply(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards, AppIcons &icons,
                Workspace &workspace, const Clock &clock);

    // `matchFile` gives landing pinboards the file's name and colour, moves
    // clips from other pinboards and unpins what the file lacks. On a failed
    // save nothing of the pass stays pending and `error` says why.
    std::optional<ImportResult> apply(const QList<ImportPlan> &plans, const QList<PinboardArchive::App> &apps,
                                      bool matchFile, QString *error);

private:
    void applyMerge(ClipItem &clip, const PinboardArchive::Clip &file);
    QUuid freshID(const std::optional<QUuid> &wanted);
    void addSourceApps(const QList<PinboardArchive::App> &apps, const QSet<QString> &used);

    ModelContext &m_context;
    ClipLibrary &m_clips;
    Pinboards &m_pinboards;
    AppIcons &m_icons;
    Workspace &m_workspace;
    const Clock &m_clock;
    QHash<QUuid, QDateTime> m_editDates;
    QSet<QString> m_usedClipIDs;
};

} // namespace tamo
