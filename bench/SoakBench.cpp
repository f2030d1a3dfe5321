// A day of copies in a few minutes: 5,000 copies of mixed kinds (texts,
// 1 MB PNGs, file lists, HTML with its text) made by other X clients on the
// X server of DISPLAY, each captured into a store by the app model as main()
// puts it together. Prints what the process holds (open files, X
// connections, threads, resident memory and the part of it the heap holds in
// use) at the start, after 1,000 copies, at the end and once the thread
// pool's idle workers have expired: none of it should grow with the copies.
// The copiers are stopped before each count, so their pipes are not counted.
// Then a 12 MB picture and a 20 MB text are copied, previewed and deleted,
// and the drawer and the preview are opened again and again: what previews
// and deleted clips held should go back. `--copies N` makes another number
// of copies.
#include "platform/x11/XClients.h"

#include "app/AppDelegate.h"
#include "app/AppModel.h"
#include "cards/FittedImageView.h"
#include "cards/PreviewContent.h"
#include "cards/PreviewPanelView.h"
#include "drawer/ClipStrip.h"
#include "drawer/DrawerAssembly.h"
#include "drawer/PanelController.h"
#include "drawer/PanelView.h"
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
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QThreadPool>

#include <cstdio>
#include <functional>
#include <list>
#include <malloc.h>
#include <memory>
#include <utility>

using namespace tamo;

