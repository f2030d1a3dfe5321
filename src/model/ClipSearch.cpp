#include "model/ClipSearch.h"

#include "model/ClipItem.h"
#include "model/FetchDescriptor.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Sqlite.h"

#include <QDebug>
#include <QDir>

#include <optional>

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

Outcome search(const QString &storeFile, const ClipSearch::Query &query, const std::atomic_bool &cancelled,
               const std::function<void(const QList<QUuid> &)> &firstMatchesFound)
{
    Outcome outcome;
    sql::Database db;
    std::optional<sql::Transaction> snapshot;
    try {
        db.openReadOnly(storeFile);
        db.exec(QStringLiteral("PRAGMA busy_timeout = 2000"));
        // The first page is read on its own, without waiting for the keys of
        // the whole history; one snapshot keeps it and the rest in step when
        // a copy lands in between.
        snapshot.emplace(db, sql::Transaction::Mode::read);
    } catch (const sql::Error &error) {
        qWarning().noquote() << QStringLiteral("TamoCove: could not search the store: %1").arg(error.message());
        return outcome;
    }
    ModelContext context(db, {});
    const auto readPage = [&](const QList<ClipItemPtr> &page) {
        ++outcome.pages;
        for (const ClipItemPtr &clip : page) {
            if (cancelled)
                return false;
            if (!clip->matches(query.text, query.filters))
                continue;
            outcome.ids.append(clip->id());
            if (outcome.ids.size() == query.firstMatchCount)
                firstMatchesFound(outcome.ids);
        }
        return true;
    };
    const FetchDescriptor scope = scopeOf(query);
    const int firstPageSize = scope.limit >= 0 ? std::min(scope.limit, ClipSearch::pageSize) : ClipSearch::pageSize;
    const QList<ClipItemPtr> firstPage = context.fetch<ClipItem>(FetchDescriptor(scope).limited(firstPageSize));
    if (!readPage(firstPage) || firstPage.size() < ClipSearch::pageSize)
        return outcome;
    FetchDescriptor rest = scope;
    rest.limited(scope.limit >= 0 ? scope.limit - firstPageSize : -1, firstPageSize);
    context.fetchInPages<ClipItem>(rest, ClipSearch::pageSize, readPage);
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
        const auto firstMatchesFound = [&](const QList<QUuid> &ids) {
            reportUnlessSuperseded(cancelled, [this, ids] { emit this->firstMatchesFound(ids); });
        };
        Outcome outcome = search(storeFile, query, *cancelled, firstMatchesFound);
        reportUnlessSuperseded(cancelled, [this, outcome = std::move(outcome)] {
            m_running.reset();
            emit finished(outcome.ids, outcome.pages);
        });
    });
}

void ClipSearch::reportUnlessSuperseded(const std::shared_ptr<std::atomic_bool> &cancelled,
                                        std::function<void()> report)
{
    if (*cancelled)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, cancelled, report = std::move(report)] {
            if (m_running == cancelled)
                report();
        },
        Qt::QueuedConnection);
}

void ClipSearch::cancel()
{
    if (m_running)
        *m_running = true;
    m_running.reset();
}

} // namespace tamo
