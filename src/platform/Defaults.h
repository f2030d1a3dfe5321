#pragma once

#include "platform/DefaultsFile.h"

#include <QByteArray>
#include <QHash>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <optional>

namespace tamo {

class AppPaths;

// The user-defaults store: a persistent domain kept in a JSON file and a
// registration domain of fallbacks that is never saved. A key reads its
// written value, else its registered one. Registered values never count as
// written, so start-up migrations can still tell a fresh key from a kept one.
//
// A written value that does not fit its key (not of the registered value's type,
// or refused by the key's rule) reads as the registered value, whichever
// accessor reads it, so a hand-edited file cannot change behaviour by accident.
//
// Main thread only. Changes reach the file within one turn of the event loop;
// flush() writes at once.
class Defaults : public QObject
{
    Q_OBJECT

public:
    explicit Defaults(const QString &filePath, QObject *parent = nullptr);
    ~Defaults() override;

    static QString standardFilePath(const AppPaths &paths);

    // Tells whether a written value of the registered type is one the key can use.
    using ValueRule = std::function<bool(const QVariant &)>;

    // Merges into the registration domain.
    void registerDefaults(const QVariantMap &defaults);
    void registerDefault(const QString &key, const QVariant &fallback, ValueRule rule = {});
    // Gives a key without a shared fallback the type of `sample` and a rule:
    // a written value that does not fit reads as absent, so that its reader's
    // own fallback applies.
    void registerType(const QString &key, const QVariant &sample, ValueRule rule = {});

    // Written value, else registered value, else an invalid QVariant. Values
    // read as they will after a reopen: whole numbers as qlonglong, other
    // numbers as double, lists as QVariantList.
    QVariant value(const QString &key) const;

    // Typed reads. Missing or unconvertible values read as false, 0, 0.0,
    // nullopt or empty; numbers and bools convert into each other.
    bool boolValue(const QString &key) const;
    qint64 integer(const QString &key) const;
    double doubleValue(const QString &key) const;
    std::optional<QString> string(const QString &key) const;
    QStringList stringList(const QString &key) const;  // empty unless every member is a string
    QVariantMap dictionary(const QString &key) const;
    QByteArray data(const QString &key) const;
    std::optional<QDateTime> date(const QString &key) const;

    // Writes a value to the persistent domain. An invalid QVariant removes the
    // key. Returns false, storing nothing, for a value that has no file form
    // (an unsupported type, a NaN, an invalid date).
    bool setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

    bool hasPersistentValue(const QString &key) const;
    QVariantMap persistentEntries() const { return m_persistent; }

    // Writes pending changes now; false when the file could not be written.
    bool flush();

    // Why the file could not be read at launch, for the user; none when it could.
    std::optional<QString> loadProblem() const { return m_loadProblem; }

signals:
    // The key's effective value changed (written, removed or newly registered).
    void valueChanged(const QString &key);

private:
    void scheduleSave();
    void notifyIfChanged(const QString &key, const QVariant &before);
    bool fitsKey(const QString &key, const QVariant &written) const;
    void registerKey(const QString &key, const QVariant &sample, ValueRule rule, const QVariant &fallback);

    DefaultsFile m_file;
    QVariantMap m_persistent;
    QVariantMap m_registered;
    QVariantMap m_types; // a value of each registered key's type
    QHash<QString, ValueRule> m_rules;
    std::optional<QString> m_loadProblem;
    bool m_dirty = false;
    QTimer m_saveTimer;
};

} // namespace tamo
