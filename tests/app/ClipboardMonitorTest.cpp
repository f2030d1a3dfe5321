#include "app/CaptureDrafts.h"
#include "model/StoredFilePath.h"
#include "app/ClipboardMonitor.h"
#include "support/TestImages.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "support/FakePasteboard.h"
#include "support/FakeWorkspace.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QImage>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>

using namespace tamo;
using tamo::testing::FakePasteboard;
using tamo::testing::FakeWorkspace;
using tamo::testing::TempDir;

namespace {

const AppInfo editor{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor")};
const AppInfo terminal{QStringLiteral("org.gnome.Terminal"), QStringLiteral("Terminal")};
const AppInfo keePass{QStringLiteral("org.keepassxc.KeePassXC"), QStringLiteral("KeePassXC")};
// Another desktop entry that runs KeePassXC's program.
const AppInfo keePassSettings{QStringLiteral("org.keepassxc.KeePassXC-settings"), QStringLiteral("KeePassXC Settings")};
constexpr qint64 editorPid = 4100;

using tamo::testing::encodedImage;

QImage redSquare(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

QString textOf(const ClipDraft &draft)
{
    return draft.text.value_or(QStringLiteral("<no text>"));
}

// The monitor on fakes, with the settings as a fresh installation has them
// and the text editor owning what is copied.
class ClipboardMonitorTest : public ::testing::Test
{
protected:
    ClipboardMonitorTest()
    {
        registerDefaultSettings(defaults);
        workspace.setProcess(editorPid, editor);
    }

    void startMonitor()
    {
        monitor = std::make_unique<ClipboardMonitor>(pasteboard, workspace, defaults);
        QObject::connect(monitor.get(), &ClipboardMonitor::captured,
                         [this](const ClipDraft &draft) { drafts.append(draft); });
        monitor->start();
    }

    // Returns once the monitor has handled the copy: noticed, read on the
    // pool and handed on.
    void copy(const PasteboardItem &item, std::optional<qint64> owner = editorPid)
    {
        pasteboard.copy(item, owner);
        QCoreApplication::processEvents();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    // What the copy of `item` became: a plain text copied after it marks the
    // end, since an image is decoded on another thread and may yield nothing.
    QList<ClipDraft> capturesOf(const PasteboardItem &item)
    {
        const qsizetype before = drafts.size();
        copy(item);
        copy({{PasteboardType::string, "end marker"}});
        const bool ended = QTest::qWaitFor(
            [&] { return drafts.size() > before && textOf(drafts.last()) == QLatin1String("end marker"); }, 10000);
        EXPECT_TRUE(ended) << "the end marker was never captured";
        return drafts.mid(before, drafts.size() - before - 1);
    }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    std::unique_ptr<ClipboardMonitor> monitor;
    QList<ClipDraft> drafts;
};

TEST_F(ClipboardMonitorTest, WhatWasCopiedBeforeLaunchIsNeverCaptured)
{
    pasteboard.copy({{PasteboardType::string, "from before launch"}}, editorPid);
    startMonitor();

    copy({{PasteboardType::string, "after launch"}});

    ASSERT_EQ(drafts.size(), 1);
    EXPECT_EQ(textOf(drafts[0]), QStringLiteral("after launch"));
}

// A main thread that comes round late finds a burst of changes at once.
TEST_F(ClipboardMonitorTest, EachChangeOfABurstIsHandledOnceInOrder)
{
    startMonitor();
    workspace.setProcess(editorPid + 1, terminal);
    pasteboard.copy({{PasteboardType::string, "first of the burst"}}, editorPid + 1);
    pasteboard.copy({{PasteboardType::string, "second of the burst"}}, editorPid);
    copy({{PasteboardType::string, "last of the burst"}});
    // Long enough for the poll to come round as well.
    QTest::qWait(400);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();

    ASSERT_EQ(drafts.size(), 3);
    EXPECT_EQ(textOf(drafts[0]), QStringLiteral("first of the burst"));
    EXPECT_EQ(drafts[0].sourceBundleID, terminal.bundleID);
    EXPECT_EQ(textOf(drafts[1]), QStringLiteral("second of the burst"));
    EXPECT_EQ(textOf(drafts[2]), QStringLiteral("last of the burst"));
    EXPECT_EQ(drafts[2].sourceBundleID, editor.bundleID);
    EXPECT_EQ(drafts[2].sourceAppName, editor.name);
}

TEST_F(ClipboardMonitorTest, PrivacyRulesKeepCopiesOutOfTheHistory)
{
    const QByteArray utf16Url = [] {
        const QString url = QStringLiteral("moz-extension://5f1e/passwords.html");
        return QByteArray(reinterpret_cast<const char *>(url.utf16()), url.size() * 2);
    }();
    const QString secret = QStringLiteral("export TOKEN=") + QStringLiteral("ghp_")
                           + QStringLiteral("z9o6xi99fLJJ515cbpKf9YYueE0gCP0bUAhL");
    struct Row
    {
        const char *name;
        PasteboardItem item;
        QVariantMap settings;
        bool kept;
        AppInfo source = editor;
    };
    const QList<Row> rows{
        {"password-manager hint (concealed)", {{PasteboardType::string, "hunter2"}, {PasteboardType::concealed, "secret"}},
         {{keys::saveAutomaticCopies, true}}, false},
        {"transient marker", {{PasteboardType::string, "one-time"}, {PasteboardType::transient, ""}}, {}, false},
        {"1Password marker", {{PasteboardType::string, "pw"}, {PasteboardType::onePassword, ""}}, {}, false},
        {"automatic copy, setting off", {{PasteboardType::string, "selected"}, {PasteboardType::autoGenerated, ""}},
         {}, false},
        {"automatic copy, setting on", {{PasteboardType::string, "selected"}, {PasteboardType::autoGenerated, ""}},
         {{keys::saveAutomaticCopies, true}}, true},
        {"ignored app", {{PasteboardType::string, "entry"}}, {{keys::ignoredApps, QStringList{keePass.bundleID}}},
         false, keePass},
        {"app not ignored", {{PasteboardType::string, "entry"}}, {{keys::ignoredApps, QStringList{keePass.bundleID}}},
         true, editor},
        {"nothing ignored", {{PasteboardType::string, "entry"}}, {{keys::ignoredApps, QStringList()}}, true, keePass},
        {"ignored app, copy credited to another entry of its program", {{PasteboardType::string, "entry"}},
         {{keys::ignoredApps, QStringList{keePass.bundleID}}}, false, keePassSettings},
        {"ignored under another entry of the program", {{PasteboardType::string, "entry"}},
         {{keys::ignoredApps, QStringList{keePassSettings.bundleID}}}, false, keePass},
        {"browser password page", {{PasteboardType::string, "pw"}, {"chromium/x-source-url", "chrome://password-manager/passwords"}},
         {}, false},
        {"password page named in capitals", {{PasteboardType::string, "pw"}, {"chromium/x-source-url", "CHROME://PASSWORD-MANAGER/"}},
         {}, false},
        {"password page in UTF-16", {{PasteboardType::string, "pw"}, {"text/x-moz-url-priv", utf16Url}}, {}, false},
        {"web page about passwords", {{PasteboardType::string, "tips"}, {"chromium/x-source-url", "https://example.com/PASSWORDS"}},
         {}, true},
        {"browser page without password", {{PasteboardType::string, "x"}, {"chromium/x-source-url", "chrome://settings/"}},
         {}, true},
        {"secret, skipping on", {{PasteboardType::string, secret.toUtf8()}}, {{keys::skipSecrets, true}}, false},
        {"secret, skipping off", {{PasteboardType::string, secret.toUtf8()}}, {{keys::skipSecrets, false}}, true},
        {"secret in a file copy, skipping on",
         {{PasteboardType::fileURL, "file:///tmp/notes.txt\r\n"}, {PasteboardType::string, secret.toUtf8()}},
         {{keys::skipSecrets, true}}, false},
    };
    workspace.setSameApp({keePass.bundleID, keePassSettings.bundleID});
    startMonitor();
    qint64 pid = 5000;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        for (auto it = row.settings.cbegin(); it != row.settings.cend(); ++it)
            defaults.setValue(it.key(), it.value());
        workspace.setProcess(++pid, row.source);
        const qsizetype before = drafts.size();

        copy(row.item, pid);

        EXPECT_EQ(drafts.size() - before, row.kept ? 1 : 0);
        for (auto it = row.settings.cbegin(); it != row.settings.cend(); ++it)
            defaults.remove(it.key());
    }
}

TEST_F(ClipboardMonitorTest, SourceIsTheOwnersAppElseTheFrontmostOne)
{
    workspace.activate(terminal);
    startMonitor();

    copy({{PasteboardType::string, "owner known"}}, editorPid);
    copy({{PasteboardType::string, "owner unknown"}}, 999);
    copy({{PasteboardType::string, "no owner"}}, std::nullopt);
    workspace.activate(AppInfo());
    copy({{PasteboardType::string, "nothing in front"}}, std::nullopt);

    ASSERT_EQ(drafts.size(), 4);
    EXPECT_EQ(drafts[0].sourceBundleID, editor.bundleID);
    EXPECT_EQ(drafts[1].sourceBundleID, terminal.bundleID);
    EXPECT_EQ(drafts[2].sourceBundleID, terminal.bundleID);
    EXPECT_EQ(drafts[3].sourceBundleID, std::nullopt);
    EXPECT_EQ(drafts[3].sourceAppName, std::nullopt);
}

TEST_F(ClipboardMonitorTest, DraftIsBuiltFromTheFirstKindTheCopyHolds)
{
    const QByteArray png = encodedImage(redSquare(6), "PNG");
    const QByteArray tiff = encodedImage(redSquare(5), "TIFF");
    struct Row
    {
        const char *name;
        PasteboardItem item;
        std::optional<ClipKind> kind; // nothing captured when absent
        QString text = {};
        QSize imageSize = {};
        QStringList filePaths = {};
        std::optional<QByteArray> rtf = {};
        std::optional<QString> title = {};
    };
    const QByteArray largest(CaptureDrafts::largestText, 'a');
    QByteArray longList;
    QStringList keptFiles;
    for (int i = 0; i <= PasteboardContents::mostFiles; ++i) {
        const QString path = QStringLiteral("/tmp/f%1").arg(i);
        longList += "file://" + path.toUtf8() + "\r\n";
        if (i < PasteboardContents::mostFiles)
            keptFiles.append(path);
    }
    const QString longestPath = u'/' + QString(StoredFilePath::longest - 1, u'a');
    const QList<Row> rows{
        {"files beat text",
         {{PasteboardType::fileURL, "file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n"}, {PasteboardType::string, "/tmp/a b.txt"}},
         ClipKind::file, {}, {}, {QStringLiteral("/tmp/a b.txt"), QStringLiteral("/tmp/c")}},
        {"another host's files and NUL bytes are no local files",
         {{PasteboardType::fileURL, "file://elsewhere/tmp/a\r\nfile:///tmp/a%00b\r\nfile://localhost/tmp/c\r\n"}},
         ClipKind::file, {}, {}, {QStringLiteral("/tmp/c")}},
        {"a list of more files than a clip keeps gives its first ones, titled as cut",
         {{PasteboardType::fileURL, longList}}, ClipKind::file, {}, {}, keptFiles, std::nullopt,
         QStringLiteral("The first %1 files of a longer list").arg(QLocale().toString(PasteboardContents::mostFiles))},
        {"a path longer than any file's is left out",
         {{PasteboardType::fileURL, "file://" + longestPath.toUtf8() + "a\r\nfile://" + longestPath.toUtf8()}},
         ClipKind::file, {}, {}, {longestPath}},
        {"text with its RTF", {{PasteboardType::string, "  Hello\n"}, {PasteboardType::rtf, "{\\rtf1 Hello}"}},
         ClipKind::text, "  Hello\n", {}, {}, QByteArray("{\\rtf1 Hello}")},
        {"text with its HTML, where the copy has no RTF",
         {{PasteboardType::string, "Hello"}, {PasteboardType::html, "<b>Hello</b>"}},
         ClipKind::text, "Hello", {}, {}, QByteArray("<b>Hello</b>")},
        {"RTF before HTML", {{PasteboardType::string, "Hi"}, {PasteboardType::html, "<b>Hi</b>"},
                             {PasteboardType::rtf, "{\\rtf1 Hi}"}},
         ClipKind::text, "Hi", {}, {}, QByteArray("{\\rtf1 Hi}")},
        {"text beats PNG", {{PasteboardType::string, "caption"}, {PasteboardType::png, png}}, ClipKind::text, "caption"},
        {"white space falls to the image", {{PasteboardType::string, " \n\t"}, {PasteboardType::png, png}},
         ClipKind::image, {}, {6, 6}},
        {"PNG beats TIFF", {{PasteboardType::png, png}, {PasteboardType::tiff, tiff}}, ClipKind::image, {}, {6, 6}},
        {"TIFF alone", {{PasteboardType::tiff, tiff}}, ClipKind::image, {}, {5, 5}},
        {"invalid UTF-8", {{PasteboardType::string, QByteArray("ok \xff\xfe end")}}, ClipKind::text,
         QStringLiteral("ok \uFFFD\uFFFD end")},
        {"a text of the largest size is whole", {{PasteboardType::string, largest}}, ClipKind::text,
         QString::fromLatin1(largest)},
        {"a longer text keeps its beginning, titled with the cut",
         {{PasteboardType::string, largest + QByteArray(3 << 20, 'b')}, {PasteboardType::rtf, "{\\rtf1 x}"}},
         ClipKind::text, QString::fromLatin1(largest), {}, {}, std::nullopt,
         QStringLiteral("Cut to the first 16 MB of 19 MB")},
        {"unreadable PNG", {{PasteboardType::png, "not a png"}}, std::nullopt},
        {"only HTML", {{"text/html", "<b>bold</b>"}}, std::nullopt},
        {"empty clipboard", {}, std::nullopt},
    };
    startMonitor();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QList<ClipDraft> captured = capturesOf(row.item);
        ASSERT_EQ(captured.size(), row.kind ? 1 : 0);
        if (!row.kind)
            continue;
        const ClipDraft &draft = captured[0];
        EXPECT_EQ(draft.kind, *row.kind);
        EXPECT_EQ(draft.sourceBundleID, editor.bundleID);
        EXPECT_EQ(draft.text, row.text.isNull() ? std::nullopt : std::optional(row.text));
        EXPECT_EQ(draft.rtfData, row.rtf);
        EXPECT_EQ(draft.filePaths, row.filePaths);
        EXPECT_EQ(draft.title, row.title);
        if (draft.kind == ClipKind::image) {
            EXPECT_EQ(QSize(draft.imageWidth, draft.imageHeight), row.imageSize);
            EXPECT_EQ(QImage::fromData(*draft.imageData, "PNG").size(), row.imageSize);
        }
    }
}

TEST_F(ClipboardMonitorTest, CopyImageInAnImageViewerIsItsImageNotItsFile)
{
    // Eye of GNOME and its forks offer the picture, its address as text and as a uri-list.
    const struct
    {
        const char *id;
        ClipKind kind;
    } rows[] = {
        {"org.gnome.eog", ClipKind::image},
        {"eog", ClipKind::image},
        {"eom", ClipKind::image},
        {"xviewer", ClipKind::image},
        {"org.gnome.Nautilus", ClipKind::file},
    };
    const PasteboardItem photo{{PasteboardType::fileURL, "file:///tmp/IMG_0001.png\r\n"},
                               {PasteboardType::string, "/tmp/IMG_0001.png"},
                               {PasteboardType::png, encodedImage(redSquare(3), "PNG")}};
    startMonitor();
    qint64 pid = editorPid;
    for (const auto &row : rows) {
        const AppInfo app{QString::fromUtf8(row.id), QStringLiteral("Viewer")};
        workspace.setProcess(++pid, app);
        drafts.clear();
        copy(photo, pid);
        ASSERT_TRUE(QTest::qWaitFor([&] { return drafts.size() == 1; }, 10000)) << row.id;
        EXPECT_EQ(drafts[0].kind, row.kind) << row.id;
        EXPECT_EQ(drafts[0].sourceBundleID, app.bundleID) << row.id;
    }
}

TEST_F(ClipboardMonitorTest, OwnWriteIsSkippedButTheNextCopyIsCaptured)
{
    startMonitor();
    // As the paste writer does: the write announces itself before the writer
    // learns its change count.
    const std::optional<int> written = pasteboard.writeItems({{{PasteboardType::string, "pasted clip"}}});
    ASSERT_TRUE(written);
    monitor->skipChange(*written);
    QCoreApplication::processEvents();
    copy({{PasteboardType::string, "copied after"}});

    ASSERT_EQ(drafts.size(), 1);
    EXPECT_EQ(textOf(drafts[0]), QStringLiteral("copied after"));
}

TEST_F(ClipboardMonitorTest, TextCopiedAfterAnImageWaitsForIt)
{
    // One worker, held busy: the image cannot be decoded until released.
    QThreadPool &pool = *QThreadPool::globalInstance();
    const int workers = pool.maxThreadCount();
    pool.setMaxThreadCount(1);
    QSemaphore release;
    pool.start([&release] { release.acquire(); });
    startMonitor();

    pasteboard.copy({{PasteboardType::png, encodedImage(redSquare(4), "PNG")}}, editorPid);
    QCoreApplication::processEvents();
    pasteboard.copy({{PasteboardType::string, "copied after the image"}}, editorPid);
    QCoreApplication::processEvents();
    EXPECT_TRUE(drafts.isEmpty()) << "the text overtook the image, or the image was decoded on this thread";

    release.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drafts.size() == 2; }, 10000));
    pool.setMaxThreadCount(workers);
    ASSERT_EQ(drafts.size(), 2);
    EXPECT_EQ(drafts[0].kind, ClipKind::image);
    EXPECT_EQ(textOf(drafts[1]), QStringLiteral("copied after the image"));
}

} // namespace
