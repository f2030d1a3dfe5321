#include "model/SourceAppPublisher.h"

#include "model/ClipItem.h"
#include "model/ModelContext.h"
#include "model/SourceApp.h"
#include "model/SyncState.h"

#include <limits>

namespace tamo {

SourceAppPublisher::SourceAppPublisher(ModelContext &context, const SyncState &sync, AppIconSource *icons)
    : m_context(context), m_sync(sync), m_icons(icons)
{
}

void SourceAppPublisher::publish(const std::optional<QString> &bundleID, const std::optional<QString> &name)
{
    if (!m_sync.isEnabled() || !m_icons || !bundleID || bundleID->isEmpty())
        return;
    const FetchDescriptor existing =
        FetchDescriptor().where(SourceApp::BundleIDColumn, FetchDescriptor::Compare::equal, *bundleID);
    if (m_context.fetchCount<SourceApp>(existing) != 0) // a failed count (-1) publishes nothing either
        return;
    const std::optional<AppIconInfo> icon = m_icons->iconFor(*bundleID);
    if (!icon)
        return;
    m_context.insert(std::make_shared<SourceApp>(*bundleID, name, icon->pngData, icon->tintHex));
}

void SourceAppPublisher::publishAll()
{
    if (!m_sync.isEnabled() || !m_icons)
        return;
    for (const SourceAppCount &app : m_context.sourceAppsByClipCount(std::numeric_limits<int>::max()))
        publish(app.bundleID, app.name.isEmpty() ? std::nullopt : std::optional(app.name));
    m_context.save();
}

} // namespace tamo
