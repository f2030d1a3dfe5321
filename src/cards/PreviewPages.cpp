#include "cards/PreviewPages.h"

#include "cards/CardTexts.h"
#include "cards/FittedImageView.h"
#include "cards/StoreImageReader.h"
#include "cards/ViewStyles.h"
#include "cards/WrappedText.h"
#include "model/ClipItem.h"

#include <QIcon>
#include <QListWidget>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <algorithm>

namespace tamo {

namespace {

constexpr int titleLines = 6;
constexpr int urlLines = 4;
constexpr int largestSwatch = 320;
constexpr int swatchRadius = 24;
constexpr int checkerSquare = 12;

QIcon fileTypeIcon(const QMimeType &type, const QStyle &style)
{
    const bool folder = type.inherits(QStringLiteral("inode/directory"));
    const QIcon fallback = style.standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
}

} // namespace

ThumbnailRequest storedPictureRequest(const ClipItem &clip, const QString &storeDirectory, ThumbnailSlot slot)
{
    const StoreImageReader reader(storeDirectory, clip,
                                  slot == ThumbnailSlot::image ? StoreImageReader::Picture::image
                                                               : StoreImageReader::Picture::linkImage);
    ThumbnailRequest request;
    request.clipID = clip.id();
    request.slot = slot;
    request.readBytes = [reader] { return reader.read(); };
    return request;
}

// ---------------------------------------------------------------- link

LinkPreviewPage::LinkPreviewPage(ThumbnailCache &pictures, QWidget *parent)
    : QWidget(parent)
    , m_pictures(pictures)
    , m_image(new FittedImageView(pictures, this))
    , m_title(new WrappedText(this))
    , m_url(new WrappedText(this))
{
    m_title->setFont(uiFont(17, QFont::DemiBold));
    m_url->setFont(uiFont(13));
    m_url->setColor(sharedSecondaryLabelColor());
    m_title->setMaximumLines(titleLines);
    m_url->setMaximumLines(urlLines);

    // The picture (shrunk when it must) and the text below it, in the middle.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(10);
    layout->addStretch(1);
    layout->addWidget(m_image);
    layout->addSpacing(6);
    layout->addWidget(m_title);
    layout->addWidget(m_url);
    layout->addStretch(1);
    m_image->hide();

    connect(m_image, &FittedImageView::finished, this,
            [this](Thumbnail::Status status) { m_image->setVisible(status == Thumbnail::Status::ready); });
}

void LinkPreviewPage::showClip(const ClipItem &clip, const QString &storeDirectory)
{
    const QString url = clip.text().value_or(QString()).trimmed();
    const QString title = clip.linkTitle().value_or(QString()).trimmed();
    // Until the page's title is known, the URL stands in its place.
    m_title->setText(title.isEmpty() ? url : title);
    m_url->setText(url);
    m_url->setVisible(!title.isEmpty());

    // The fetched picture arrives after the clip was first shown.
    const bool sameClip = clip.id() == m_clipID;
    if (sameClip && clip.linkPreviewFetched() == m_fetched)
        return;
    if (sameClip)
        m_pictures.forget(clip.id());
    m_clipID = clip.id();
    m_fetched = clip.linkPreviewFetched();
    m_image->clear();
    m_image->hide();
    if (m_fetched)
        m_image->showPicture(storedPictureRequest(clip, storeDirectory, ThumbnailSlot::linkImage));
}

void LinkPreviewPage::clear()
{
    m_clipID = {};
    m_fetched = false;
    m_title->setText({});
    m_url->setText({});
    m_image->clear();
    m_image->hide();
}

// ---------------------------------------------------------------- file

FilePreviewPage::FilePreviewPage(ThumbnailCache &pictures, QWidget *parent)
    : QWidget(parent)
    , m_picture(new FittedImageView(pictures, this))
    , m_list(new QListWidget(this))
{
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setAccessibleName(tr("Files"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setIconSize(QSize(32, 32));
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->viewport()->setAutoFillBackground(false);
    m_picture->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(m_picture, 1);
    layout->addWidget(m_list);

    connect(m_picture, &FittedImageView::finished, this,
            [this](Thumbnail::Status status) { setPictureShown(status == Thumbnail::Status::ready); });
}

// A picture takes the room and leaves the list just its row; without one,
// the list has it all.
void FilePreviewPage::setPictureShown(bool shown)
{
    m_picture->setVisible(shown);
    const int rows = m_list->count() * m_list->sizeHintForRow(0) + 2 * m_list->frameWidth();
    m_list->setMaximumHeight(shown ? rows : QWIDGETSIZE_MAX);
}

void FilePreviewPage::showClip(const ClipItem &clip)
{
    if (clip.id() == m_clipID)
        return; // a clip's files never change
    clear();
    m_clipID = clip.id();
    const QStringList paths = clip.filePaths();
    for (const QString &path : paths)
        new QListWidgetItem(path, m_list);

    const QMimeDatabase types;
    if (paths.size() == 1
        && types.mimeTypeForFile(paths.first(), QMimeDatabase::MatchExtension).name().startsWith(u"image/")) {
        ThumbnailRequest request;
        request.clipID = clip.id();
        request.slot = ThumbnailSlot::file;
        request.filePath = paths.first();
        m_picture->showPicture(request);
    }

    m_types = new QFutureWatcher<QList<QMimeType>>(this);
    connect(m_types, &QFutureWatcherBase::finished, this, [this] { showTypes(m_types->result()); });
    m_types->setFuture(QtConcurrent::run([paths] {
        const QMimeDatabase database;
        QList<QMimeType> found;
        found.reserve(paths.size());
        for (const QString &path : paths)
            found.append(database.mimeTypeForFile(path));
        return found;
    }));
}

void FilePreviewPage::clear()
{
    m_clipID = {};
    m_list->clear();
    m_picture->clear();
    setPictureShown(false);
    if (m_types) {
        m_types->disconnect(this);
        m_types->deleteLater();
        m_types = nullptr;
    }
}

void FilePreviewPage::showTypes(const QList<QMimeType> &types)
{
    const int count = std::min(int(types.size()), m_list->count());
    for (int i = 0; i < count; ++i)
        m_list->item(i)->setIcon(fileTypeIcon(types.at(i), *style()));
}

// ---------------------------------------------------------------- colour

ColorPreviewPage::ColorPreviewPage(QWidget *parent)
    : QWidget(parent)
    , m_text(new WrappedText(this))
{
    m_text->setFont(uiFont(20, QFont::DemiBold));
    m_text->setAlignment(Qt::AlignHCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch(1); // the swatch is painted here
    layout->addWidget(m_text);
}

void ColorPreviewPage::showClip(const ClipItem &clip)
{
    const QString text = clip.text().value_or(QString());
    m_text->setText(text.trimmed());
    m_color = colorFromHexText(text).value_or(QColor());
    update();
}

QRect ColorPreviewPage::swatchRect() const
{
    const QRect room = contentsRect().adjusted(24, 24, -24, -m_text->height() - 48);
    const int side = std::clamp(std::min(room.width(), room.height()), 0, largestSwatch);
    QRect swatch(0, 0, side, side);
    swatch.moveCenter(room.center());
    return swatch;
}

void ColorPreviewPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect swatch = swatchRect();
    QPainterPath shape;
    shape.addRoundedRect(swatch, swatchRadius, swatchRadius);

    QColor outline = sharedLabelColor();
    outline.setAlphaF(0.2f);
    if (!m_color.isValid()) {
        painter.setPen(QPen(outline, 1.5, Qt::DashLine));
        painter.drawPath(shape);
        return;
    }
    painter.setClipPath(shape);
    if (m_color.alpha() < 255) {
        // A see-through colour over a checkerboard, as image editors show it.
        painter.fillRect(swatch, Qt::white);
        for (int y = swatch.top(); y < swatch.bottom(); y += checkerSquare) {
            for (int x = swatch.left() + ((y - swatch.top()) / checkerSquare % 2) * checkerSquare;
                 x < swatch.right(); x += 2 * checkerSquare) {
                painter.fillRect(QRect(x, y, checkerSquare, checkerSquare), QColor(204, 204, 204));
            }
        }
    }
    painter.fillPath(shape, m_color);
    painter.setClipping(false);
    painter.setPen(QPen(outline, 1));
    painter.drawPath(shape);
}

} // namespace tamo
