#pragma once

#include "model/Record.h"

#include <QByteArray>
#include <QDateTime>
#include <QUuid>

#include <memory>

namespace tamo {

// An image too large to sync, kept only on this machine, keyed by clip id.
class LocalImage final : public Record
{
public:
    enum Column { ClipIDColumn, ImageDataColumn, ColumnCount };

    LocalImage(const QUuid &clipID, const QByteArray &imageData);

    static const EntitySpec &spec();
    const EntitySpec &entity() const override { return spec(); }

    QUuid clipID() const { return m_clipID; }
    void setClipID(const QUuid &clipID);
    QByteArray imageData() const { return m_imageData; }

private:
    friend class ModelContext;
    LocalImage() = default;

    QVariant columnValue(int column) const override;
    void setColumnValue(int column, const QVariant &value) override;

    QUuid m_clipID;
    QByteArray m_imageData;
};

// When a clip was last edited on this machine, keyed by clip id.
class ClipEdit final : public Record
{
public:
    enum Column { ClipIDColumn, EditedAtColumn, ColumnCount };

    ClipEdit(const QUuid &clipID, const QDateTime &editedAt);

    static const EntitySpec &spec();
    const EntitySpec &entity() const override { return spec(); }

    QUuid clipID() const { return m_clipID; }
    void setClipID(const QUuid &clipID);
    QDateTime editedAt() const { return m_editedAt; }
    void setEditedAt(const QDateTime &date);

private:
    friend class ModelContext;
    ClipEdit() = default;

    QVariant columnValue(int column) const override;
    void setColumnValue(int column, const QVariant &value) override;

    QUuid m_clipID;
    QDateTime m_editedAt;
};

using LocalImagePtr = std::shared_ptr<LocalImage>;
using ClipEditPtr = std::shared_ptr<ClipEdit>;

} // namespace tamo
