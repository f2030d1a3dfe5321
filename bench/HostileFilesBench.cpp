// Hostile pinboard files and screenshots, each in a process of its own: the
// peak memory (VmHWM) of importing the file as Import… does (every pinboard
// ticked), or of the screenshot watcher meeting the file, with its time and
// outcome. Target: every peak under 300 MB.
//   - a 390 MB file of 15,000,000 tiny apps
//   - one clip with 100,000,000 empty keywords
//   - a 250 MB Base64 image, and one of 160 MB that is read
//   - a 250 MB app name
//   - a 1.5 GB "*.png" in the screenshot folder
#include "ImportingApp.h"
#include "ProcessStatus.h"

#include "app/ScreenshotWatcher.h"
#include "platform/XdgScreenshotFolder.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace tamo;

namespace {

const QByteArray head = R"({"exportedAt":"2026-01-02T03:04:05Z","format":"tamo-pinboards","version":1,)";
const QByteArray clipHead = R"({"createdAt":"2026-01-01T00:00:00Z","kind":"text",)";

QByteArray smallPng()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// Writes `count` times `piece`, a megabyte at a time.
void writeRepeated(QFile &out, const QByteArray &piece, qint64 count)
{
    const qint64 perChunk = std::max<qint64>(1, 1024 * 1024 / piece.size());
    const QByteArray chunk = piece.repeated(perChunk);
    for (; count >= perChunk; count -= perChunk)
        out.write(chunk);
    out.write(piece.repeated(count));
}

void tinyApps(QFile &out)
{
    out.write(head + R"("pinboards":[],"apps":[)");
    writeRepeated(out, R"({"bundleID":"","tint":""},)", 15'000'000 - 1);
    out.write(R"({"bundleID":"","tint":""}]})");
}

void emptyKeywords(QFile &out)
{
    out.write(head + R"("apps":[],"pinboards":[{"name":"a","color":"Blue","clips":[)" + clipHead + R"("keywords":[)");
    writeRepeated(out, R"("",)", 100'000'000 - 1);
    out.write(R"(""]}]}]})");
}

// An image value of about `megabytes` of Base64: a small image, then zeros,
// which readers pass over.
void imageOf(QFile &out, qint64 megabytes)
{
    QByteArray image = smallPng();
    image.append((3 - image.size() % 3) % 3, '\0');
    const QByteArray png = image.toBase64();
    out.write(head + R"("apps":[],"pinboards":[{"name":"a","color":"Blue","clips":[)" + clipHead +
              R"("keywords":[],"image":")" + png);
    writeRepeated(out, "AAAA", (megabytes * 1024 * 1024 - png.size()) / 4);
    out.write(R"("}]}]})");
}

void hugeAppName(QFile &out)
{
    out.write(head + R"("apps":[],"pinboards":[{"name":"a","color":"Blue","clips":[)" + clipHead +
              R"("keywords":[],"text":"a","sourceBundleID":"org.example.app","sourceAppName":")");
    writeRepeated(out, "n", 250 * 1024 * 1024);
    out.write(R"("}]}]})");
}

struct Case
{
    const char *name;
    std::function<void(QFile &)> write;
};

const Case pinboardFiles[] = {
    {"pinboard file, 15,000,000 tiny apps", tinyApps},
    {"pinboard file, one clip with 100,000,000 empty keywords", emptyKeywords},
    {"pinboard file, a 250 MB Base64 image", [](QFile &out) { imageOf(out, 250); }},
    {"pinboard file, a 160 MB Base64 image (120 MB, under the cap)", [](QFile &out) { imageOf(out, 160); }},
    {"pinboard file, a 250 MB app name", hugeAppName},
};

// In the child: the file imported as Import… does.
void importFile(const QString &store, const QString &file)
{
    QElapsedTimer clock;
    clock.start();
    bench::ImportingApp app(store);
    QTimer::singleShot(0, [&] {
        app.files.importPinboards(file);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    std::printf("  peak %.0f MB after %.1f s: %s\n", bench::statusMegabytes("VmHWM:"), clock.elapsed() / 1000.0,
                qPrintable(app.answers.last.left(160)));
}

// In the child: a screenshot tool saves a 1.5 GB PNG (a small image, then
// nothing but zeros) into the watched folder.
void watchScreenshot(const QString &folder)
{
    XdgScreenshotFolder screenshots(folder);
    tamo::testing::FakePasteboard pasteboard;
    bench::Answers answers;
    ScreenshotWatcher watcher(screenshots, pasteboard, answers);
    watcher.start();
    QElapsedTimer clock;
    clock.start();
    {
        QFile file(folder + QStringLiteral("/Screenshot.png"));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the screenshot");
        file.write(smallPng());
        file.resize(qint64(1536) * 1024 * 1024); // sparse: costs no disk
    }
    // A screenshot is copied within a second; give it ten.
    bench::runUntil([&] { return !pasteboard.writes().isEmpty(); }, 10'000);
    const qint64 copied = pasteboard.writes().isEmpty() ? 0 : pasteboard.writes()[0].value(0).value(PasteboardType::png).size();
    std::printf("  peak %.0f MB after %.1f s: %s\n", bench::statusMegabytes("VmHWM:"), clock.elapsed() / 1000.0,
                copied ? qPrintable(QStringLiteral("copied %1 MB").arg(copied / 1048576.0, 0, 'f', 0))
                       : "not copied");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == u"--import")
        return importFile(arguments.value(2), arguments.value(3)), 0;
    if (arguments.value(1) == u"--screenshot")
        return watchScreenshot(arguments.value(2)), 0;

    // An argument picks the inputs whose names hold it.
    const QString only = arguments.value(1);
    std::printf("Hostile files (peak memory of a process of its own; target under 300 MB)\n");
    for (const Case &c : pinboardFiles) {
        if (!QLatin1StringView(c.name).contains(only))
            continue;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("hostile.tamocove"));
        {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(file));
            c.write(out);
        }
        std::printf("%s (%.0f MB)\n", c.name, QFileInfo(file).size() / 1048576.0);
        std::fflush(stdout);
        bench::runChild({QStringLiteral("--import"), dir.filePath(QStringLiteral("store")), file});
    }
    if (!QStringLiteral("screenshot").contains(only))
        return 0;
    QTemporaryDir folder;
    std::printf("a 1.5 GB \"*.png\" in the screenshot folder\n");
    std::fflush(stdout);
    bench::runChild({QStringLiteral("--screenshot"), folder.path()});
    return 0;
}
