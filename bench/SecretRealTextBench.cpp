// How often the secret scan takes ordinary text for a secret, on a large
// body of text nobody here wrote: this machine's /usr/share/doc (decompressed),
// a few hundred man pages rendered as text, /usr/include and Python's library.
// The body is cut into pieces of 1 to 200 lines, as people copy them, from a
// fixed seed, and every piece is scanned as one copy. Each flagged piece is
// narrowed to the fewest lines still flagged and printed; flags on the
// documentation examples listed below are counted apart, each judged there.
//
//   tamo_secret_real_text_bench [megabytes per source, default 17]
#include "secrets/SecretDetector.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QThreadPool>
#include <QtConcurrent>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

using namespace tamo;

namespace {

// Credentials that documentation prints as examples, each judged by hand:
// a flag on one is right (it looks like a real credential and is shaped as
// one), and the copy is a credential's example, not everyday text.
struct DocumentedExample
{
    const char *file;    // part of the path it is in
    const char *text;    // what the flagged lines hold
    const char *verdict; // why it is fine to skip the copy
};

const DocumentedExample documentedExamples[] = {
    {"oauthlib/oauth2/rfc6749", "SplxlOBeZQQYbYS6WxSbIA", "RFC 6749's example authorization code, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "2YotnFZFEjr1zCsicMWpAA", "RFC 6749's example access token, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "tGzv3JOkF0XG5Qx2TlKWIA", "RFC 6749's example refresh token, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "czZCaGRSa3F0MzpnWDFmQmF0M2JW", "RFC 6749's example client credentials (s6BhdRkqt3:gX1fBat3bV) in Basic form"},
    {"oauthlib/oauth2/rfc6749", "45ghiukldjahdnhzdauz", "RFC 7009's example token to revoke, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "u3F05aEObJuP2k7DordviIgW5wl52N", "a test's authorization code in a redirect URL, shaped as a real one"},
    {"oauthlib/oauth1/rfc5849", "0685bd9184jfhq22", "RFC 5849's example consumer key, in a docstring quoting the RFC"},
    {"urllib/request.py", "geheim$parole", "the module's docstring example of a password given to a password manager"},
};

struct Piece
{
    QString source;
    int firstLine;
    QStringList lines;
};

constexpr qint64 maxFileSize = 4 * 1024 * 1024;

QByteArray gunzipped(const QString &path)
{
    QByteArray bytes;
    gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return bytes;
    char buffer[64 * 1024];
    for (int read; (read = gzread(file, buffer, sizeof buffer)) > 0 && bytes.size() < maxFileSize;)
        bytes.append(buffer, read);
    gzclose(file);
    return bytes;
}

// A text file's contents; binary files (holding a NUL) give none.
QString textOf(const QString &path)
{
    QByteArray bytes;
    if (path.endsWith(u".gz")) {
        bytes = gunzipped(path);
    } else {
        QFile file(path);
        if (file.size() > maxFileSize || !file.open(QIODevice::ReadOnly))
            return {};
        bytes = file.readAll();
    }
    if (bytes.contains('\0'))
        return {};
    return QString::fromUtf8(bytes);
}

QStringList sortedFiles(const QString &root, const QStringList &nameFilters)
{
    QStringList files;
    QDirIterator it(root, nameFilters, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

// Files of `files` in a fixed shuffled order until `budget` characters are read.
QList<std::pair<QString, QString>> readUpTo(QStringList files, qint64 budget, std::mt19937 &random)
{
    std::shuffle(files.begin(), files.end(), random);
    QList<std::pair<QString, QString>> texts;
    qint64 read = 0;
    for (const QString &path : files) {
        if (read >= budget)
            break;
        QString text = textOf(path);
        if (text.isEmpty())
            continue;
        read += text.size();
        texts.append({path, std::move(text)});
    }
    return texts;
}

QString renderedManPage(const QString &path)
{
    QProcess man;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MANWIDTH", "80");
    environment.insert("MAN_KEEP_FORMATTING", "0");
    man.setProcessEnvironment(environment);
    man.start("man", {"-l", path});
    man.waitForFinished(60000);
    return QString::fromUtf8(man.readAllStandardOutput());
}

QList<std::pair<QString, QString>> manPages(int count, std::mt19937 &random)
{
    QStringList pages;
    for (const char *section : {"man1", "man3", "man5", "man8"})
        pages += sortedFiles(QStringLiteral("/usr/share/man/") + section, {"*.gz"});
    std::shuffle(pages.begin(), pages.end(), random);
    pages = pages.first(std::min<qsizetype>(count, pages.size()));
    QThreadPool pool;
    pool.setMaxThreadCount(4);
    const QStringList rendered = QtConcurrent::blockingMapped<QStringList>(&pool, pages, renderedManPage);
    QList<std::pair<QString, QString>> texts;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (!rendered[i].isEmpty())
            texts.append({pages[i], rendered[i]});
    }
    return texts;
}

// Consecutive runs of 1 to 200 lines, as a person selects them: a line or a
// few far more often than a whole screen (lengths spread evenly on a log scale).
void cut(const QString &source, const QString &text, std::mt19937 &random, QList<Piece> &pieces)
{
    const QStringList lines = text.split(u'\n');
    std::uniform_real_distribution<double> logLength(0, std::log(200.0));
    for (qsizetype at = 0; at < lines.size();) {
        const qsizetype take = std::min<qsizetype>(qsizetype(std::exp(logLength(random))), lines.size() - at);
        pieces.append({source, int(at) + 1, lines.mid(at, take)});
        at += take;
    }
}

bool flagged(const QStringList &lines, qsizetype first, qsizetype count)
{
    return SecretDetector::containsSecret(lines.mid(first, count).join(u'\n'));
}

// The fewest lines at the start and end of the piece still flagged.
std::pair<qsizetype, qsizetype> narrowed(const QStringList &lines)
{
    qsizetype first = 0;
    qsizetype count = lines.size();
    while (count > 1 && flagged(lines, first + 1, count - 1)) {
        ++first;
        --count;
    }
    while (count > 1 && flagged(lines, first, count - 1))
        --count;
    return {first, count};
}

const DocumentedExample *listedExample(const Piece &piece, const QString &part)
{
    for (const DocumentedExample &example : documentedExamples) {
        if (piece.source.contains(QLatin1String(example.file)) && part.contains(QLatin1String(example.text)))
            return &example;
    }
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 perSource = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 17) * 1024 * 1024;
    std::mt19937 random(20261207);

    QList<std::pair<QString, QString>> texts;
    texts += readUpTo(sortedFiles("/usr/share/doc", {}), perSource, random);
    texts += manPages(300, random);
    texts += readUpTo(sortedFiles("/usr/include", {}), perSource, random);
    QStringList python;
    for (const QFileInfo &folder : QDir("/usr/lib").entryInfoList({"python3*"}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        python += sortedFiles(folder.filePath(), {"*.py"});
    texts += readUpTo(python, perSource, random);

    QList<Piece> pieces;
    qint64 characters = 0;
    for (const auto &[source, text] : texts) {
        cut(source, text, random, pieces);
        characters += text.size();
    }
    const double megabytes = double(characters) / (1024 * 1024);

    int falseAlarms = 0;
    int examples = 0;
    qint64 scanNs = 0;
    for (const Piece &piece : pieces) {
        const QString text = piece.lines.join(u'\n');
        QElapsedTimer timer;
        timer.start();
        const bool secret = SecretDetector::containsSecret(text);
        scanNs += timer.nsecsElapsed();
        if (!secret)
            continue;
        const auto [first, count] = narrowed(piece.lines);
        const QString part = piece.lines.mid(first, count).join(u'\n');
        const DocumentedExample *example = listedExample(piece, part);
        ++(example ? examples : falseAlarms);
        std::printf("%s %s:%lld\n%s\n", example ? "documented example" : "FLAGGED", qPrintable(piece.source),
                    qlonglong(piece.firstLine + first), qPrintable(part.left(600)));
        if (example)
            std::printf("  judged: %s\n", example->verdict);
    }

    std::printf("\n%lld files (%lld man pages rendered), %lld pieces, %.1f MB\n", qlonglong(texts.size()),
                qlonglong(std::count_if(texts.begin(), texts.end(), [](const auto &t) { return t.first.startsWith("/usr/share/man"); })),
                qlonglong(pieces.size()), megabytes);
    std::printf("flagged: %d pieces (%.3f per MB; target 0), %d listed documentation examples\n", falseAlarms,
                falseAlarms / megabytes, examples);
    std::printf("scan time: %.1f ms in all, %.2f ms per MB\n", scanNs / 1e6, scanNs / 1e6 / megabytes);
    return 0;
}
