// Exports of large histories through the app's sync (FolderSync on its
// thread), each in a process of its own: the export's peak memory (VmHWM)
// and the largest file it left in the folder; whether a second installation
// then gets those clips and a small copy made later; and how long a quit
// takes once an export of about 300 MB is under way.
//   - three 16 MB texts of control characters (six bytes each in JSON)
//   - thirty 15 MB logs
//   - four 16 MB texts of control characters, one export each, then a small
//     clip deleted, which has the device's files rewritten
#include "HistoryFill.h"
#include "ProcessStatus.h"
#include "SyncMachine.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/FetchDescriptor.h"
#include "model/ModelContext.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

using namespace tamo;
using namespace tamo::bench;

namespace {

constexpr qsizetype controlTextLength = 16'000'000;
constexpr qsizetype logLength = 15'000'000;

ClipDraft controlText(int i)
{
    return ClipDraft::fromText(QString(controlTextLength - i, QChar(1)));
}

ClipDraft logText(int i)
{
    const QString line = QStringLiteral("2026-12-08 12:00:00 worker %1: request served in 12 ms, status 200\n").arg(i);
    return ClipDraft::fromText(line.repeated(logLength / line.size()));
}

qint64 largestFile(const QString &folder)
{
    qint64 largest = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        largest = std::max(largest, QFileInfo(it.next()).size());
    return largest;
}

int clipCount(Machine &machine)
{
    return int(machine.container.mainContext().fetchCount<ClipItem>());
}

// A second installation's first import, then a small copy made on the first
// machine afterwards; prints how many of each arrived.
void secondInstallation(Machine &first, const QString &folder, int expected)
{
    QTemporaryDir store;
    Machine second(store.path(), folder);
    second.sync.attach(second.container);
    second.state.start(true);
    second.waitFor(CloudEvent::Type::import, 1);
    const int arrived = clipCount(second);
    ModelContext &context = first.container.mainContext();
    const int exportsBefore = int(std::count_if(first.ended.begin(), first.ended.end(), [](const CloudEvent &e) {
        return e.type == CloudEvent::Type::export_;
    }));
    context.insert(std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("a later copy")),
                                              QDateTime::currentDateTime()));
    context.save();
    first.waitFor(CloudEvent::Type::export_, exportsBefore + 1);
    second.sync.syncNow();
    second.waitFor(CloudEvent::Type::import, 2);
    std::printf("  a second installation got %d of %d clips, and %d of 1 later copy\n", arrived, expected,
                clipCount(second) - arrived);
}

// In the child: the launch's export of the history in `storeFolder`.
int exportHistory(const QString &storeFolder, int clips)
{
    QTemporaryDir folder;
    Machine machine(storeFolder, folder.path());
    machine.sync.attach(machine.container);
    QElapsedTimer took;
    took.start();
    machine.state.start(false);
    machine.waitFor(CloudEvent::Type::import, 1);
    std::printf("  export %lld ms, peak %.0f MB, largest file %.1f MB\n", took.elapsed(),
                statusMegabytes("VmHWM:"), largestFile(folder.path()) / 1e6);
    secondInstallation(machine, folder.path(), clips);
    return 0;
}

// In the child: four texts exported one at a time, then a small clip made
// and deleted, so the device's files are rewritten into a snapshot.
int exportThenDelete(const QString &storeFolder)
{
    QTemporaryDir folder;
    Machine machine(storeFolder, folder.path());
    machine.sync.attach(machine.container);
    machine.state.start(false);
    machine.waitFor(CloudEvent::Type::import, 1);
    ModelContext &context = machine.container.mainContext();
    int exports = 0;
    const auto saveAndExport = [&] {
        context.save();
        machine.waitFor(CloudEvent::Type::export_, ++exports);
    };
    for (int i = 0; i < 4; ++i) {
        context.insert(std::make_shared<ClipItem>(controlText(i), QDateTime::currentDateTime()));
        saveAndExport();
    }
    auto small = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("small")), QDateTime::currentDateTime());
    context.insert(small);
    saveAndExport();
    context.remove(small);
    saveAndExport();
    std::printf("  peak %.0f MB, largest file %.1f MB\n", statusMegabytes("VmHWM:"), largestFile(folder.path()) / 1e6);
    secondInstallation(machine, folder.path(), 4);
    return 0;
}

// In the child: a quit once the launch's export has run for a second.
int quitDuringExport(const QString &storeFolder)
{
    QTemporaryDir folder;
    auto machine = std::make_unique<Machine>(storeFolder, folder.path());
    machine->sync.attach(machine->container);
    machine->state.start(false);
    runUntil([] { return false; }, 1000);
    QElapsedTimer quitting;
    quitting.start();
    machine.reset();
    std::printf("  quit %lld ms after 1 s of export\n", quitting.elapsed());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--export"))
        return exportHistory(arguments[2], arguments[3].toInt());
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--export-then-delete"))
        return exportThenDelete(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--quit"))
        return quitDuringExport(arguments[2]);

    std::printf("Exports of large histories (each in a process of its own; files target < 64 MB)\n");
    {
        QTemporaryDir store;
        fillStore(store.path(), 3, controlText);
        std::printf("three 16 MB texts of control characters\n");
        std::fflush(stdout);
        runChild({QStringLiteral("--export"), store.path(), QStringLiteral("3")});
    }
    {
        QTemporaryDir store;
        fillStore(store.path(), 30, logText);
        std::printf("thirty 15 MB logs\n");
        std::fflush(stdout);
        runChild({QStringLiteral("--export"), store.path(), QStringLiteral("30")});
    }
    {
        QTemporaryDir store;
        std::printf("four 16 MB texts of control characters, one export each, then a small clip deleted\n");
        std::fflush(stdout);
        runChild({QStringLiteral("--export-then-delete"), store.path()});
    }
    {
        QTemporaryDir store;
        fillStore(store.path(), 20, logText);
        std::printf("twenty 15 MB logs (about 300 MB to export)\n");
        std::fflush(stdout);
        runChild({QStringLiteral("--quit"), store.path()});
    }
    return 0;
}
