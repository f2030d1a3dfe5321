// Import of the other clipboard manager's history: a 50,000-clip history of
// its newer generation (1,000 of the clips images, kept as external files as
// that app keeps large values) into a store of 100,000 clips. The read runs
// on a worker as in the app, the merge on this thread a slice at a time;
// prints the whole time, the peak memory and the longest the main thread
// went without handling its events. With --large-rows: instead, a history of
// 20 rows of 16M characters each (450 KB of DEFLATE JSON) into a small store;
// with --distinct as well, each row a text of its own.
#include "HistoryFill.h"
#include "transfer/PasteFixtures.h"

#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/Pinboards.h"
#include "model/SourceAppPublisher.h"
#include "model/SyncState.h"
#include "platform/Clock.h"
#include "platform/HeapSettings.h"
#include "transfer/PasteImport.h"
#include "ProcessStatus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFutureWatcher>
#include <QImage>
#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr int storeSize = 100'000;
constexpr int historySize = 50'000;
constexpr int imageCount = 1'000;
constexpr int boardCount = 10;

QByteArray noisePng(QRandomGenerator &random)
{
    QImage image(160, 160, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = random.generate();
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void fillHistory(PasteHome &paste)
{
    QRandomGenerator random(11);
    sql::Database &db = paste.paste7();
    db.exec(QStringLiteral("BEGIN"));
    db.exec(QStringLiteral("INSERT INTO ZAPPLICATIONENTITY VALUES (1, 'org.gnome.TextEditor', 'Text Editor')"));
    for (int board = 1; board <= boardCount; ++board)
        db.prepare(QStringLiteral("INSERT INTO ZLISTENTITY (Z_PK, ZNAME, ZRAWTYPE) VALUES (?, ?, 2)"))
            .bind(1, board).bind(2, QStringLiteral("List %1").arg(board)).run();
    const QString external = paste.locations().paste7Folder + QStringLiteral("/.db_SUPPORT/_EXTERNAL_DATA");
    QDir().mkpath(external);
    const int imageEvery = historySize / imageCount;
    for (int i = 0; i < historySize; ++i) {
        QVariant stored;
        if (i % imageEvery == 0) {
            const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
            QFile file(QDir(external).filePath(name));
            if (!file.open(QIODevice::WriteOnly)
                || !file.write(jsonItems({{{QStringLiteral("public.png"), noisePng(random)}}})))
                qFatal("cannot write %s", qPrintable(file.fileName()));
            stored = QByteArray(1, '\x02') + name.toUtf8();
        } else {
            stored = inlineValue(jsonItems({textItem(QStringLiteral("clip %1 of the other app, copied from %2")
                                                         .arg(i).arg(random.generate()))}));
        }
        const QVariant list = i % 100 == 0 ? QVariant(1 + i / 100 % boardCount) : QVariant();
        paste.addPaste7Clip(i + 1, double(800'000'000 - i * 60), stored, list, {}, i % 100, {}, 1);
    }
    db.exec(QStringLiteral("COMMIT"));
    paste.close();
}

constexpr int largeRows = 20;

// Rows of one 16M-character text each, a few kilobytes of DEFLATE JSON
// apiece: the same text, or each a text of its own.
void fillLargeRows(PasteHome &paste, bool distinct)
{
    for (int key = 1; key <= largeRows; ++key) {
        const QByteArray text = QByteArray(1, char(distinct ? 'a' + key : 'a')).repeated(ClipDraft::largestText);
        paste.addPaste7Clip(key, double(key), inlineValue(deflateRaw(
            "[{\"dataByType\":{\"public.utf8-plain-text\":\"" + text.toBase64() + "\"}}]")));
    }
    paste.close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    giveLargeBlocksBackWhenFreed(); // as the app's heap is set
    const bool large = QCoreApplication::arguments().contains(QStringLiteral("--large-rows"));
    const bool distinct = QCoreApplication::arguments().contains(QStringLiteral("--distinct"));
    QTemporaryDir storeDir, home, temporary;
    {
        ModelContainer container(storeDir.path());
        QRandomGenerator random(3);
        bench::fillHistory(container.mainContext(), large ? 1000 : storeSize, QDateTime::currentDateTime().addDays(-60),
                           [&](int i) {
                               return ClipDraft::fromText(QStringLiteral("stored clip %1 %2").arg(i).arg(random.generate()));
                           });
    }
    PasteHome paste(home.path());
    if (large)
        fillLargeRows(paste, distinct);
    else
        fillHistory(paste);

    ModelContainer container(storeDir.path());
    SystemClock clock;
    NoSync sync;
    SourceAppPublisher publisher(container.mainContext(), sync, nullptr);
    ClipLibrary clips(container.mainContext(), clock, publisher);
    Pinboards pinboards(container.mainContext());
    const double residentBefore = bench::statusMegabytes("VmRSS:");
    // Filling the store and the history above peaked higher than the import
    // may; the peak counts from here.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();

    // The main thread's heartbeat, once every pass of its event loop: the
    // longest gap between two beats is the longest it was held.
    QElapsedTimer sinceBeat;
    qint64 longestGap = 0;
    qint64 longestGapWhileReading = 0;
    bool reading = true;
    QTimer heartbeat;
    heartbeat.setInterval(0);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 gap = sinceBeat.restart();
        longestGap = std::max(longestGap, gap);
        if (reading)
            longestGapWhileReading = std::max(longestGapWhileReading, gap);
    });

    QElapsedTimer total;
    total.start();
    sinceBeat.start();
    heartbeat.start();
    PasteImporter::ReadEnvironment environment{home.path(), temporary.path(), [] { return true; },
                                               [](const QString &) { return 0; }};
    environment.spoolFolder = storeDir.path();
    std::unique_ptr<PasteMerge> merge;
    PasteImportSummary summary;
    qint64 readMilliseconds = 0;
    qint64 longestSlice = 0;
    qint64 handover = 0;
    std::function<void()> nextSlice = [&] {
        QString error;
        QElapsedTimer slice;
        slice.start();
        if (!merge->mergeSlice(PasteHistoryImport::sliceMilliseconds, &error))
            qFatal("merge failed: %s", qPrintable(error));
        longestSlice = std::max(longestSlice, slice.elapsed());
        if (!merge->isFinished()) {
            QTimer::singleShot(0, nextSlice);
            return;
        }
        summary = merge->summary();
        QCoreApplication::quit();
    };
    QFutureWatcher<PasteImporter::Snapshot> watcher;
    QObject::connect(&watcher, &QFutureWatcher<PasteImporter::Snapshot>::finished, [&] {
        readMilliseconds = total.elapsed();
        reading = false;
        QElapsedTimer handing;
        handing.start();
        merge = std::make_unique<PasteMerge>(container.mainContext(), clips, pinboards, clock, watcher.result());
        handover = handing.elapsed();
        nextSlice();
    });
    watcher.setFuture(QtConcurrent::run([&environment] { return PasteImporter::readPaste7Snapshot(environment); }));
    QCoreApplication::exec();
    const qint64 seconds = total.elapsed();

    if (large)
        std::printf("\nImport of %d rows of 16M characters into a 1,000-clip store\n", largeRows);
    else
        std::printf("\nImport of a %d-clip history (%d images) into a %d-clip store\n", historySize, imageCount, storeSize);
    std::printf("  imported %d, already present %d, skipped %d, pinboards %d\n", summary.imported,
                summary.alreadyPresent, summary.skipped, summary.pinboardsCreated);
    std::printf("  time: %.2f s (read on workers %.2f s, merge %.2f s)\n", double(seconds) / 1e3,
                double(readMilliseconds) / 1e3, double(seconds - readMilliseconds) / 1e3);
    std::printf("  peak resident memory: %.0f MB (%.0f MB before the import)\n", bench::statusMegabytes("VmHWM:"), residentBefore);
    std::printf("  longest main-thread block: %lld ms (target <= 100 ms; while reading %lld ms, taking the snapshot "
                "%lld ms, longest merge slice %lld ms)\n",
                static_cast<long long>(longestGap), static_cast<long long>(longestGapWhileReading),
                static_cast<long long>(handover), static_cast<long long>(longestSlice));
    return summary.imported + summary.alreadyPresent == (large ? largeRows : historySize) ? 0 : 1;
}
