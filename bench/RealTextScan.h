#pragma once

// What the real-text benchmarks share: reading a body of text nobody here
// wrote, cutting it into pieces of 1 to 200 lines as people copy them, and
// scanning every piece as one copy. Each flagged piece is narrowed to the
// fewest lines still flagged and printed; flags on the listed examples are
// counted apart, each judged in its list.

#include <QList>
#include <QString>
#include <QStringList>

#include <random>
#include <span>
#include <utility>

namespace tamo::bench {

// A credential that a text prints as an example or a test's fixture, judged
// by hand: a flag on it is right (it is shaped as a real one), and the copy
// is a credential's example, not everyday text.
struct ListedExample
{
    const char *file;    // part of the path it is in
    const char *text;    // what the flagged lines hold
    const char *verdict; // why it is fine to skip the copy
};

// A text and where it came from.
using SourceText = std::pair<QString, QString>;

// A text file's contents (gzip read through); binary files (holding a NUL) give none.
QString textOf(const QString &path);

// The files under `root` whose names match `nameFilters` (all where empty), sorted.
QStringList sortedFiles(const QString &root, const QStringList &nameFilters);

// Files of `files` in a fixed shuffled order until `budget` characters are read.
QList<SourceText> readUpTo(QStringList files, qint64 budget, std::mt19937 &random);

// Scans the texts cut into pieces, prints every flagged piece and the
// counts, and gives the number of flags on no listed example.
int scanAndReport(const QList<SourceText> &texts, std::span<const ListedExample> examples, std::mt19937 &random);

} // namespace tamo::bench
