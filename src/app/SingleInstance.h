#pragma once

#include <QObject>
#include <QStringList>

#include <optional>

class QLocalServer;
class QLocalSocket;

namespace tamo {

// One TamoCove per store: two would capture every copy twice and fight over
// the store files. The claim is a lock on a file beside the store, taken
// before the store opens and held while the process lives, so two launches
// at once cannot both win. The owner listens on a channel in the user's
// private runtime folder, named after the store folder, where a later launch
// hands over its files.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &storeDirectory, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Nothing when this process now owns the store. Otherwise another process
    // does, or may: the files were handed to it (possibly none, a reopen), one
    // line says so on stderr, and the status this launch should exit with is
    // returned: 0 when the running instance took the request, 1 when it
    // could not be reached or the claim could not be made at all (problem()
    // then says why). `lockWaitMs`: how long a store held by a copy that was
    // just told to quit may take to be let go.
    std::optional<int> claimOrHandOver(const QStringList &files, int lockWaitMs = 0);

    // Why this launch could not tell whether another one owns the store, for
    // the user; empty when it could.
    QString problem() const { return m_problem; }

    // Where channels live: $XDG_RUNTIME_DIR, else a folder of ours in the temp
    // folder; either must be a folder only this user can enter. Empty when
    // there is none: the app then runs without a channel.
    static QString channelFolder();

signals:
    // Another launch happened; files are those it was given (possibly none).
    void activated(const QStringList &files);

private:
    enum class Lock { taken, heldElsewhere, unavailable };
    Lock lockStore(int waitMs);
    void listen();
    bool handOver(const QStringList &files);
    void readMessage(QLocalSocket *socket);

    QString m_storeDirectory;
    QString m_channel;
    QString m_problem;
    int m_lockFile = -1;
    QLocalServer *m_server = nullptr;
};

} // namespace tamo
