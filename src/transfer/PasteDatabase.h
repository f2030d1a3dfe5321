#pragma once

#include "model/ClipDraft.h"
#include "transfer/TextSpool.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tamo::sql { class Database; }

// Reads the other clipboard manager's history ("Paste", in its older
// "Paste.db" or its newer sandboxed "db.sqlite") from a private copy of the
// database, never the file the other app writes. Runs off the main thread:
// touches only the file system and a connection of its own.
namespace tamo::PasteImporter {

enum class Version { paste3 = 3, paste7 = 7 };

struct Board
{
    qint64 pasteID = 0;
    QString name;
    std::optional<std::array<double, 3>> rgb;
    qint64 order = 0;
};

struct Clip
{
    ClipDraft draft;
    QString contentHash;
    QDateTime date;
    std::optional<qint64> boardPasteID;
    qint64 orderInBoard = 0;
    std::optional<QString> title;
    // Where the draft's text waits, when it is not in the draft.
    std::optional<TextSpool::Place> spooledText;
};

struct Snapshot
{
    QList<Board> boards;
    QList<Clip> clips; // newest first
    int unreadable = 0; // rows that gave no clip
    // Holds the long texts past what the snapshot keeps in memory.
    std::shared_ptr<TextSpool> textSpool;
};

class ImportError
{
public:
    enum class Kind { notFound, unreadable, notInstalled, needsFullDiskAccess, failed, cancelled };

    static ImportError notFound(Version version) { return {Kind::notFound, version, {}}; }
    static ImportError unreadable(const QString &message) { return {Kind::unreadable, Version::paste7, message}; }
    static ImportError notInstalled() { return {Kind::notInstalled, Version::paste7, {}}; }
    static ImportError needsFullDiskAccess() { return {Kind::needsFullDiskAccess, Version::paste7, {}}; }
    // A file-system or store failure, described by `message`.
    static ImportError failed(const QString &message) { return {Kind::failed, Version::paste7, message}; }
    static ImportError cancelled() { return {Kind::cancelled, Version::paste7, {}}; }

    Kind kind() const { return m_kind; }
    QString text() const;
    bool operator==(const ImportError &) const = default;

private:
    ImportError(Kind kind, Version version, const QString &message)
        : m_kind(kind), m_version(version), m_message(message) {}

    Kind m_kind;
    Version m_version;
    QString m_message;
};

// Where the other app keeps its files, under a home folder.
struct Locations
{
    explicit Locations(const QString &home);

    QString containerRoot;
    QString paste3Folder;
    QString paste7Folder;
};

// What a read needs of the machine; tests replace each part.
struct ReadEnvironment
{
    QString home;
    // Where the private copy goes.
    QString temporaryRoot;
    std::function<bool()> pasteInstalled;
    // Lists a folder; 0, or the errno of the failure.
    std::function<int(const QString &folder)> listFolder;
    // Set by whoever stops the read (a quit): it then ends within moments
    // with ImportError::cancelled().
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);
    // How long one step of a query may take: the other app's database may
    // hold a view whose query never ends.
    std::chrono::milliseconds stepBudget = std::chrono::seconds(20);
    // Where long texts wait for the merge once the snapshot holds enough in
    // memory; with none, every text stays in memory.
    QString spoolFolder = QString();

    // The user's home, $XDG_RUNTIME_DIR (else the temporary folder), the
    // real listing; `pasteInstalled` is the caller's.
    static ReadEnvironment standard(std::function<bool()> pasteInstalled);
};

// More rows than this are refused rather than read into memory: clips (and
// apps, and pinned clips), and pinboards.
inline constexpr int maxClipRows = 500000;
inline constexpr int maxBoardRows = 10000;
// A larger database is refused rather than copied.
inline constexpr qint64 maxDatabaseBytes = 8LL * 1024 * 1024 * 1024;

Version detectedVersion(const QString &home);

// Both throw ImportError.
Snapshot readPaste3Snapshot(const ReadEnvironment &environment);
Snapshot readPaste7Snapshot(const ReadEnvironment &environment);
Snapshot readSnapshot(Version version, const ReadEnvironment &environment);

struct JoinTable
{
    QString table;
    QString clipColumn;
    QString listColumn;
    bool operator==(const JoinTable &) const = default;
};
// The older generation's table of list membership; throws ImportError.
std::optional<JoinTable> findListJoinTable(sql::Database &db);

// What a failure to list the newer folder means.
ImportError folderError(int error, bool pasteInstalled);

// Seconds since 2001-01-01 UTC as the other app stores dates; non-finite
// values read as that date, others are kept within ±10,000 years.
QDateTime dateFromReference(double seconds);

} // namespace tamo::PasteImporter
