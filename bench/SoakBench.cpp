// A day of copies in a few minutes: 5,000 copies of mixed kinds (texts,
// 1 MB PNGs, file lists, HTML with its text) made by other X clients on the
// X server of DISPLAY, each captured into a store by the app model as main()
// puts it together. Prints what the process holds (open files, X
// connections, threads, resident memory and the part of it the heap holds in
// use) at the start, after 1,000 copies, at the end and once the thread
// pool's idle workers have expired: none of it should grow with the copies.
// The copiers are stopped before each count, so their pipes are not counted.
// `--copies N` makes another number of copies.
#include "platform/x11/XClients.h"

#include "app/AppDelegate.h"
#include "app/AppModel.h"
#include "model/DefaultSettings.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "platform/Alerts.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/HeapSettings.h"
#include "platform/x11/X11Platform.h"
#include "ProcessStatus.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThreadPool>

#include <cstdio>
#include <functional>
#include <list>
#include <malloc.h>
#include <memory>

using namespace tamo;

namespace {

constexpr int defaultCopies = 5000;
constexpr int checkpoint = 1000;
constexpr int distinctImages = 4; // the same pictures copied again, as screenshots of one window are
constexpr int captureTimeoutMs = 10000;

// What the process holds, from /proc and the X server.
struct Holdings
{
    int openFiles = 0;
    int xClients = -1;
    int threads = 0;
    double residentMegabytes = 0;
    double heapInUseMegabytes = 0;

    static Holdings now()
    {
        Holdings holdings;
        holdings.openFiles = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
        holdings.xClients = testing::xClientsOf(QCoreApplication::applicationPid()).value_or(-1);
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("Threads:"))
                    holdings.threads = line.mid(8).trimmed().toInt();
                else if (line.startsWith("VmRSS:"))
                    holdings.residentMegabytes = line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
            }
        }
        const struct mallinfo2 heap = mallinfo2();
        holdings.heapInUseMegabytes = double(heap.uordblks + heap.hblkhd) / (1024 * 1024);
        return holdings;
    }

    void print(const char *when) const
    {
        std::printf("  %-18s open files %4d   X connections %3d   threads %3d   resident %6.1f MB   heap in use %5.1f MB\n",
                    when, openFiles, xClients, threads, residentMegabytes, heapInUseMegabytes);
        std::fflush(stdout);
    }
};

