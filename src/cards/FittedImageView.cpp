#include "cards/FittedImageView.h"

#include "cards/ViewStyles.h"

#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace tamo {

namespace {

// The decoded side stays within these bounds whatever the screen, so one
// picture never takes more than 64 MiB of the cache.
constexpr int smallestDecodeSide = 1024;
constexpr int largestDecodeSide = 4096;

} // namespace

FittedImageView::FittedImageView(ThumbnailCache &pictures, QWidget *parent)
    : QWidget(parent)
    , m_pictures(pictures)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(&m_pictures, &ThumbnailCache::ready, this, [this](const QUuid &clipID) {
        if (m_request && !m_status && m_request->clipID == clipID)
            fetch();
    });
}

void FittedImageView::showPicture(ThumbnailRequest request)
{
    request.box = decodeBox();
    if (m_request && m_request->clipID == request.clipID && m_request->slot == request.slot
        && m_request->filePath == request.filePath && m_request->box == request.box) {
        return;
    }
    clear();
    m_request = std::move(request);
    fetch();
}

void FittedImageView::clear()
{
    m_request.reset();
    m_status.reset();
    m_image = {};
    m_scaled = {};
    updateGeometry();
    update();
}

void FittedImageView::fetch()
{
    const std::optional<Thumbnail> picture = m_pictures.thumbnail(*m_request);
    if (!picture)
        return; // ready() follows
    m_status = picture->status;
    m_image = picture->image;
    m_scaled = {};
    updateGeometry();
    update();
    emit finished(picture->status);
}

QSize FittedImageView::decodeBox() const
{
    const QScreen *shown = screen();
    const QSize screenSize = shown ? shown->size() : QSize();
    const int side = int(std::max(screenSize.width(), screenSize.height()) * devicePixelRatioF());
    const int bounded = std::clamp(side, smallestDecodeSide, largestDecodeSide);
    return {bounded, bounded};
}

QRect FittedImageView::targetRect() const
{
    const QRect room = contentsRect();
    QSize size = m_image.size();
    if (size.width() > room.width() || size.height() > room.height())
        size = size.scaled(room.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(room.center());
    return target;
}

QSize FittedImageView::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return m_image.size().grownBy(margins).expandedTo(QSize(margins.left() + margins.right(),
                                                            margins.top() + margins.bottom()));
}

QSize FittedImageView::minimumSizeHint() const
{
    return {0, 0};
}

void FittedImageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_status && *m_status != Thumbnail::Status::ready) {
        painter.setPen(sharedSecondaryLabelColor());
        const QString note = *m_status == Thumbnail::Status::missing ? tr("The picture is missing.")
                                                                      : tr("This picture can't be shown.");
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, note);
        return;
    }
    if (m_image.isNull())
        return;

    const QRect target = targetRect();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(target.size()) * ratio).toSize();
    if (m_scaled.size() != pixels) {
        m_scaled = QPixmap::fromImage(m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_scaled.setDevicePixelRatio(ratio);
    }
    painter.drawPixmap(target.topLeft(), m_scaled);
}

} // namespace tamo
