#include "transfer/ContentHashRepair.h"

#include "model/ClipKind.h"
#include "model/ContentHash.h"
#include "model/Sqlite.h"
#include "transfer/Segment.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <utility>

namespace tamo {

namespace {

// The fields the hash covers, where the image is, and the hash itself.
constexpr std::array<QLatin1StringView, 6> contentFields{
    QLatin1StringView("kindRaw"),   QLatin1StringView("text"),          QLatin1StringView("imageData"),
    QLatin1StringView("filePaths"), QLatin1StringView("imageIsLocalOnly"), QLatin1StringView("contentHash")};

QStringList filePathsFrom(const QString &json)
{
    QStringList paths;
    for (const QJsonValue &path : QJsonDocument::fromJson(json.toUtf8()).array())
        paths.append(path.toString());
    return paths;
}

} // namespace

ContentHashRepair::ContentHashRepair(sql::Database &db)
    : m_db(db)
{
}

bool ContentHashRepair::touchesContent(const SyncChange &change)
{
    if (change.entity != QLatin1String("ClipItem"))
        return false;
    const auto touches = [&change](QLatin1StringView field) {
        return change.fields.contains(field) || change.blobs.contains(field);
    };
    return std::any_of(contentFields.begin(), contentFields.end(), touches);
}

int ContentHashRepair::repairNoted()
{
    struct Repair
    {
        qint64 rowKey;
        QString stored;
        QString hash;
    };
    QList<Repair> repairs;
    for (const qint64 rowKey : std::exchange(m_noted, {})) {
        auto row = m_db.cached(QStringLiteral("SELECT kindRaw, text, imageData, filePaths, imageIsLocalOnly, contentHash "
                                              "FROM main.ClipItem WHERE pk = ?"));
        row->bindInt64(1, rowKey);
        if (!row->step() || row->int64(4) != 0)
            continue;
        const std::optional<QString> text = row->isNull(1) ? std::nullopt : std::optional(row->text(1));
        const QString hash = makeContentHash(clipKindFromRaw(row->text(0)).value_or(ClipKind::text), text,
                                             row->blobInPlace(2), filePathsFrom(row->text(3)));
        if (hash != row->text(5))
            repairs.append({rowKey, row->text(5), hash});
    }
    if (repairs.isEmpty())
        return 0;
    int repaired = 0;
    sql::Transaction transaction(m_db);
    for (const Repair &repair : repairs) {
        auto update = m_db.cached(
            QStringLiteral("UPDATE main.ClipItem SET contentHash = ? WHERE pk = ? AND contentHash = ?"));
        update->bindText(1, repair.hash);
        update->bindInt64(2, repair.rowKey);
        update->bindText(3, repair.stored);
        update->run();
        repaired += m_db.changes();
    }
    transaction.commit();
    return repaired;
}

} // namespace tamo
