#include "cards/StoreImageReader.h"

#include "model/ClipItem.h"
#include "model/LocalRecords.h"
#include "model/ModelContainer.h"

#include <QDir>

#include <sqlite3.h>

#include <memory>

namespace tamo {

namespace {

constexpr int busyTimeoutMs = 2000;

struct CloseDatabase
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};

QString storeFileName(StoreFile store)
{
    return QLatin1String(store == StoreFile::synced ? ModelContainer::syncedStoreName
                                                    : ModelContainer::localStoreName);
}

QString columnName(const EntitySpec &entity, int column)
{
    return QLatin1String(entity.columns[column].name);
}

} // namespace

StoreImageReader::StoreImageReader(const QString &storeDirectory, const ClipItem &clip, Picture picture)
    : m_clipID(clip.id())
{
    // Large images are kept apart, keyed by clip id, exactly as the library
    // reads them back.
    const bool apart = picture == Picture::image && clip.imageIsLocalOnly();
    const EntitySpec &entity = apart ? LocalImage::spec() : ClipItem::spec();
    m_storeFile = QDir(storeDirectory).filePath(storeFileName(entity.store));
    m_table = QLatin1String(entity.name);
    if (apart) {
        m_column = columnName(entity, LocalImage::ImageDataColumn);
        m_keyColumn = columnName(entity, LocalImage::ClipIDColumn);
    } else {
        m_column = columnName(entity, picture == Picture::image ? ClipItem::ImageDataColumn
                                                                 : ClipItem::LinkImageDataColumn);
        m_keyColumn = columnName(entity, ClipItem::IdColumn);
    }
}

std::optional<QByteArray> StoreImageReader::read() const
{
    sqlite3 *handle = nullptr;
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
    const int opened = sqlite3_open_v2(m_storeFile.toUtf8().constData(), &handle, flags, nullptr);
    const std::unique_ptr<sqlite3, CloseDatabase> db(handle);
    if (opened != SQLITE_OK)
        return std::nullopt;
    sqlite3_busy_timeout(db.get(), busyTimeoutMs);

    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? LIMIT 1")
                               .arg(m_column, m_table, m_keyColumn)
                               .toUtf8();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK)
        return std::nullopt;
    const std::unique_ptr<sqlite3_stmt, FinalizeStatement> statement(raw);
    // Ids are stored in their text form without braces.
    const QByteArray key = m_clipID.toString(QUuid::WithoutBraces).toUtf8();
    sqlite3_bind_text(statement.get(), 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(statement.get()) != SQLITE_ROW || sqlite3_column_type(statement.get(), 0) == SQLITE_NULL)
        return std::nullopt;
    const auto *data = static_cast<const char *>(sqlite3_column_blob(statement.get(), 0));
    return QByteArray(data, sqlite3_column_bytes(statement.get(), 0));
}

} // namespace tamo
