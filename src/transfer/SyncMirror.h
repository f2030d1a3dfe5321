#pragma once

#include <QDateTime>
#include <QObject>
#include <QUuid>

#include <functional>
#include <optional>

namespace tamo {

// One run of the mirror: connecting (setup), bringing in other machines'
// changes (import) or sending this one's (export).
struct CloudEvent
{
    enum class Type { setup, import, export_ };

    QUuid id;
    Type type = Type::setup;
    QDateTime started;
    std::optional<QDateTime> ended; // none while it runs
    bool succeeded = false;
    QString error; // the failure's text; may be empty
    QString notice; // what the user should know beside success or failure
};

enum class AccountStatus { available, noAccount, restricted, couldNotDetermine, temporarilyUnavailable };

// What copies the synced store to the user's other machines, as sync's
// state sees it: events, the account behind it, and its shared settings.
class SyncMirror : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts watching and emits a setup event and then an import event.
    virtual void start() = 0;
    // Exports what was saved and imports what arrived, now.
    virtual void syncNow() = 0;
    // Answers later, on this thread; nullopt when the question itself failed.
    virtual void queryAccount(std::function<void(std::optional<AccountStatus>)> answer) = 0;

signals:
    void progressed(const tamo::CloudEvent &event);
    void accountChanged();
    void keyValuesChangedExternally();
};

} // namespace tamo
