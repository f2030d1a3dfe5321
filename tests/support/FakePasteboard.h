#pragma once

#include "platform/Pasteboard.h"
#include "platform/PasteboardItems.h"

#include <QCoreApplication>

#include <algorithm>

namespace tamo::testing {

// Contents in memory, as they were when taken.
class ItemContents final : public PasteboardContents
{
public:
    explicit ItemContents(PasteboardItem item) : m_item(std::move(item)) {}

    QStringList types() override { return m_item.keys(); }
    std::optional<QByteArray> data(const QString &type) override
    {
        return m_item.contains(type) ? std::optional(m_item.value(type)) : std::nullopt;
    }

private:
    const PasteboardItem m_item;
};

// A pasteboard in memory. copy() stands for another app's copy; writeItems()
// is ours and is remembered in writes().
class FakePasteboard final : public Pasteboard
{
public:
    int changeCount() const override { return m_changeCount; }
    std::shared_ptr<PasteboardContents> contents() const override { return std::make_shared<ItemContents>(m_item); }
    std::optional<qint64> ownerProcessID() const override { return m_owner; }
    QList<PasteboardChange> changesSince(int changeCount) override
    {
        QList<PasteboardChange> changes;
        std::copy_if(m_changes.cbegin(), m_changes.cend(), std::back_inserter(changes),
                     [&](const PasteboardChange &change) { return change.changeCount > changeCount; });
        return changes;
    }
    void setReadAhead(std::function<void(PasteboardContents &)>) override {}

    std::optional<int> writeItems(const QList<PasteboardItem> &items) override
    {
        const PasteboardItem item = mergedPasteboardItem(items);
        if (refusesWrites || item.isEmpty())
            return std::nullopt;
        m_writes.append(items);
        copy(item, QCoreApplication::applicationPid());
        return m_changeCount;
    }

    void copy(const PasteboardItem &item, std::optional<qint64> owner = std::nullopt)
    {
        m_item = item;
        m_owner = owner;
        ++m_changeCount;
        m_changes.append({m_changeCount, contents(), owner});
        emit changed();
    }

    const QList<QList<PasteboardItem>> &writes() const { return m_writes; }

    bool refusesWrites = false; // as when another client keeps the selection

private:
    PasteboardItem m_item;
    std::optional<qint64> m_owner;
    int m_changeCount = 0;
    QList<PasteboardChange> m_changes;
    QList<QList<PasteboardItem>> m_writes;
};

} // namespace tamo::testing
