#pragma once

#include "cards/ThumbnailCache.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <optional>

namespace tamo {

// Shows one picture of a clip scaled down to fit, never up, centred. The
// picture comes from a thumbnail cache at no more pixels than the screen
// can show, so even a 10,000-pixel image is read and decoded off the main
// thread; until it is ready the view stays empty, and a picture that is
// missing or cannot be decoded shows a short note.
class FittedImageView : public QWidget
{
    Q_OBJECT

public:
    explicit FittedImageView(ThumbnailCache &pictures, QWidget *parent = nullptr);

    // `request.box` is filled in here. Asking for the picture already shown
    // keeps it.
    void showPicture(ThumbnailRequest request);
    void clear();

    bool isLoading() const { return m_request && !m_status; }
    // Known once loading ended.
    std::optional<Thumbnail::Status> status() const { return m_status; }

    // The picture's own size; the view shrinks from it but asks for no more.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void finished(tamo::Thumbnail::Status status);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fetch();
    QSize decodeBox() const;
    QRect targetRect() const;

    ThumbnailCache &m_pictures;
    std::optional<ThumbnailRequest> m_request;
    std::optional<Thumbnail::Status> m_status;
    QImage m_image;
    QPixmap m_scaled; // m_image at the size last painted
};

} // namespace tamo
