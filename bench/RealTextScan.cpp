#include "RealTextScan.h"

#include "secrets/SecretDetector.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tamo::bench {

namespace {

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

} // namespace

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

QList<SourceText> readUpTo(QStringList files, qint64 budget, std::mt19937 &random)
{
    std::shuffle(files.begin(), files.end(), random);
    QList<SourceText> texts;
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

namespace {

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
    return tamo::SecretDetector::containsSecret(lines.mid(first, count).join(u'\n'));
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

const ListedExample *listedExample(const Piece &piece, const QString &part, std::span<const ListedExample> examples)
{
    for (const ListedExample &example : examples) {
        if (piece.source.contains(QLatin1String(example.file)) && part.contains(QLatin1String(example.text)))
            return &example;
    }
    return nullptr;
}

} // namespace

int scanAndReport(const QList<SourceText> &texts, std::span<const ListedExample> examples, std::mt19937 &random)
{
    QList<Piece> pieces;
    qint64 characters = 0;
    for (const auto &[source, text] : texts) {
        cut(source, text, random, pieces);
        characters += text.size();
    }
    const double megabytes = double(characters) / (1024 * 1024);

    int falseAlarms = 0;
    int listed = 0;
    qint64 scanNs = 0;
    for (const Piece &piece : pieces) {
        const QString text = piece.lines.join(u'\n');
        QElapsedTimer timer;
        timer.start();
        const bool secret = tamo::SecretDetector::containsSecret(text);
        scanNs += timer.nsecsElapsed();
        if (!secret)
            continue;
        const auto [first, count] = narrowed(piece.lines);
        const QString part = piece.lines.mid(first, count).join(u'\n');
        const ListedExample *example = listedExample(piece, part, examples);
        ++(example ? listed : falseAlarms);
        std::printf("%s %s:%lld\n%s\n", example ? "listed example" : "FLAGGED", qPrintable(piece.source),
                    qlonglong(piece.firstLine + first), qPrintable(part.left(600)));
        if (example)
            std::printf("  judged: %s\n", example->verdict);
    }

    std::printf("\n%lld texts, %lld pieces, %.1f MB\n", qlonglong(texts.size()), qlonglong(pieces.size()), megabytes);
    std::printf("flagged: %d pieces (%.3f per MB; target 0), %d listed examples\n", falseAlarms,
                falseAlarms / megabytes, listed);
    std::printf("scan time: %.1f ms in all, %.2f ms per MB\n", scanNs / 1e6, scanNs / 1e6 / megabytes);
    return falseAlarms;
}

} // namespace tamo::bench
