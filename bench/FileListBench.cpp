// A file manager's copy of a huge file list (text/uri-list offered by xclip
// on the X server of DISPLAY), captured by the whole app in a process of its
// own per size: the peak memory (VmHWM) up to the save, what stays resident
// after it and after the drawer is opened on it, and how long a text copied
// next takes to be saved. Target: peak under 300 MB, nothing held after the
// save.
#include "BenchApp.h"
#include "drawer/PanelView.h"
#include "PaintWatch.h"
#include "ProcessStatus.h"

#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"

#include "platform/HeapSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cstdio>
#include <memory>
#include <optional>

using namespace tamo;

namespace {

constexpr int saveTimeoutMs = 120'000;

std::unique_ptr<QProcess> xclip(const QString &target, const QString &file)
{
    auto owner = std::make_unique<QProcess>();
    owner->setStandardInputFile(file);
    owner->start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                           QStringLiteral("clipboard"), QStringLiteral("-t"), target});
    return owner;
}

QString listOf(QTemporaryDir &dir, int names)
{
    const QString path = dir.filePath(QStringLiteral("names.uri-list"));
    QFile list(path);
    if (!list.open(QIODevice::WriteOnly))
        qFatal("cannot write the list");
    for (int i = 0; i < names; ++i)
        list.write(QStringLiteral("file:///home/user/Pictures/holiday/IMG_%1.jpg\r\n").arg(i, 12, 10, QLatin1Char('0')).toUtf8());
    return path;
}

// The clips the model saves, by kind.
class Saves
{
public:
    explicit Saves(ModelContext &context)
    {
        QObject::connect(&context, &ModelContext::didSave, [this](const SaveSummary &summary) {
            if (!summary.savedRecords)
                return;
            for (const std::shared_ptr<Record> &record : *summary.savedRecords) {
                if (&record->entity() == &ClipItem::spec())
                    m_kinds.append(std::static_pointer_cast<ClipItem>(record)->kind());
            }
        });
    }

    // Waits for a clip of the kind to be saved from now on; the seconds it
    // took, or nothing.
    std::optional<double> waitFor(ClipKind kind)
    {
        m_kinds.clear();
        QElapsedTimer clock;
        clock.start();
        if (!bench::runUntil([&] { return m_kinds.contains(kind); }, saveTimeoutMs))
            return std::nullopt;
        return clock.elapsed() / 1000.0;
    }

private:
    QList<ClipKind> m_kinds;
};

QString seconds(std::optional<double> took)
{
    return took ? QStringLiteral("saved after %1 s").arg(*took, 0, 'f', 2) : QStringLiteral("NOT saved");
}

// In the child: the list copied, then a text.
void copyList(int names)
{
    QTemporaryDir dir;
    const QString list = listOf(dir, names);
    const double listMegabytes = QFileInfo(list).size() / 1048576.0;
    bench::App app(dir.filePath(QStringLiteral("store")));
    Saves saves(app.model->container().mainContext());
    bench::runUntil([] { return false; }, 500); // the launch's own work
    const double beforeCopy = bench::statusMegabytes("VmRSS:");

    const auto listOwner = xclip(QStringLiteral("text/uri-list"), list);
    const std::optional<double> listSaved = saves.waitFor(ClipKind::file);
    bench::settle();
    const double peak = bench::statusMegabytes("VmHWM:");
    const double afterSave = bench::statusMegabytes("VmRSS:");

    bench::PaintWatch painted;
    painted.watch(&app.drawer->view());
    app.model->openDrawer();
    bench::runUntil([&] { return painted.painted; }, 10'000);
    bench::settle();
    const double afterDrawer = bench::statusMegabytes("VmRSS:");
    app.drawerPanel.hide(false);

    QTemporaryFile text;
    if (!text.open())
        qFatal("cannot write the text");
    text.write("the copy after the list");
    text.close();
    const auto textOwner = xclip(QStringLiteral("UTF8_STRING"), text.fileName());
    const std::optional<double> textSaved = saves.waitFor(ClipKind::text);
    bench::settle();
    const double afterNext = bench::statusMegabytes("VmRSS:");

    std::printf("%d names (%.0f MB): list %s; peak %.0f MB; resident %.0f MB before the copy, %.0f MB after the "
                "save, %.0f MB with the drawer open; the next copy %s, resident then %.0f MB\n",
                names, listMegabytes, qPrintable(seconds(listSaved)), peak, beforeCopy, afterSave, afterDrawer,
                qPrintable(seconds(textSaved)), afterNext);
    for (const auto &owner : {listOwner.get(), textOwner.get()}) {
        owner->terminate();
        owner->waitForFinished();
    }
}

} // namespace

int main(int argc, char **argv)
{
    giveLargeBlocksBackWhenFreed(); // as main() does
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == u"--names")
        return copyList(arguments.value(2).toInt()), 0;

    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("File lists: not measured (needs an X server in DISPLAY)\n");
        return 0;
    }
    std::printf("File lists copied by another app (a process of its own each; target: peak under 300 MB)\n");
    std::fflush(stdout);
    for (const int names : {100'000, 1'000'000}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--names"), QString::number(names)});
        child.waitForFinished(-1);
    }
    return 0;
}
