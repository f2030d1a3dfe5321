#include "cards/ThumbnailCache.h"

#include "cards/GlassRim.h"
#include "model/ModelContext.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtConcurrent>

#include <algorithm>

namespace tamo {

namespace {

// Boxes are rounded up to this many pixels so that a card resized by a few
// pixels reuses the thumbnail made for the first one.
constexpr int boxStep = 16;
constexpr int maxWorkers = 2;
constexpr int bytesPerCostUnit = 1024;

QSize bucketed(const QSize &box)
{
    auto up = [](int length) { return std::max(1, (length + boxStep - 1) / boxStep) * boxStep; };
    return {up(box.width()), up(box.height())};
}

// The decoded size that fits (or covers) the box, never larger than the picture.
QSize targetSize(const QSize &picture, const QSize &box, Qt::AspectRatioMode mode)
{
    const QSize scaled = picture.scaled(box, mode);
    if (scaled.width() >= picture.width() || scaled.height() >= picture.height())
        return picture;
    return scaled.expandedTo(QSize(1, 1));
}

QImage cropped(const QImage &image, const QSize &box)
{
    const QSize size = image.size().boundedTo(box);
    if (size == image.size())
        return image;
    return image.copy(QRect(QPoint((image.width() - size.width()) / 2, (image.height() - size.height()) / 2), size));
}

// Never more than a quarter of the shorter side, so small pictures stay pictures.
QImage withRoundedCorners(const QImage &image, qreal radius)
{
    QImage rounded(image.size(), QImage::Format_ARGB32_Premultiplied);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(image);
    const qreal fitting = std::min(radius, std::min(image.width(), image.height()) / 4.0);
    painter.drawPath(roundedRect(QRectF(rounded.rect()), fitting));
    return rounded;
}

} // namespace

ThumbnailCache::ThumbnailCache(qint64 byteBudget, QObject *parent)
    : QObject(parent)
    , m_byteBudget(byteBudget)
    , m_cache(std::max<qint64>(1, byteBudget / bytesPerCostUnit))
{
    m_pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, maxWorkers));
}

ThumbnailCache::~ThumbnailCache()
{
    m_pool.clear();
    m_pool.waitForDone();
}

qint64 ThumbnailCache::usedBytes() const
{
    return m_cache.totalCost() * qint64(bytesPerCostUnit);
}

ThumbnailCache::Key ThumbnailCache::keyOf(const ThumbnailRequest &request)
{
    return {request.clipID, request.slot, bucketed(request.box), request.mode, qRound(request.cornerRadius)};
}

std::optional<Thumbnail> ThumbnailCache::thumbnail(const ThumbnailRequest &request)
{
    const Key key = keyOf(request);
    if (const Thumbnail *found = m_cache.object(key))
        return *found;
    if (m_building.contains(key))
        return std::nullopt;

    const int ticket = ++m_sequence;
    m_building.insert(key, ticket);
    // The newest request runs first. The result always arrives on a later
    // turn of the event loop, never inside the paint that asked for it.
    QtConcurrent::task([request] { return build(request); })
        .onThreadPool(m_pool)
        .withPriority(ticket)
        .spawn()
        .then([this, key, ticket](const Thumbnail &thumbnail) {
            QMetaObject::invokeMethod(
                this, [this, key, ticket, thumbnail] { store(key, ticket, thumbnail); }, Qt::QueuedConnection);
        });
    return std::nullopt;
}

void ThumbnailCache::store(const Key &key, int ticket, const Thumbnail &thumbnail)
{
    const auto building = m_building.constFind(key);
    if (building == m_building.cend() || *building != ticket)
        return; // forgotten while it was built, and maybe asked for again
    m_building.erase(building);
    const qint64 bytes = std::max<qint64>(thumbnail.image.sizeInBytes(), 1);
    m_cache.insert(key, new Thumbnail(thumbnail), (bytes + bytesPerCostUnit - 1) / bytesPerCostUnit);
    emit ready(key.clipID);
}

void ThumbnailCache::forget(const QUuid &clipID)
{
    const QList<Key> keys = m_cache.keys();
    for (const Key &key : keys) {
        if (key.clipID == clipID)
            m_cache.remove(key);
    }
    m_building.removeIf([&clipID](const auto &entry) { return entry.key().clipID == clipID; });
}

void ThumbnailCache::clear()
{
    m_building.clear();
    m_cache.clear();
}

void ThumbnailCache::forgetClipsRemovedIn(ModelContext &context)
{
    connect(&context, &ModelContext::didSave, this, [this](const SaveSummary &summary) {
        for (const QUuid &clipID : summary.removedClipIDs)
            forget(clipID);
    });
}

Thumbnail ThumbnailCache::build(const ThumbnailRequest &request)
{
    const QSize box = request.box.expandedTo(QSize(1, 1));
    Thumbnail thumbnail;
    if (!request.filePath.isEmpty()) {
        thumbnail = decodeFile(request.filePath, box, request.mode);
    } else {
        const std::optional<QByteArray> bytes = request.readBytes ? request.readBytes() : std::nullopt;
        if (!bytes || bytes->isEmpty())
            return {Thumbnail::Status::missing, {}};
        QBuffer buffer;
        buffer.setData(*bytes);
        buffer.open(QIODevice::ReadOnly);
        thumbnail = decode(buffer, box, request.mode);
    }
    if (thumbnail.status == Thumbnail::Status::ready && request.cornerRadius > 0)
        thumbnail.image = withRoundedCorners(thumbnail.image, request.cornerRadius);
    return thumbnail;
}

Thumbnail ThumbnailCache::decodeFile(const QString &path, const QSize &box, Qt::AspectRatioMode mode)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {Thumbnail::Status::missing, {}};
    if (info.isDir())
        return {Thumbnail::Status::folder, {}};
    // A pipe or a device would block the worker on open or read forever.
    if (!info.isFile())
        return {Thumbnail::Status::undecodable, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {Thumbnail::Status::undecodable, {}};
    return decode(file, box, mode);
}

Thumbnail ThumbnailCache::decode(QIODevice &device, const QSize &box, Qt::AspectRatioMode mode)
{
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    QSize stored = reader.size();
    if (!reader.canRead() || stored.isEmpty())
        return {Thumbnail::Status::undecodable, {}};

    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? stored.transposed() : stored;
    const QSize target = targetSize(upright, box, mode);
    // Formats that shrink while decoding (JPEG) save most of the work.
    if (reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(turned ? target.transposed() : target);

    QImage image = reader.read();
    if (image.isNull())
        return {Thumbnail::Status::undecodable, {}};
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (mode == Qt::KeepAspectRatioByExpanding)
        image = cropped(image, box);
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
    return {Thumbnail::Status::ready, image};
}

} // namespace tamo
