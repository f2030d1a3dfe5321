// Quitting right after another app copied: the copy is read and kept before
// the app ends.
#include "X11AppFixture.h"

#include "app/QuitSignals.h"
#include "model/ClipItem.h"
#include "model/DefaultSettings.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"
#include "support/TestImages.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <csignal>

using namespace tamo;
using namespace tamo::testing;

namespace {

// Noise, so the PNG is as large as its pixels: 12 MB.
QByteArray largePng()
{
    QImage image(1800, 1800, QImage::Format_RGB32);
    QRandomGenerator generator(5);
    for (int y = 0; y < image.height(); ++y)
        generator.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.width());
    return encodedImage(image);
}

class X11QuitCaptureTest : public X11AppFixture
{
protected:
    quint32 currentOwner() const
    {
        const auto reply = x11::replyTo<xcb_get_selection_owner_reply>(
            x11.xcb, xcb_get_selection_owner(x11.xcb, x11::X11Properties(x11.xcb).atom("CLIPBOARD")));
        return reply ? reply->owner : quint32(XCB_WINDOW_NONE);
    }

    // Waits, leaving this process's events unhandled, until the X server
    // names another owner of the clipboard than `before`.
    bool waitForNewOwner(quint32 before) const
    {
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            if (const quint32 owner = currentOwner(); owner != before && owner != XCB_WINDOW_NONE)
                return true;
            QThread::msleep(5);
        }
        return false;
    }

    // SIGTERM 50 ms after the copy, then the event loop until the app quits.
    static bool quitSoonAfterTheCopy()
    {
        QThread::msleep(50);
        QuitSignals quitSignals;
        std::raise(SIGTERM);
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        giveUp.start(20000);
        return QCoreApplication::exec() == 0;
    }

    // Through a file, which must outlive the call: xclip reads it later.
    static std::unique_ptr<ChildProcess> xclip(const QString &target, const QByteArray &bytes, QTemporaryFile &input)
    {
        EXPECT_TRUE(input.open() && input.write(bytes) == bytes.size() && input.flush());
        return std::make_unique<ChildProcess>(QStringLiteral("xclip"),
                                              QStringList{QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                                          QStringLiteral("clipboard"), QStringLiteral("-t"), target,
                                                          QStringLiteral("-i"), input.fileName()});
    }

    const x11::X11Connection x11 = x11::X11Connection::fromApplication();
};

TEST_F(X11QuitCaptureTest, ACopyMadeJustBeforeTheQuitIsKept)
{
    registerDefaultSettings(defaults);
    struct Row
    {
        const char *name;
        QString target;
        QByteArray bytes;
        ClipKind kind;
        QString text;
    };
    const QList<Row> rows{
        {"a text", QStringLiteral("UTF8_STRING"), "copied right before the quit", ClipKind::text,
         QStringLiteral("copied right before the quit")},
        {"a 12 MB image", QStringLiteral("image/png"), largePng(), ClipKind::image, {}},
        {"a page of 256 KB of nested blocks", QStringLiteral("text/html"),
         QByteArray("<div>").repeated(256 * 1024 / 5) + "nested", ClipKind::text, QStringLiteral("nested")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TempDir store;
        DrawerPanel drawer;
        AppExtensions extensions;
        extensions.drawer = &drawer;
        AppModel model(platformServices(platform, defaults, clock, alerts, network), store.path(), extensions);
        start(model);
        const quint32 before = currentOwner();
        QTemporaryFile input;
        const auto owner = xclip(row.target, row.bytes, input);
        ASSERT_TRUE(waitForNewOwner(before)) << "the copy never reached the clipboard";

        ASSERT_TRUE(quitSoonAfterTheCopy());
        const QList<ClipItemPtr> clips = model.container().mainContext().fetch<ClipItem>(FetchDescriptor());
        ASSERT_EQ(clips.size(), 1);
        EXPECT_EQ(clips.first()->kind(), row.kind);
        if (row.kind == ClipKind::text) {
            EXPECT_EQ(clips.first()->text(), row.text);
        }
        // Nothing the capture started outlives the quit: the app's exit
        // waits for every worker.
        EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(20000));
    }
}

} // namespace
