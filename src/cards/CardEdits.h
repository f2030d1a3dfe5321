#pragma once

#include <QString>

#include <optional>

namespace tamo {

class AppModel;
class ClipItem;
class Clock;

// The edits made on a card itself: its title and its emoji icon. A clip in
// the store gets its edit date (metadata merges by it) and is saved at once;
// a clip outside any store (a sample) only changes in memory.
class CardEdits
{
public:
    CardEdits(AppModel *model, const Clock &clock);

    // The typed title, trimmed; nothing left clears it. True when it changed.
    bool rename(ClipItem &clip, const QString &typed);

    // Sets (or with nothing, removes) the clip's icon. Only a single emoji is
    // taken; false for anything else and when nothing changed.
    bool setIcon(ClipItem &clip, const std::optional<QString> &emoji);

private:
    void record(ClipItem &clip);

    AppModel *m_model;
    const Clock &m_clock;
};

} // namespace tamo
