#pragma once

#include "model/ClipDraft.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QMutex>
#include <QObject>
#include <QUuid>
#include <QWaitCondition>

#include <deque>

class QThread;

namespace tamo {

class ModelContainer;

// A waiting copy once it is in the store.
struct SavedCopy
{
    qint64 storeKey;
    QUuid clipID;
    bool isNew; // else it moved a clip of the same content to its date
    ClipDraft draft; // without its content, which the store now holds
};

// Copies that found the store's write lock held elsewhere (a backup tool, the
// sqlite3 shell, our own sync export) wait here, in copy order, and a thread
// of their own writes them through a connection of its own as soon as the
// lock is free: the main thread never waits for it, however many copies
// wait, and never writes their content. At most memoryBudget bytes of them
// are held in memory; the others wait in private files in the store's
// folder, where whatever is left at quit waits for the next start.
class WaitingCopies : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype memoryBudget = 64 * 1024 * 1024;
    static constexpr const char *folderName = "Waiting copies";

    // Copies left in the folder by an earlier run wait again at once.
    explicit WaitingCopies(ModelContainer &container, QObject *parent = nullptr);
    ~WaitingCopies() override;

    // The copy takes the history's date `copiedAt`, whenever it is written.
    void add(ClipDraft draft, const QDateTime &copiedAt);
    bool isEmpty() const;
    // The bytes of content the waiting copies hold in memory.
    qsizetype bytesInMemory() const;

    // Lets the writer go on until `deadline`, then keeps every copy left in
    // a file for the next start and stops; returns how many were left.
    qsizetype finish(QDeadlineTimer deadline);

signals:
    // On the thread the object lives in, in copy order.
    void saved(const tamo::SavedCopy &copy);

private:
    struct Copy
    {
        std::optional<ClipDraft> draft; // none once kept in `file`
        QString file;
        QDateTime copiedAt;
        qsizetype bytes = 0;
        bool beingKept = false; // its file is being written
    };

    void write();
    // The next copy, read back from its file where it waits in one; none
    // when stopped, or when its file is unreadable (then it is dropped).
    std::optional<std::pair<ClipDraft, QDateTime>> next();
    bool saveFront(const ClipDraft &draft, const QDateTime &copiedAt);
    void done();
    // Moves the newest copies held in memory into files until the rest fit
    // the budget; the front one, being written, stays.
    void keepOverBudgetInFiles(QMutexLocker<QMutex> &locker);
    QString keepInFile(const ClipDraft &draft, const QDateTime &copiedAt);
    void waitUnlessStopped(int milliseconds);

    ModelContainer &m_container;
    QString m_folder;
    QThread *m_thread = nullptr;
    mutable QMutex m_lock;
    QWaitCondition m_changed;
    std::deque<Copy> m_copies; // references stay valid as both ends change
    qsizetype m_inMemory = 0;
    quint64 m_fileNumber = 0;
    bool m_stop = false;
};

} // namespace tamo

Q_DECLARE_METATYPE(tamo::SavedCopy)
