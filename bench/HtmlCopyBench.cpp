// Copies offered only as HTML, each in a process of its own on the X server
// of DISPLAY: xclip offers the page as text/html alone, and twelve ordinary
// copies follow, the first once the page's text was kept or the copy's 10 s
// deadline passed, each later one once the one before it was captured.
// Prints the peak memory (VmHWM) of the capturing process, when the page's
// own text was kept, and the longest hold of capture: the longest time a
// later copy waited from its claim of the clipboard to its capture.
// Targets: every peak under 300 MB, no hold over 1 s.
//   - 256 KB of nested <div>
//   - 64 KB of nested <div>
//   - an 18 MB flat table
#include "ProcessStatus.h"
#include "X11Desktop.h"

#include "app/ClipboardMonitor.h"
#include "model/DefaultSettings.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryFile>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace tamo;

namespace {

constexpr int laterCopies = 12;
// However long a hold, the case ends after this.
constexpr int caseLimitMs = 150'000;

struct Page
{
    const char *name;
    std::function<QByteArray()> html;
};

QByteArray nestedDivs(qsizetype bytes)
{
    const qsizetype depth = bytes / 11;
    return QByteArray("<div>").repeated(depth) + "nested" + QByteArray("</div>").repeated(depth);
}

QByteArray flatTable(qsizetype bytes)
{
    const QByteArray row = "<tr><td>cell of a flat table</td><td>12345</td></tr>\n";
    return "<table>" + row.repeated(bytes / row.size()) + "</table>";
}

const std::vector<Page> pages{
    {"256 KB of nested <div>", [] { return nestedDivs(256 * 1024); }},
    {"64 KB of nested <div>", [] { return nestedDivs(64 * 1024); }},
    {"an 18 MB flat table", [] { return flatTable(18 * 1024 * 1024); }},
};

class Copier
{
public:
    explicit Copier(x11::X11Pasteboard &pasteboard) : m_pasteboard(pasteboard) {}
    ~Copier()
    {
        for (const std::unique_ptr<QProcess> &owner : m_owners) {
            owner->kill();
            owner->waitForFinished();
        }
    }
    Copier(const Copier &) = delete;
    Copier &operator=(const Copier &) = delete;

    // Another app owns the clipboard with `text`; false when it never did.
    bool copyText(const QString &text)
    {
        QProcess &xclip = start({QStringLiteral("-t"), QStringLiteral("UTF8_STRING")});
        xclip.write(text.toUtf8());
        xclip.closeWriteChannel();
        return owned(xclip);
    }

    // Another app owns the clipboard with the file's bytes as `target`.
    bool copyFile(const QString &target, const QString &path)
    {
        return owned(start({QStringLiteral("-t"), target, QStringLiteral("-i"), path}));
    }

private:
    QProcess &start(const QStringList &arguments)
    {
        m_owners.push_back(std::make_unique<QProcess>());
        m_owners.back()->start(QStringLiteral("xclip"),
                               QStringList{QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                           QStringLiteral("clipboard")}
                                   + arguments);
        return *m_owners.back();
    }

    bool owned(const QProcess &xclip)
    {
        const qint64 pid = xclip.processId();
        return bench::runUntil([&] { return m_pasteboard.ownerProcessID() == pid; }, 20000);
    }

    x11::X11Pasteboard &m_pasteboard;
    std::vector<std::unique_ptr<QProcess>> m_owners;
};

// One page, written to `path`, in this process; prints its line.
int measure(const Page &page, const QString &path)
{
    bench::X11Desktop desktop;
    registerDefaultSettings(desktop.defaults);
    ClipboardMonitor monitor(desktop.pasteboard, desktop.workspace, desktop.defaults);
    QStringList kept;
    QElapsedTimer clock;
    qint64 pageKeptMs = -1;
    QObject::connect(&monitor, &ClipboardMonitor::captured, [&](const ClipDraft &draft) {
        kept.append(draft.text.value_or(QString()));
        if (kept.last() == QStringLiteral("nested") || kept.last().startsWith(QStringLiteral("cell")))
            pageKeptMs = clock.elapsed();
    });
    monitor.start();
    const double baseline = bench::statusMegabytes("VmHWM:");

    Copier copier(desktop.pasteboard);
    clock.start();
    if (!copier.copyFile(QStringLiteral("text/html"), path)) {
        std::printf("  %-24s the page never reached the clipboard\n", page.name);
        return 1;
    }
    bench::runUntil([&] { return pageKeptMs >= 0; }, 10000);
    qint64 longestHoldMs = 0;
    int laterKept = 0;
    for (int copy = 1; copy <= laterCopies && clock.elapsed() < caseLimitMs; ++copy) {
        const QString text = QStringLiteral("later copy %1").arg(copy);
        if (!copier.copyText(text))
            break;
        const qint64 claimedMs = clock.elapsed();
        const bool captured = bench::runUntil([&] { return kept.contains(text); },
                                              int(std::max<qint64>(0, caseLimitMs - clock.elapsed())));
        longestHoldMs = std::max(longestHoldMs, clock.elapsed() - claimedMs);
        if (!captured)
            break;
        ++laterKept;
    }
    const QString pageKept =
        pageKeptMs < 0 ? QStringLiteral("not kept") : QStringLiteral("kept after %1 ms").arg(pageKeptMs);
    std::printf("  %-24s %5.1f MB page: peak %6.0f MB (%.0f MB before it), text %s, "
                "later copies kept %d/%d, longest hold %lld ms%s\n",
                page.name, double(QFileInfo(path).size()) / (1024 * 1024), bench::statusMegabytes("VmHWM:"), baseline,
                qPrintable(pageKept), laterKept, laterCopies, static_cast<long long>(longestHoldMs),
                laterKept < laterCopies ? " (gave up)" : "");
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("HTML-only copies: not measured (needs an X server in DISPLAY)\n");
        return 0;
    }
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--page"))
        return measure(pages.at(arguments[2].toULongLong()), arguments[3]);

    std::printf("HTML-only copies (targets: peak < 300 MB, no hold over 1 s):\n");
    std::fflush(stdout);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        QTemporaryFile file;
        if (!file.open() || file.write(pages[i].html()) < 0 || !file.flush()) {
            std::printf("  %-24s could not be written: %s\n", pages[i].name, qPrintable(file.errorString()));
            continue;
        }
        // A process of its own: its peak is this page's alone.
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--page"), QString::number(i), file.fileName()});
        child.waitForFinished(-1);
    }
    return 0;
}
