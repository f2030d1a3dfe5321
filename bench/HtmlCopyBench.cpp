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
#include <QGuiApplication>
#include <QProcess>

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

    // Another app owns the clipboard with `bytes` as `target`; false when it
    // never did.
    bool copy(const QString &target, const QByteArray &bytes)
    {
        auto xclip = std::make_unique<QProcess>();
        xclip->start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                               QStringLiteral("clipboard"), QStringLiteral("-t"), target});
        xclip->write(bytes);
        xclip->closeWriteChannel();
        const qint64 pid = xclip->processId();
        m_owners.push_back(std::move(xclip));
        return bench::runUntil([&] { return m_pasteboard.ownerProcessID() == pid; }, 20000);
    }

private:
    x11::X11Pasteboard &m_pasteboard;
    std::vector<std::unique_ptr<QProcess>> m_owners;
};

// One page in this process; prints its line.
int measure(const Page &page)
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
    const QByteArray html = page.html();
    const double baseline = bench::statusMegabytes("VmHWM:");

    Copier copier(desktop.pasteboard);
    clock.start();
    if (!copier.copy(QStringLiteral("text/html"), html)) {
        std::printf("  %-24s the page never reached the clipboard\n", page.name);
        return 1;
    }
    bench::runUntil([&] { return pageKeptMs >= 0; }, 10000);
    qint64 longestHoldMs = 0;
    int laterKept = 0;
    for (int copy = 1; copy <= laterCopies && clock.elapsed() < caseLimitMs; ++copy) {
        const QString text = QStringLiteral("later copy %1").arg(copy);
        if (!copier.copy(QStringLiteral("UTF8_STRING"), text.toUtf8()))
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
                page.name, double(html.size()) / (1024 * 1024), bench::statusMegabytes("VmHWM:"), baseline,
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
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--page"))
        return measure(pages.at(arguments[2].toULongLong()));

    std::printf("HTML-only copies (targets: peak < 300 MB, no hold over 1 s):\n");
    std::fflush(stdout);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        // A process of its own: its peak is this page's alone.
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--page"), QString::number(i)});
        child.waitForFinished(-1);
    }
    return 0;
}
