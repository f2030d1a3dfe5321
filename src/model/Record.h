#pragma once

#include <QPointer>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace tamo {

class ModelContext;

// How a field is kept in its table column.
enum class ColumnType { text, blob, integer, boolean, date, uuid, stringList };

struct ColumnSpec
{
    const char *name;
    ColumnType type;
    bool lazy = false; // large bytes, read only when first asked for
    // Text that lists read only the first characters of; 0 reads it whole.
    int previewLength = 0;
};

enum class StoreFile { synced, local };

struct EntitySpec
{
    const char *name; // also the table name
    StoreFile store;
    std::span<const ColumnSpec> columns;
    bool hasRecordID; // synced records carry a sync identity besides their id
};

// Base of the persistent records. A record works on its own (never inserted)
// exactly as when it belongs to a context; once inserted, every field write
// marks it for the next save and tells the context's observers.
class Record : public std::enable_shared_from_this<Record>
{
public:
    virtual ~Record() = default;

    virtual const EntitySpec &entity() const = 0;

    // Deleted and saved, or its context is gone: views drop such records.
    bool isGone() const;
    bool isInserted() const;
    // Its row in the store, which orders records of equal sort keys; 0 until saved.
    qint64 storeKey() const { return m_rowID; }

protected:
    // Row values for the columns of entity(); invalid QVariant = NULL.
    virtual QVariant columnValue(int column) const = 0;
    virtual void setColumnValue(int column, const QVariant &value) = 0;
    // The first previewLength characters of a longer text column.
    virtual void setColumnPreview(int column, const QVariant &prefix) { setColumnValue(column, prefix); }
    // Once saved, the store holds the heavy content: drop it from memory.
    virtual void releaseStoredContent() {}

    void fieldChanged(int column);
    // Reads a lazy column of a stored record; nullopt for NULL or when not stored.
    std::optional<QByteArray> loadLazyColumn(int column) const;

private:
    friend class ModelContext;

    QPointer<ModelContext> m_context;
    qint64 m_rowID = 0;
    uint64_t m_dirty = 0;
    bool m_gone = false;
};

// A large byte column: held in memory once set or read.
class LazyBytes
{
public:
    bool isLoaded() const { return m_loaded; }
    const std::optional<QByteArray> &value() const { return m_value; }
    void set(std::optional<QByteArray> value)
    {
        m_value = std::move(value);
        m_loaded = true;
    }
    void unload()
    {
        m_value.reset();
        m_loaded = false;
    }

private:
    std::optional<QByteArray> m_value;
    bool m_loaded = true; // records made in memory have everything
};

} // namespace tamo
