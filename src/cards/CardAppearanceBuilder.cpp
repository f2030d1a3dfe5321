#include "cards/CardAppearanceBuilder.h"

#include "app/AppIcons.h"
#include "app/AppModel.h"
#include "cards/CardMetrics.h"
#include "cards/CardTexts.h"
#include "cards/ClipContentView.h"
#include "cards/GlassSurface.h"
#include "cards/StoreImageReader.h"
#include "model/ModelContainer.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"

#include <QIcon>
#include <QMimeDatabase>
#include <QUrl>

#include <cmath>

namespace tamo {

namespace {

const QColor neutralAccent(0x8E, 0x8E, 0x93); // a clip from no known app

QString kindIconName(ClipKind kind)
{
    switch (kind) {
    case ClipKind::text:
        return QStringLiteral("text-x-generic");
    case ClipKind::link:
        return QStringLiteral("text-html");
    case ClipKind::image:
        return QStringLiteral("image-x-generic");
    case ClipKind::file:
        return QStringLiteral("x-office-document");
    case ClipKind::color:
        return QStringLiteral("applications-graphics");
    }
    return {};
}

QImage renderIcon(const QIcon &icon, qreal side, qreal devicePixelRatio)
{
    if (icon.isNull())
        return {};
    const int logical = int(std::ceil(side));
    return icon.pixmap(QSize(logical, logical), devicePixelRatio).toImage();
}

std::optional<QString> nonBlank(const std::optional<QString> &text)
{
    if (!text || text->trimmed().isEmpty())
        return std::nullopt;
    return text->trimmed();
}

QString hostOf(const QString &url)
{
    QString host = QUrl(url.trimmed()).host();
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    return host;
}

} // namespace

CardAppearanceBuilder::CardAppearanceBuilder(const CardContext &context)
    : m_context(context)
{
}

CardStyle CardAppearanceBuilder::storedStyle(const Defaults &defaults)
{
    return cardStyleFromRaw(defaults.string(keys::cardStyle).value_or(QString())).value_or(CardStyle::glass);
}

double CardAppearanceBuilder::storedTextScale(const Defaults &defaults)
{
    bool isNumber = false;
    const double scale = defaults.value(keys::cardTextScale).toDouble(&isNumber);
    return isNumber && std::isfinite(scale) ? scale : 1.0;
}

bool CardAppearanceBuilder::linkPreviewsShown(const Defaults &defaults)
{
    return !defaults.value(keys::linkPreviews).isValid() || defaults.boolValue(keys::linkPreviews);
}

CardAppearance CardAppearanceBuilder::build(const CardFields &fields, const QPalette &palette,
                                            qreal devicePixelRatio) const
{
    CardAppearance appearance;
    appearance.size = fields.size;
    appearance.style = fields.forcedStyle.value_or(fields.savedStyle);
    appearance.textScale = fields.textScale;
    appearance.isSelected = fields.isSelected;
    appearance.isCompact = m_context.isInMenuBarPanel;
    appearance.isTranslucent = translucencyAvailable();
    appearance.devicePixelRatio = devicePixelRatio;
    appearance.colors = CardColors::from(palette);
    if (!fields.item)
        return appearance;
    const ClipItem &clip = *fields.item;
    appearance.header = header(fields, appearance);
    appearance.content = content(clip);
    appearance.content.picture = picture(clip, appearance);
    if (appearance.content.kind == ClipKind::file)
        appearance.content.fileIcon = fileIcon(clip, appearance);
    return appearance;
}

CardHeaderContent CardAppearanceBuilder::header(const CardFields &fields, const CardAppearance &appearance) const
{
    const ClipItem &clip = *fields.item;
    CardHeaderContent header;
    header.label = cardLabel(clip);
    header.age = compactAge(clip.createdAt(), fields.agesAt.isValid() ? fields.agesAt : m_context.clock.now());
    if (fields.quickPasteNumber && *fields.quickPasteNumber >= 1 && *fields.quickPasteNumber <= 9)
        header.quickPasteNumber = fields.quickPasteNumber;
    if (fields.pinboardTag)
        header.pinboard = PinboardTag{fields.pinboardTag->name(), fields.pinboardTag->color()};

    const CardMetrics metrics(appearance.size, appearance.isCompact);
    const auto bundleID = nonBlank(clip.sourceBundleID());
    header.accent = bundleID ? QColor(m_context.icons.appAccentHex(*bundleID)) : neutralAccent;
    if (const auto emoji = nonBlank(clip.iconEmoji())) {
        header.emoji = *emoji;
        return header;
    }
    QIcon icon = bundleID ? m_context.icons.appIcon(*bundleID) : QIcon();
    if (icon.isNull())
        icon = QIcon::fromTheme(kindIconName(clip.kind()));
    header.icon = renderIcon(icon, metrics.iconSide, appearance.devicePixelRatio);
    return header;
}

ClipContent CardAppearanceBuilder::content(const ClipItem &clip) const
{
    ClipContent content;
    content.kind = clip.kind();
    const QString text = clip.textPreview().value_or(QString());
    switch (content.kind) {
    case ClipKind::text:
        content.text = text;
        break;
    case ClipKind::image:
        break;
    case ClipKind::link:
        content.isLinkPreview = linkPreviewsShown(m_context.defaults)
                                && (nonBlank(clip.linkTitle()) || clip.linkPreviewFetched());
        content.text = content.isLinkPreview ? nonBlank(clip.linkTitle()).value_or(text.trimmed()) : text.trimmed();
        content.detail = hostOf(text);
        break;
    case ClipKind::file:
        if (!clip.filePaths().isEmpty())
            content.text = fileDisplayName(clip.filePaths().first());
        content.detail = moreFilesText(clip.filePaths().size() - 1);
        break;
    case ClipKind::color:
        content.text = text.trimmed();
        content.color = colorFromHexText(text).value_or(QColor());
        break;
    }
    return content;
}

std::optional<Thumbnail> CardAppearanceBuilder::picture(const ClipItem &clip, const CardAppearance &appearance) const
{
    const CardMetrics metrics(appearance.size, appearance.isCompact);
    const ClipContentView view(appearance, metrics, QRectF(0, 0, metrics.side, metrics.side));
    const QRectF box = view.pictureRect();
    if (box.isEmpty())
        return std::nullopt;
    if (clip.kind() == ClipKind::file && clip.filePaths().isEmpty())
        return Thumbnail{Thumbnail::Status::missing, {}};
    // Made for the screen's pixels, corners already rounded.
    ThumbnailRequest request = pictureRequest(clip);
    request.box = (box.size() * appearance.devicePixelRatio).toSize();
    request.cornerRadius = view.pictureCornerRadius() * appearance.devicePixelRatio;
    return m_context.thumbnails.thumbnail(request);
}

ThumbnailRequest CardAppearanceBuilder::pictureRequest(const ClipItem &clip) const
{
    ThumbnailRequest request;
    request.clipID = clip.id();
    if (clip.kind() == ClipKind::file) {
        request.slot = ThumbnailSlot::file;
        request.filePath = clip.filePaths().first();
        return request;
    }
    const bool link = clip.kind() == ClipKind::link;
    request.slot = link ? ThumbnailSlot::linkImage : ThumbnailSlot::image;
    request.mode = link ? Qt::KeepAspectRatioByExpanding : Qt::KeepAspectRatio;
    if (!clip.isInserted()) {
        // A clip outside the store holds its bytes in memory.
        const std::optional<QByteArray> bytes = link ? clip.linkImageData() : clip.imageData();
        request.readBytes = [bytes] { return bytes; };
    } else if (m_context.model) {
        const StoreImageReader reader(m_context.model->container().storeDirectory(), clip,
                                      link ? StoreImageReader::Picture::linkImage : StoreImageReader::Picture::image);
        request.readBytes = [reader] { return reader.read(); };
    }
    return request;
}

QImage CardAppearanceBuilder::fileIcon(const ClipItem &clip, const CardAppearance &appearance) const
{
    const bool folder = appearance.content.picture && appearance.content.picture->status == Thumbnail::Status::folder;
    QIcon icon;
    if (folder) {
        icon = QIcon::fromTheme(QStringLiteral("folder"));
    } else if (!clip.filePaths().isEmpty()) {
        // By name only: looking into the file is I/O, and the worker does that.
        const QMimeType type = QMimeDatabase().mimeTypeForFile(clip.filePaths().first(), QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    const CardMetrics metrics(appearance.size, appearance.isCompact);
    return renderIcon(icon, metrics.fileIconSide, appearance.devicePixelRatio);
}

} // namespace tamo
