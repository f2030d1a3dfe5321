#include "model/LocalRecords.h"

#include <array>

namespace tamo {

namespace {
constexpr std::array<ColumnSpec, LocalImage::ColumnCount> localImageColumns{{
    {"clipID", ColumnType::uuid},
    {"imageData", ColumnType::blob},
}};
constexpr std::array<ColumnSpec, ClipEdit::ColumnCount> clipEditColumns{{
    {"clipID", ColumnType::uuid},
    {"editedAt", ColumnType::date},
}};
} // namespace

const EntitySpec &LocalImage::spec()
{
    static const EntitySpec entity{"LocalImage", StoreFile::local, localImageColumns, false};
    return entity;
}

LocalImage::LocalImage(const QUuid &clipID, const QByteArray &imageData)
    : m_clipID(clipID), m_imageData(imageData)
{
}

void LocalImage::setClipID(const QUuid &clipID)
{
    if (m_clipID == clipID)
        return;
    m_clipID = clipID;
    fieldChanged(ClipIDColumn);
}

QVariant LocalImage::columnValue(int column) const
{
    return column == ClipIDColumn ? QVariant(m_clipID) : QVariant(m_imageData);
}

void LocalImage::setColumnValue(int column, const QVariant &value)
{
    if (column == ClipIDColumn)
        m_clipID = value.toUuid();
    else
        m_imageData = value.toByteArray();
}

const EntitySpec &ClipEdit::spec()
{
    static const EntitySpec entity{"ClipEdit", StoreFile::local, clipEditColumns, false};
    return entity;
}

ClipEdit::ClipEdit(const QUuid &clipID, const QDateTime &editedAt)
    : m_clipID(clipID), m_editedAt(editedAt)
{
}

void ClipEdit::setClipID(const QUuid &clipID)
{
    if (m_clipID == clipID)
        return;
    m_clipID = clipID;
    fieldChanged(ClipIDColumn);
}

void ClipEdit::setEditedAt(const QDateTime &date)
{
    if (m_editedAt == date)
        return;
    m_editedAt = date;
    fieldChanged(EditedAtColumn);
}

QVariant ClipEdit::columnValue(int column) const
{
    return column == ClipIDColumn ? QVariant(m_clipID) : QVariant(m_editedAt);
}

void ClipEdit::setColumnValue(int column, const QVariant &value)
{
    if (column == ClipIDColumn)
        m_clipID = value.toUuid();
    else
        m_editedAt = value.toDateTime();
}

} // namespace tamo