namespace {

constexpr int defaultCopies = 5000;
constexpr int checkpoint = 1000;
constexpr int distinctImages = 4; // the same pictures copied again, as screenshots of one window are
constexpr int captureTimeoutMs = 10000;
constexpr int largeCaptureTimeoutMs = 60000;
constexpr int largePictureSide = 2048; // a noise PNG of about 12 MB
constexpr qsizetype largeTextBytes = 20 * 1024 * 1024;
constexpr int drawerShowings = 60;
constexpr int previewShowings = 40;

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

// A noise picture: its PNG takes about 3 bytes a pixel (1 MB at 600 pixels square).
QByteArray noisePng(int seed, int side = 600)
{
    QImage image(side, side, QImage::Format_RGB32);
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

    // A 12 MB picture, then a 20 MB text.
    void copyLargePicture()
    {
        xclip(QStringLiteral("image/png"), write(QStringLiteral("large.png"), noisePng(distinctImages, largePictureSide)));
    }
    void copyLargeText()
    {
        const QByteArray line = "A long text, as a log file or a data dump copied whole, line after line.\n";
        xclip(QStringLiteral("UTF8_STRING"), write(QStringLiteral("large.txt"), line.repeated(largeTextBytes / line.size())));
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

void settle(int ms)
{
    bench::runUntil([] { return false; }, ms);
}

// The peak figure starts again from what is resident now.
void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

void printPeak()
{
    std::printf("  %-18s resident %6.1f MB\n", "peak", bench::statusMegabytes("VmHWM:"));
    std::fflush(stdout);
}

// The copies the model saved, and the last clip among them.
class Captures
{
public:
    explicit Captures(ModelContext &context)
    {
        QObject::connect(&context, &ModelContext::didSave, [this](const SaveSummary &summary) {
            if (!summary.entities.contains(QStringLiteral("ClipItem")))
                return;
            ++m_saves;
            if (!summary.savedRecords)
                return;
            for (const std::shared_ptr<Record> &record : *summary.savedRecords) {
                if (&record->entity() == &ClipItem::spec())
                    m_last = std::static_pointer_cast<ClipItem>(record);
            }
        });
    }

    // Makes a copy and waits until it is saved.
    bool capture(const std::function<void()> &copy, int timeoutMs)
    {
        const int savesBefore = m_saves;
        copy();
        return bench::runUntil([&] { return m_saves > savesBefore; }, timeoutMs);
    }

    // Held only until taken, so no deleted clip stays here.
    ClipItemPtr takeLast() { return std::exchange(m_last, nullptr); }

private:
    int m_saves = 0;
    ClipItemPtr m_last;
};

bool previewShown(const PreviewPanelView &preview, const ClipItem &clip)
{
    return bench::runUntil([&] {
        if (!preview.clip() || preview.clip()->id() != clip.id())
            return false;
        const PreviewContent &content = *preview.content();
        switch (clip.kind()) {
        case ClipKind::image:
            return content.imageView()->status().has_value();
        case ClipKind::text:
            return !content.textEditor()->document()->isEmpty();
        default:
            return true;
        }
    }, largeCaptureTimeoutMs);
}

void preview(AppModel &model, const PreviewPanelView &view, const ClipItem &clip)
{
    model.openPreview(clip);
    if (!previewShown(view, clip))
        std::printf("  the preview of a %s clip did not show\n", qPrintable(clip.kindRaw()));
    settle(300); // painted
    model.closePreview();
}

// A 12 MB picture and a 20 MB text copied, each previewed, then deleted; then
// the drawer shown and hidden again and again, the preview opened from it.
void previewLargeClips(AppModel &model, PanelController &panel, const DrawerAssembly &drawer, Copier &copier,
                       Captures &captures)
{
    std::printf("\nLarge clips: a 12 MB picture and a 20 MB text copied, previewed in the drawer and deleted;\n"
                "then the drawer shown %d times, %d of them with a preview\n", drawerShowings, previewShowings);
    // What the drawer and the preview take the first time they show is no part of it.
    model.openDrawer();
    settle(300);
    for (const ClipItemPtr &clip : drawer.view().strip()->visibleClips().mid(0, 4)) // each kind the copies make
        preview(model, drawer.preview(), *clip);
    panel.hide(false);
    settle(QThreadPool::globalInstance()->expiryTimeout() + 2000);
    Holdings::now().print("before");
    resetPeak();
    for (const auto copy : {&Copier::copyLargePicture, &Copier::copyLargeText}) {
        if (!captures.capture([&] { (copier.*copy)(); }, largeCaptureTimeoutMs) || !captures.takeLast()) {
            std::printf("  a large copy was not captured within %d s\n", largeCaptureTimeoutMs / 1000);
            return;
        }
    }
    copier.stop();
    model.openDrawer();
    settle(300);
    QList<ClipItemPtr> large = drawer.view().strip()->visibleClips().first(2); // the newest two
    for (const ClipItemPtr &clip : std::as_const(large))
        preview(model, drawer.preview(), *clip);
    panel.hide(false);
    settle(500);
    Holdings::now().print("previews closed");
    printPeak();
    model.deleteItems(large);
    large.clear();
    settle(QThreadPool::globalInstance()->expiryTimeout() + 2000);
    Holdings::now().print("clips deleted");

    for (int showing = 0; showing < drawerShowings; ++showing) {
        model.openDrawer();
        settle(150);
        const QList<ClipItemPtr> clips = drawer.view().strip()->visibleClips();
        if (showing < previewShowings && !clips.isEmpty())
            preview(model, drawer.preview(), *clips.at(showing % std::min<qsizetype>(clips.size(), 8)));
        panel.hide(false);
        settle(150);
    }
    settle(QThreadPool::globalInstance()->expiryTimeout() + 2000);
    Holdings::now().print("drawer reopened");
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
    PanelController panel(defaults, platform.screens());
    AppExtensions extensions;
    extensions.drawer = &panel;
    AppModel model(services, store.path(), extensions);
    const DrawerAssembly drawer(panel, model, defaults, clock);
    AppDelegate delegate(model, defaults);
    delegate.finishLaunching();
    Captures captures(model.container().mainContext());
    Copier copier(files.path());
    bench::runUntil([] { return false; }, 500); // the launch's own work

    std::printf("\nSoak: %d copies of texts, 1 MB PNGs, file lists and HTML with text, each captured\n", copies);
    Holdings::now().print("at the start");
    int missed = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int number = 1; number <= copies; ++number) {
        if (!captures.capture([&] { copier.copy(number); }, captureTimeoutMs))
            ++missed;
        captures.takeLast();
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
    previewLargeClips(model, panel, drawer, copier, captures);
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
