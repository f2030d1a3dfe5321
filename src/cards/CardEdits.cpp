#include "cards/CardEdits.h"

#include "app/AppModel.h"
#include "cards/PreviewEdits.h"
#include "model/ClipLibrary.h"
#include "model/Emoji.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "platform/Clock.h"

namespace tamo {

CardEdits::CardEdits(AppModel *model, const Clock &clock)
    : m_model(model)
    , m_clock(clock)
{
}

bool CardEdits::rename(ClipItem &clip, const QString &typed)
{
    PreviewEdits edits;
    edits.title = typed;
    if (!applyPreviewEdits(clip, edits))
        return false;
    record(clip);
    return true;
}

bool CardEdits::setIcon(ClipItem &clip, const std::optional<QString> &emoji)
{
    if (emoji && !isSingleEmoji(*emoji))
        return false;
    if (clip.iconEmoji() == emoji)
        return false;
    clip.setIconEmoji(emoji);
    record(clip);
    return true;
}

void CardEdits::record(ClipItem &clip)
{
    if (!m_model || !clip.isInserted())
        return;
    m_model->clips().recordEdit(clip, m_clock.now());
    // A failed save keeps the change pending for the next one.
    m_model->container().mainContext().save();
}

} // namespace tamo
