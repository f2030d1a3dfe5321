#pragma once

#include "model/ClipItem.h"

#include <QDateTime>
#include <QStringList>

namespace tamo {

class ClipLibrary;
class Clock;
class Defaults;
class ModelContext;

// The welcome pinboard of a first launch, and the thanks card added once
// later when the seeding did not bring it. Each step runs once per user: its
// flag is set before the work, so a step that fails is not repeated.
class WelcomeClips
{
public:
    struct Link
    {
        QString title;
        QString url;
        QStringList keywords;
    };
    // The thanks card first; the pinboard shows them in this order.
    static const QList<Link> &links();
    static inline const QString pinboardName = QStringLiteral("TamoCove");
    static constexpr int pinboardColorIndex = 6;

    WelcomeClips(ModelContext &context, ClipLibrary &clips, Defaults &defaults, const Clock &clock);

    // On an empty history (no pinboard, no clip older than this launch), the
    // welcome pinboard with its links.
    void seedIfNeeded(const QDateTime &startTime);
    // The thanks card, pinned to a welcome pinboard of any of the product's
    // names when there is one; a copy of the link already kept is pinned
    // instead of adding a second.
    void addThanksCardIfNeeded();

private:
    ClipItemPtr makeClip(const Link &link);

    ModelContext &m_context;
    ClipLibrary &m_clips;
    Defaults &m_defaults;
    const Clock &m_clock;
};

} // namespace tamo
