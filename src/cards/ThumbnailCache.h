#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <QUuid>

#include <functional>
#include <optional>

class QIODevice;

namespace tamo {

class ModelContext;

// A clip's picture made small enough for a card, or why there is none.
struct Thumbnail
{
    enum class Status {
        ready,
        missing,      // no bytes stored, or the file is gone
        undecodable,  // bytes or a file that are not a readable image
        folder,       // the file is a folder
    };

    Status status = Status::missing;
    QImage image; // ready only; device pixels
};

// Which picture of a clip.
enum class ThumbnailSlot { image, linkImage, file };

struct ThumbnailRequest
{
    QUuid clipID;
    ThumbnailSlot slot = ThumbnailSlot::image;
    QSize box;                                     // device pixels to fill
    Qt::AspectRatioMode mode = Qt::KeepAspectRatio; // fit inside, or cover and crop
    qreal cornerRadius = 0;                         // device pixels; rounds the picture's corners
    // Where the picture comes from: bytes read on a worker thread, or a file.
    std::function<std::optional<QByteArray>()> readBytes;
    QString filePath;
};

// Decodes and shrinks card pictures on worker threads and keeps the results,
// least recently used first out, within a byte budget. Nothing is read until
// a card asks; the newest requests are served first, so the cards the user
// is looking at come before those scrolled past. Main thread only.
class ThumbnailCache : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 defaultByteBudget = 64 * 1024 * 1024;

    explicit ThumbnailCache(qint64 byteBudget = defaultByteBudget, QObject *parent = nullptr);
    ~ThumbnailCache() override;

    // The finished thumbnail; otherwise nothing, and it is being built
    // (ready() follows).
    std::optional<Thumbnail> thumbnail(const ThumbnailRequest &request);

    // The clip's pictures changed: drops them and any build under way.
    void forget(const QUuid &clipID);
    // Drops every picture and every build under way.
    void clear();
    // From now on, clips deleted in a save of `context` are forgotten: their
    // ids are never asked for again, so their pictures would only wait to be
    // pushed out.
    void forgetClipsRemovedIn(ModelContext &context);

    qint64 byteBudget() const { return m_byteBudget; }
    qint64 usedBytes() const;

    // The decoding itself, on the calling thread: `box` in device pixels.
    static Thumbnail decode(QIODevice &device, const QSize &box, Qt::AspectRatioMode mode);
    static Thumbnail decodeFile(const QString &path, const QSize &box, Qt::AspectRatioMode mode);

signals:
    void ready(const QUuid &clipID);

private:
    struct Key
    {
        QUuid clipID;
        ThumbnailSlot slot;
        QSize box;
        Qt::AspectRatioMode mode;
        int cornerRadius;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed = 0)
    {
        return qHashMulti(seed, key.clipID, int(key.slot), key.box.width(), key.box.height(), int(key.mode),
                          key.cornerRadius);
    }

    static Key keyOf(const ThumbnailRequest &request);
    static Thumbnail build(const ThumbnailRequest &request);
    void store(const Key &key, int ticket, const Thumbnail &thumbnail);

    qint64 m_byteBudget;
    QCache<Key, Thumbnail> m_cache; // cost in KiB
    QHash<Key, int> m_building; // key -> the ticket of the build under way
    int m_sequence = 0;         // tickets, newest highest
    QThreadPool m_pool;
};

} // namespace tamo
