#pragma once

#include "platform/ClipLimits.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>
#include <stdexcept>

namespace tamo {

class ClipItem;

// Why a pinboard file could not be read; `text()` is what the user is shown.
class ArchiveError : public std::runtime_error
{
public:
    enum class Kind { decoding, notPinboards, newerVersion };

    ArchiveError(Kind kind, const QString &text) : std::runtime_error(text.toStdString()), m_kind(kind), m_text(text) {}
    static ArchiveError notPinboards();
    static ArchiveError newerVersion();

    Kind kind() const { return m_kind; }
    QString text() const { return m_text; }

private:
    Kind m_kind;
    QString m_text;
};

// The pinboard file: chosen pinboards with their pinned clips and the icons
// of the apps those came from, carried from one installation to another.
struct PinboardArchive
{
    struct Clip
    {
        QString kind{};
        std::optional<QString> title{};
        std::optional<QString> text{};
        QStringList keywords{};
        std::optional<QByteArray> rtf{};
        std::optional<QByteArray> image{};
        std::optional<int> imageWidth{};
        std::optional<int> imageHeight{};
        std::optional<QStringList> filePaths{};
        std::optional<QString> sourceBundleID{};
        std::optional<QString> sourceAppName{};
        QDateTime createdAt{};
        std::optional<QDateTime> pinnedAt{};
        std::optional<QString> iconEmoji{};
        std::optional<QUuid> id{};
        std::optional<QDateTime> editedAt{};

        bool operator==(const Clip &) const = default;
    };

    struct Board
    {
        QString name;
        QString color;
        QList<Clip> clips;
        std::optional<QUuid> id;

        bool operator==(const Board &) const = default;
    };

    struct App
    {
        QString bundleID;
        std::optional<QString> name;
        std::optional<QByteArray> icon;
        QString tint;

        bool operator==(const App &) const = default;
    };

    static constexpr auto formatName = "tamo-pinboards";
    static constexpr int currentVersion = 1;
    // Bounds on what reading a file may cost, whoever made it. A clip's
    // values are read up to what a clip holds (ClipLimits), so every file
    // of ours is read whole; memory never holds more than one of them.
    // A text, of which only what a clip keeps is read.
    static constexpr qsizetype maxValueBytes = ClipLimits::largestValue;
    static constexpr qsizetype maxPinboards = 1000;
    static constexpr qsizetype maxClips = 1'000'000;
    static constexpr qsizetype maxApps = 10'000;
    static constexpr qsizetype maxKeywords = 10'000; // of one clip
    // Decoded bytes.
    static constexpr qsizetype maxImageBytes = ClipLimits::largestImage;
    static constexpr qsizetype maxRtfBytes = ClipLimits::largestRichText;
    static constexpr qsizetype maxIconBytes = 1024 * 1024;
    static constexpr qsizetype maxIconsBytes = 64 * 1024 * 1024; // all apps' icons together
    // Characters: bundle ids, app names and keywords; kinds, colours, tints
    // and emoji.
    static constexpr qsizetype maxNameLength = 1024;
    static constexpr qsizetype maxWordLength = 256;
    static constexpr int maxImageSide = int(ClipLimits::largestImagePixels); // all in one row
    // The most one clip of ours takes in a file: each value at its largest,
    // every character of its texts escaped in six bytes (a control
    // character), its bytes in Base64.
    static constexpr qint64 largestClipBytes =
        6 * (qint64(ClipLimits::largestText) + qint64(ClipLimits::mostFiles) * ClipLimits::longestPath
             + qint64(maxKeywords) * maxNameLength)
        + (qint64(ClipLimits::largestRichText) + ClipLimits::largestImage + 2) / 3 * 4 + 64 * 1024;
    // The whole file. Read as it streams, a file's size bounds only the time
    // its reading takes and the spool it fills, so the bound is generous: four
    // clips at their largest (about 4.5 GB). Export writes no larger file, so
    // every file it writes is read.
    static constexpr qint64 maxFileBytes = 4 * largestClipBytes;

    QString format = QString::fromLatin1(formatName);
    qint64 version = currentVersion;
    QDateTime exportedAt;
    QList<Board> pinboards;
    QList<App> apps;

    bool operator==(const PinboardArchive &) const = default;

    // Pretty-printed JSON with sorted keys.
    QByteArray encode() const;
    // Throws ArchiveError; nothing is read past the first fault.
    static PinboardArchive decode(const QByteArray &bytes);

    static QString paletteName(int colorIndex);
    int clipCount() const;
};

// The first palette colour named `name` ignoring case; 0 when none is.
int paletteIndexNamed(const QString &name);

// What a file clip's title, keywords and emoji make of a local clip's.
struct MergedMetadata
{
    std::optional<QString> title;
    QStringList keywords;
    std::optional<QString> emoji;
    bool fileWon = false;

    bool sameValues(const MergedMetadata &other) const
    {
        return title == other.title && keywords == other.keywords && emoji == other.emoji;
    }
};

MergedMetadata mergedMetadata(const ClipItem &local, const PinboardArchive::Clip &file,
                              const std::optional<QDateTime> &localEditedAt);
// The clip's own values, for comparing with a merge.
MergedMetadata currentMetadata(const ClipItem &local);

} // namespace tamo
