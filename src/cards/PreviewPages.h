#pragma once

#include "cards/ThumbnailCache.h"

#include <QFutureWatcher>
#include <QList>
#include <QMimeType>
#include <QString>
#include <QUuid>
#include <QWidget>

class QListWidget;

namespace tamo {

class ClipItem;
class FittedImageView;
class WrappedText;

// Where a saved clip's image or link image is read from, off the main thread.
ThumbnailRequest storedPictureRequest(const ClipItem &clip, const QString &storeDirectory, ThumbnailSlot slot);

// The preview of a link: the page's image and title once fetched, and the URL.
class LinkPreviewPage : public QWidget
{
public:
    LinkPreviewPage(ThumbnailCache &pictures, QWidget *parent = nullptr);
    void showClip(const ClipItem &clip, const QString &storeDirectory);
    void clear();

private:
    ThumbnailCache &m_pictures;
    FittedImageView *m_image;
    WrappedText *m_title;
    WrappedText *m_url;
    QUuid m_clipID;
    bool m_fetched = false;
};

// The files of a file clip, each with its type's icon, and the picture when
// the clip is one image file. Types are looked up off the main thread, as
// telling a folder from a file needs the file system.
class FilePreviewPage : public QWidget
{
public:
    FilePreviewPage(ThumbnailCache &pictures, QWidget *parent = nullptr);
    void showClip(const ClipItem &clip);
    void clear();

    QListWidget *list() const { return m_list; }

private:
    void setPictureShown(bool shown);
    void showTypes(const QList<QMimeType> &types);

    FittedImageView *m_picture;
    QListWidget *m_list;
    QUuid m_clipID;
    QFutureWatcher<QList<QMimeType>> *m_types = nullptr;
};

// A colour clip: a large swatch of the colour with its text.
class ColorPreviewPage : public QWidget
{
public:
    explicit ColorPreviewPage(QWidget *parent = nullptr);
    void showClip(const ClipItem &clip);

    QColor color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect swatchRect() const;

    QColor m_color; // invalid when the text is no colour
    WrappedText *m_text;
};

} // namespace tamo
