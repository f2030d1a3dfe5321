// Reads of hostile Paste histories, each in a process of its own: peak
// memory (VmHWM) of the whole read, its time and outcome, and how long the
// read takes to end once cancelled halfway (as a quit cancels it).
//   - one row of 225 KB raw-DEFLATE JSON that inflates to 150 MB, and two
//   - a row holding a binary property list of 200 MB
//   - 30 rows naming a link to /dev/zero
//   - a database of 800 MB: 4 rows of 200 MB (DEFLATE JSON, stored blocks)
//   - the clip table a view over an endless recursive query
//   - a database of 450 KB: 20 rows of DEFLATE JSON holding 16M characters each
#include "transfer/PasteFixtures.h"
#include "ProcessStatus.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

using namespace tamo;
using namespace tamo::testing;
using namespace tamo::PasteImporter;

namespace {

// A raw-DEFLATE JSON item holding `chunks` times `base64` as its text,
// deflated at `level` a chunk at a time.
QByteArray deflatedJsonText(const QByteArray &base64, int chunks, int level)
{
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out;
    QByteArray buffer(4 * 1024 * 1024, Qt::Uninitialized);
    auto feed = [&](const QByteArray &bytes, int flush) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
        stream.avail_in = uInt(bytes.size());
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            deflate(&stream, flush);
            out.append(buffer.constData(), buffer.size() - qsizetype(stream.avail_out));
        } while (stream.avail_out == 0);
    };
    feed(R"([{"dataByType":{"public.utf8-plain-text":")", Z_NO_FLUSH);
    for (int i = 0; i < chunks; ++i)
        feed(base64, Z_NO_FLUSH);
    feed(R"("}}])", Z_FINISH);
    deflateEnd(&stream);
    return out;
}

// Base64 of random lowercase letters: a text that could have been copied.
QByteArray randomTextBase64(qsizetype bytes)
{
    QByteArray text(bytes, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &c : text)
        c = char('a' + generator.bounded(26));
    return text.toBase64();
}

struct Case
{
    const char *name;
    std::function<void(PasteHome &, const QString &home)> build;
};

// 150 MB of Base64 of "a"s: compresses about 1000 to 1.
QByteArray bombRow()
{
    return inlineValue(deflatedJsonText(QByteArray("YWFh").repeated(1024 * 1024), 36, 9));
}

const Case cases[] = {
    {"225 KB of DEFLATE JSON inflating to 150 MB",
     [](PasteHome &paste, const QString &) { paste.addPaste7Clip(1, 1.0, bombRow()); }},
    {"two rows of 225 KB of DEFLATE JSON inflating to 150 MB",
     [](PasteHome &paste, const QString &) {
         paste.addPaste7Clip(1, 1.0, bombRow());
         paste.addPaste7Clip(2, 2.0, bombRow());
     }},
    {"a row holding a binary property list of 200 MB",
     [](PasteHome &paste, const QString &) {
         RawPlist plist;
         const quint32 text = plist.data(QByteArray("copied text ").repeated(200 * 1024 * 1024 / 12));
         const quint32 dataByType = plist.dictionary({plist.string("public.utf8-plain-text")}, {text});
         const quint32 item = plist.dictionary({plist.string("dataByType")}, {dataByType});
         paste.addPaste7Clip(1, 1.0, inlineValue(plist.bytes(plist.array({item}))));
     }},
    {"30 rows naming a link to /dev/zero",
     [](PasteHome &paste, const QString &) {
         const QString external = paste.locations().paste7Folder + QStringLiteral("/.db_SUPPORT/_EXTERNAL_DATA");
         QDir().mkpath(external);
         QFile::link(QStringLiteral("/dev/zero"), external + QStringLiteral("/zero"));
         for (int key = 1; key <= 30; ++key)
             paste.addPaste7Clip(key, double(key), QByteArray("\x02zero"));
     }},
    {"800 MB database, 4 rows of 200 MB",
     [](PasteHome &paste, const QString &) {
         // Base64 of text in stored DEFLATE blocks: 200 MB a row.
         const QByteArray chunk = randomTextBase64(3 * 1024 * 1024);
         const QByteArray row = inlineValue(deflatedJsonText(chunk, 50, 0));
         for (int key = 1; key <= 4; ++key)
             paste.addPaste7Clip(key, double(key), row);
     }},
    {"a clip table over an endless recursive query",
     [](PasteHome &paste, const QString &) { paste.makeEndlessClipView(); }},
    {"450 KB database, 20 rows of 16M characters",
     [](PasteHome &paste, const QString &) {
         const QByteArray row = inlineValue(deflatedJsonText(QByteArray("YWFh").repeated(16 * 1024 * 1024 / 3), 1, 9));
         for (int key = 1; key <= 20; ++key)
             paste.addPaste7Clip(key, double(key), row);
     }},
    {"20 rows of 16M characters, each a different text",
     [](PasteHome &paste, const QString &) {
         for (int key = 1; key <= 20; ++key) {
             const QByteArray letters = QByteArray(3, char('a' + key)).toBase64();
             paste.addPaste7Clip(key, double(key),
                                 inlineValue(deflatedJsonText(letters.repeated(16 * 1024 * 1024 / 3), 1, 9)));
         }
     }},
};

ReadEnvironment environmentFor(const QString &home, const QString &temporary)
{
    ReadEnvironment environment{home, temporary, [] { return true; },
                                [](const QString &folder) { return QDir(folder).exists() ? 0 : ENOENT; }};
    environment.spoolFolder = temporary;
    return environment;
}

QString outcome(const std::function<Snapshot()> &read)
{
    try {
        const Snapshot snapshot = read();
        return QStringLiteral("%1 clips, %2 skipped").arg(snapshot.clips.size()).arg(snapshot.unreadable);
    } catch (const ImportError &error) {
        return error.text();
    }
}

// In the child: the read, then a second one cancelled halfway.
int measure(const QString &home, const QString &temporary)
{
    QElapsedTimer timer;
    timer.start();
    const QString whole = outcome([&] { return readPaste7Snapshot(environmentFor(home, temporary)); });
    const qint64 took = timer.elapsed();
    const double peak = bench::statusMegabytes("VmHWM:");

    ReadEnvironment cancelled = environmentFor(home, temporary);
    QFuture<QString> read = QtConcurrent::run([cancelled] { return outcome([&] { return readPaste7Snapshot(cancelled); }); });
    QThread::msleep(qMax<qint64>(took / 2, 1));
    timer.restart();
    cancelled.cancelled->store(true);
    read.waitForFinished();
    std::printf("  read %lld ms, peak %.0f MB: %s\n  cancelled halfway: ended %lld ms later\n", took, peak,
                qPrintable(whole), timer.elapsed());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--measure"))
        return measure(arguments[2], arguments[3]);

    std::printf("Hostile Paste histories (peak memory of a process of its own)\n");
    for (const Case &c : cases) {
        QTemporaryDir home;
        QTemporaryDir temporary;
        {
            PasteHome paste(home.path());
            paste.paste7();
            c.build(paste, home.path());
            paste.close();
        }
        std::printf("%s\n", c.name);
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--measure"), home.path(), temporary.path()});
        child.waitForFinished(-1);
    }
    return 0;
}
