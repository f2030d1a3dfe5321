// Imports of hostile or heavy segments from another device, each through the
// app's sync (FolderSync on its thread) in a process of its own: peak memory
// (VmHWM), how long the import ran, the main thread's longest stall, and the
// longest a copy saved meanwhile (one every 100 ms) took, with the copies
// whose save failed; then the merge of repeated clips the app runs on the
// main thread after an import, and how many clips it folded away.
//   - one 100 MB line holding an array
//   - one 200 MB line holding a text
//   - 4 changes naming two 60 MB blobs each
//   - 8 changes naming two 10 MB blobs each (the largest a device writes)
//   - 1,200 changes of 200 KB texts
#include "SyncMachine.h"
#include "ProcessStatus.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContext.h"
#include "model/StoreMaintenance.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QUuid>

#include <cstdio>
#include <functional>

using namespace tamo;
using namespace tamo::bench;

namespace {

const QString device = QStringLiteral("0f0e0d0c-0b0a-4908-8706-050403020100");

// A segment written a piece at a time, its checksum kept as it goes.
class SegmentWriter
{
public:
    explicit SegmentWriter(const QString &folder) : m_file(SyncFolder(folder).segmentFile(device, 1))
    {
        QDir().mkpath(SyncFolder(folder).deviceFolder(device) + QStringLiteral("/blobs"));
        if (!m_file.open(QIODevice::WriteOnly))
            qFatal("cannot write the segment");
        put(R"({"device":")" + device.toLatin1() + R"(","format":1,"seq":1})" "\n");
    }
    void put(const QByteArray &bytes)
    {
        m_hash.addData(bytes);
        m_file.write(bytes);
    }
    // The start of an upsert of a new clip, up to its fields' opening brace.
    void beginChange()
    {
        put(R"({"hlc":"1700000000000-)" + QByteArray::number(++m_changes) + "-" + device.toLatin1()
            + R"(","entity":"ClipItem","rid":")" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1()
            + R"(","op":"upsert","fields":{)");
    }
    void finish()
    {
        m_file.write(R"({"count":)" + QByteArray::number(m_changes) + R"(,"sha256":")" + m_hash.result().toHex()
                     + "\"}\n");
    }

private:
    QFile m_file;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    int m_changes = 0;
};

QByteArray randomLetters(qsizetype bytes, quint32 seed)
{
    QByteArray text(bytes, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &c : text)
        c = char('a' + random.bounded(26));
    return text;
}

QString writeBlob(const QString &folder, qsizetype bytes, quint32 seed)
{
    QByteArray blob(bytes, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(blob.data()), blob.size() / 4);
    const QString name = blobNameOf(blob);
    QFile file(SyncFolder(folder).blobFile(device, name));
    if (!file.open(QIODevice::WriteOnly) || file.write(blob) != blob.size())
        qFatal("cannot write a blob");
    return name;
}

// `changes` image clips, each naming an image and an RTF blob of `megabytes`.
void writeBlobChanges(const QString &folder, int changes, qsizetype megabytes)
{
    SegmentWriter segment(folder);
    for (int i = 0; i < changes; ++i) {
        const QString image = writeBlob(folder, megabytes * 1024 * 1024, quint32(2 * i));
        const QString rtf = writeBlob(folder, megabytes * 1024 * 1024, quint32(2 * i + 1));
        segment.beginChange();
        segment.put(R"("kindRaw":"image"},"blobs":{"imageData":")" + image.toLatin1() + R"(","rtfData":")"
                    + rtf.toLatin1() + "\"}}\n");
    }
    segment.finish();
}

struct Case
{
    const char *name;
    std::function<void(const QString &folder)> write;
};

const Case cases[] = {
    {"one 100 MB line holding an array",
     [](const QString &folder) {
         SegmentWriter segment(folder);
         segment.beginChange();
         segment.put(R"("keywords":[)");
         const QByteArray items = QByteArray(R"("k",)").repeated(1024 * 1024);
         for (int i = 0; i < 25; ++i)
             segment.put(items);
         segment.put(R"("k"]},"blobs":{}})" "\n");
         segment.finish();
     }},
    {"one 200 MB line holding a text",
     [](const QString &folder) {
         SegmentWriter segment(folder);
         segment.beginChange();
         segment.put(R"("text":")");
         const QByteArray text(1024 * 1024, 'x');
         for (int i = 0; i < 200; ++i)
             segment.put(text);
         segment.put(R"("},"blobs":{}})" "\n");
         segment.finish();
     }},
    {"4 changes naming two 60 MB blobs each", [](const QString &folder) { writeBlobChanges(folder, 4, 60); }},
    {"8 changes naming two 10 MB blobs each", [](const QString &folder) { writeBlobChanges(folder, 8, 10); }},
    {"1,200 changes of 200 KB texts",
     [](const QString &folder) {
         SegmentWriter segment(folder);
         for (int i = 0; i < 1200; ++i) {
             segment.beginChange();
             segment.put(R"("text":")" + randomLetters(200 * 1024, quint32(i)) + R"("},"blobs":{}})" "\n");
         }
         segment.finish();
     }},
};

// In the child: the import, copies saved on the main thread meanwhile.
int measure(const QString &folder)
{
    QTemporaryDir store;
    Machine machine(store.path(), folder);
    machine.sync.attach(machine.container);
    ModelContext &context = machine.container.mainContext();
    qint64 longestCopy = 0;
    int copies = 0;
    int failedCopies = 0;
    QTimer copying;
    copying.setInterval(100);
    QObject::connect(&copying, &QTimer::timeout, [&] {
        QElapsedTimer saving;
        saving.start();
        context.insert(std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("copy %1").arg(++copies)),
                                                  QDateTime::currentDateTime()));
        if (!context.save())
            ++failedCopies;
        longestCopy = std::max(longestCopy, saving.elapsed());
    });
    QElapsedTimer running;
    running.start();
    StallWatch stalls;
    copying.start();
    machine.state.start(true);
    machine.waitFor(CloudEvent::Type::import, 1);
    const qint64 took = running.elapsed();
    copying.stop();
    QString outcome = QStringLiteral("imported");
    for (const CloudEvent &event : machine.ended) {
        if (!event.succeeded)
            outcome = event.error.left(160);
    }
    QElapsedTimer merging;
    merging.start();
    const qsizetype folded = StoreMaintenance(context).mergeDuplicates().size();
    const qint64 merge = merging.elapsed();
    std::printf("  peak %.0f MB, import %lld ms, longest main-thread stall %lld ms, longest copy save %lld ms, "
                "%d of %d copies failed: %s; merge %lld ms, %lld clips folded away\n",
                statusMegabytes("VmHWM:"), took, stalls.longestMs(), longestCopy, failedCopies, copies,
                qPrintable(outcome), merge, qlonglong(folded));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--measure"))
        return measure(arguments[2]);

    std::printf("Hostile and heavy segments (peak memory of a process of its own; target < 300 MB, stalls < 100 ms)\n");
    for (const Case &c : cases) {
        QTemporaryDir folder;
        c.write(folder.path());
        std::printf("%s\n", c.name);
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), folder.path()});
        child.waitForFinished(-1);
    }
    return 0;
}