// A noise picture whose PNG is about 1 MB.
QByteArray noisePng(int seed)
{
    QImage image(600, 600, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.width());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The other apps: each copy is made by a client of its own, which quits once
// the next copy takes the clipboard from it.
class Copier
{
public:
    explicit Copier(const QString &folder)
        : m_folder(folder)
    {
        for (int i = 0; i < distinctImages; ++i)
            write(QStringLiteral("image-%1.png").arg(i), noisePng(i));
    }

    void copy(int number)
    {
        reap();
        switch (number % 4) {
        case 0:
            xclip(QStringLiteral("UTF8_STRING"),
                  write(QStringLiteral("text"), QStringLiteral("Copied text number %1, as a person copies a line from"
                                                              " a mail or a page.")
                                                    .arg(number)
                                                    .toUtf8()));
            break;
        case 1:
            xclip(QStringLiteral("image/png"), QDir(m_folder).filePath(QStringLiteral("image-%1.png").arg(number % distinctImages)));
            break;
        case 2:
            xclip(QStringLiteral("text/uri-list"),
                  write(QStringLiteral("files"), QStringLiteral("file:///home/soak/Documents/report-%1.odt\r\n"
                                                               "file:///home/soak/Pictures/photo%20%1.jpg\r\n")
                                                     .arg(number)
                                                     .toUtf8()));
            break;
        default:
            start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--own"), QStringLiteral("<p>Copied <b>rich</b> text number %1</p>").arg(number),
                   QStringLiteral("Copied rich text number %1").arg(number)});
            break;
        }
    }

    void stop()
    {
        for (const auto &owner : m_owners) {
            owner->terminate();
            owner->waitForFinished();
        }
        m_owners.clear();
    }

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir(m_folder).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    void xclip(const QString &target, const QString &file)
    {
        start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                        QStringLiteral("clipboard"), QStringLiteral("-t"), target,
                                        QStringLiteral("-i"), file});
    }

    void start(const QString &program, const QStringList &arguments)
    {
        auto owner = std::make_unique<QProcess>();
        owner->setStandardOutputFile(QProcess::nullDevice());
        owner->setStandardErrorFile(QProcess::nullDevice());
        owner->start(program, arguments);
        if (!owner->waitForStarted())
            qFatal("%s did not start", qPrintable(program));
        m_owners.push_back(std::move(owner));
    }

    // Owners that lost the clipboard have quit.
    void reap()
    {
        m_owners.remove_if([](const std::unique_ptr<QProcess> &owner) {
            return owner->state() == QProcess::NotRunning;
        });
    }

    QString m_folder;
    std::list<std::unique_ptr<QProcess>> m_owners;
};
// The HTML copier: owns the clipboard with HTML and its text until another
// copy takes it.
int own(QApplication &app, const QString &html, const QString &text)
{
    auto *mimeData = new QMimeData;
    mimeData->setHtml(html);
    mimeData->setText(text);
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setMimeData(mimeData);
    QObject::connect(clipboard, &QClipboard::changed, &app, [&](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            app.quit();
    });
    return app.exec();
}

int soak(int copies)
{
    QTemporaryDir config;
    QTemporaryDir store;
    QTemporaryDir files;
    Defaults defaults(config.filePath(QStringLiteral("defaults.json")));
    registerDefaultSettings(defaults);
    SystemClock clock;
    X11Platform platform;
    if (!platform.isX11()) {
        std::printf("\nSoak of %d copies: not run (needs an X server in DISPLAY)\n", copies);
        return 0;
    }
    MessageBoxAlerts alerts;
    QNetworkAccessManager network;
    const PlatformServices services = platformServices(platform, defaults, clock, alerts, network);
    AppModel model(services, store.path(), AppExtensions());
    AppDelegate delegate(model, defaults);
    delegate.finishLaunching();
    int saves = 0;
    QObject::connect(&model.container().mainContext(), &ModelContext::didSave, [&](const SaveSummary &summary) {
        if (summary.entities.contains(QStringLiteral("ClipItem")))
            ++saves;
    });
    Copier copier(files.path());
    bench::runUntil([] { return false; }, 500); // the launch's own work

    std::printf("\nSoak: %d copies of texts, 1 MB PNGs, file lists and HTML with text, each captured\n", copies);
    Holdings::now().print("at the start");
    int missed = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int number = 1; number <= copies; ++number) {
        const int savesBefore = saves;
        copier.copy(number);
        if (!bench::runUntil([&] { return saves > savesBefore; }, captureTimeoutMs))
            ++missed;
        if (number == checkpoint || number == copies) {
            copier.stop();
            bench::runUntil([] { return false; }, 500); // the last reads end
            Holdings::now().print(qPrintable(QStringLiteral("after %1").arg(number)));
        }
    }
    std::printf("  %d copies in %.0f s, %d not captured within %d s\n", copies, elapsed.elapsed() / 1000.0, missed,
                captureTimeoutMs / 1000);
    bench::runUntil([] { return false; }, QThreadPool::globalInstance()->expiryTimeout() + 2000);
    Holdings::now().print("idle workers gone");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    giveLargeBlocksBackWhenFreed();
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == u"--own")
        return own(app, arguments[2], arguments[3]);
    int copies = defaultCopies;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--copies")); at > 0 && at + 1 < arguments.size())
        copies = arguments[at + 1].toInt();
    return soak(copies);
}
