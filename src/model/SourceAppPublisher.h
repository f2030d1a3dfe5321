#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tamo {

class ModelContext;
class SyncState;

struct AppIconInfo
{
    QByteArray pngData;
    QString tintHex; // "#RRGGBB"
};

// Looks up an installed app's icon and accent colour.
class AppIconSource
{
public:
    virtual ~AppIconSource() = default;
    virtual std::optional<AppIconInfo> iconFor(const QString &bundleID) = 0;
};

// Records the apps clips came from as SourceApp records, so machines that
// sync the history can show icons of apps they don't have. Only while sync
// is on, and only for apps installed here (there is no icon otherwise).
class SourceAppPublisher
{
public:
    SourceAppPublisher(ModelContext &context, const SyncState &sync, AppIconSource *icons);

    // Inserts a record unless one for the bundle id exists; does not save.
    void publish(const std::optional<QString> &bundleID, const std::optional<QString> &name);
    // Publishes every app that clips in the store came from; saves.
    void publishAll();

private:
    ModelContext &m_context;
    const SyncState &m_sync;
    AppIconSource *m_icons;
};

} // namespace tamo
