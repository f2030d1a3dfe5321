#include "model/ClipSearch.h"

#include "model/ClipItem.h"
#include "model/FetchDescriptor.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Sqlite.h"

#include <QDebug>
#include <QDir>

namespace tamo {

namespace {

struct Outcome
{
    QList<QUuid> ids;
    int pages = 0;
};

FetchDescriptor scopeOf(const ClipSearch::Query &query)
{
    if (query.pinboardID.isNull())
        return FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(query.historyLimit);
    return FetchDescriptor()
        .where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::equal, query.pinboardID)
        .sorted(ClipItem::PinnedAtColumn, false);
}

Outcome search(const QString &storeFile, const ClipSearch::Query &query, const std::atomic_bool &cancelled)
{
    Outcome outcome;
    sql::Database db;
    try {
        db.openReadOnly(storeFile);
        db.exec(QStringLiteral("PRAGMA busy_timeout = 2000"));
    } catch (const sql::Error &error) {
        qWarning().noquote() << QStringLiteral("TamoCove: could not search the store: %1").arg(error.message());
        return outcome;
    }
    ModelContext context(db, {});
    context.fetchInPages<ClipItem>(scopeOf(query), ClipSearch::pageSize, [&](const QList<ClipItemPtr> &page) {
        ++outcome.pages;
        for (const ClipItemPtr &clip : page) {
            if (cancelled)
                return false;
            if (clip->matches(query.text, query.filters))
                outcome.ids.append(clip->id());
        }
        return true;
    });
    return outcome;
}

} // namespace

ClipSearch::ClipSearch(QString storeDirectory, QObject *parent)
    : QObject(parent)
    , m_storeFile(QDir(storeDirectory).filePath(QLatin1String(ModelContainer::syncedStoreName)))
{
    // One search at a time: a cancelled one ends within a clip.
    m_pool.setMaxThreadCount(1);
}

ClipSearch::~ClipSearch()
{
    cancel();
    m_pool.waitForDone();
}

void ClipSearch::start(const Query &query)
{
    cancel();
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    m_running = cancelled;
    m_pool.start([this, storeFile = m_storeFile, query, cancelled] {
        Outcome outcome = search(storeFile, query, *cancelled);
        if (*cancelled)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, cancelled, outcome = std::move(outcome)] {
                if (m_running != cancelled)
                    return;
                m_running.reset();
                emit finished(outcome.ids, outcome.pages);
            },
            Qt::QueuedConnection);
    });
}

void ClipSearch::cancel()
{
    if (m_running)
        *m_running = true;
    m_running.reset();
}

} // namespace tamo
