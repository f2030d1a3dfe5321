#pragma once

#include <QString>
#include <QVariant>

#include <functional>

namespace tamo {

// A small key-value store that sync shares between the user's machines, for
// settings that should follow the user (the history capacity).
class CloudKeyValueStore
{
public:
    virtual ~CloudKeyValueStore() = default;

    virtual void setValue(const QString &key, const QVariant &value) = 0;
    // An invalid QVariant when the key holds nothing.
    virtual QVariant value(const QString &key) const = 0;
    // Brings in what the user's other machines wrote; `whenDone` runs on this
    // thread once it has.
    virtual void synchronize(std::function<void()> whenDone = {})
    {
        if (whenDone)
            whenDone();
    }
};

// Used while sync is off: keeps nothing.
class NullKeyValueStore final : public CloudKeyValueStore
{
public:
    void setValue(const QString &, const QVariant &) override {}
    QVariant value(const QString &) const override { return {}; }
};

} // namespace tamo
