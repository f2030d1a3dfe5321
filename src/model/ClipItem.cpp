#include "model/ClipItem.h"

#include "model/ContentHash.h"
#include "model/TextSearch.h"

#include <array>

namespace tamo {

namespace {

constexpr std::array<ColumnSpec, ClipItem::ColumnCount> clipColumns{{
    {"id", ColumnType::uuid},
    {"createdAt", ColumnType::date},
    {"kindRaw", ColumnType::text},
    {"text", ColumnType::text, false, ClipItem::textPreviewLength},
    {"rtfData", ColumnType::blob, true},
    {"imageData", ColumnType::blob, true},
    {"imageWidth", ColumnType::integer},
    {"imageHeight", ColumnType::integer},
    {"filePaths", ColumnType::stringList},
    {"sourceBundleID", ColumnType::text},
    {"sourceAppName", ColumnType::text},
    {"contentHash", ColumnType::text},
    {"pinboardID", ColumnType::uuid},
    {"pinnedAt", ColumnType::date},
    {"title", ColumnType::text},
    {"keywords", ColumnType::stringList},
    {"iconEmoji", ColumnType::text},
    {"linkTitle", ColumnType::text},
    {"linkImageData", ColumnType::blob, true},
    {"linkPreviewFetched", ColumnType::boolean},
    {"imageIsLocalOnly", ColumnType::boolean},
}};

template<typename T>
QVariant optionalValue(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

template<typename T>
std::optional<T> optionalFrom(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    return value.value<T>();
}

QString lastPathComponent(const QString &path)
{
    QStringView view(path);
    while (view.size() > 1 && view.endsWith(QLatin1Char('/')))
        view.chop(1);
    const qsizetype slash = view.lastIndexOf(QLatin1Char('/'));
    return (slash < 0 ? view : view.mid(slash + 1)).toString();
}

} // namespace

const EntitySpec &ClipItem::spec()
{
    static const EntitySpec entity{"ClipItem", StoreFile::synced, clipColumns, true};
    return entity;
}

ClipItem::ClipItem(const ClipDraft &draft, const QDateTime &createdAt, const QUuid &id)
    : m_id(id)
    , m_createdAt(createdAt)
    , m_kindRaw(rawValue(draft.kind))
    , m_text(draft.text)
    , m_imageWidth(draft.imageWidth)
    , m_imageHeight(draft.imageHeight)
    , m_filePaths(draft.filePaths)
    , m_sourceBundleID(draft.sourceBundleID)
    , m_sourceAppName(draft.sourceAppName)
    , m_contentHash(contentHashOf(draft))
    , m_title(draft.title)
{
    m_rtfData.set(draft.rtfData);
    m_imageData.set(draft.imageData);
    m_linkImageData.set(std::nullopt);
}

template<typename T>
void ClipItem::assign(T &field, const T &value, int column)
{
    if (field == value)
        return;
    field = value;
    fieldChanged(column);
}

ClipKind ClipItem::kind() const
{
    return clipKindFromRaw(m_kindRaw).value_or(ClipKind::text);
}

void ClipItem::setCreatedAt(const QDateTime &date)
{
    assign(m_createdAt, date, CreatedAtColumn);
}

std::optional<QString> ClipItem::text() const
{
    if (!m_textIsPreview)
        return m_text;
    if (const std::optional<QByteArray> stored = loadLazyColumn(TextColumn))
        return QString::fromUtf8(*stored);
    return m_text;
}

void ClipItem::setText(const std::optional<QString> &text)
{
    if (m_textIsPreview) {
        // Only the beginning is here: compared with it, a changed text may look the same.
        m_textIsPreview = false;
        m_text = text;
        fieldChanged(TextColumn);
    } else {
        assign(m_text, text, TextColumn);
    }
    assign(m_contentHash, makeContentHash(kind(), m_text, imageData(), m_filePaths), ContentHashColumn);
}

std::optional<QByteArray> ClipItem::lazyBytes(const LazyBytes &bytes, int column) const
{
    if (!bytes.isLoaded())
        const_cast<LazyBytes &>(bytes).set(loadLazyColumn(column));
    return bytes.value();
}

void ClipItem::setLazyBytes(LazyBytes &bytes, const std::optional<QByteArray> &data, int column)
{
    if (bytes.isLoaded() && bytes.value() == data)
        return;
    bytes.set(data);
    fieldChanged(column);
}

std::optional<QByteArray> ClipItem::rtfData() const
{
    return lazyBytes(m_rtfData, RtfDataColumn);
}

void ClipItem::setRtfData(const std::optional<QByteArray> &data)
{
    setLazyBytes(m_rtfData, data, RtfDataColumn);
}

std::optional<QByteArray> ClipItem::imageData() const
{
    return lazyBytes(m_imageData, ImageDataColumn);
}

void ClipItem::setImageData(const std::optional<QByteArray> &data)
{
    setLazyBytes(m_imageData, data, ImageDataColumn);
}

std::optional<QByteArray> ClipItem::linkImageData() const
{
    return lazyBytes(m_linkImageData, LinkImageDataColumn);
}

void ClipItem::setLinkImageData(const std::optional<QByteArray> &data)
{
    setLazyBytes(m_linkImageData, data, LinkImageDataColumn);
}

void ClipItem::setSource(const std::optional<QString> &bundleID, const std::optional<QString> &appName)
{
    assign(m_sourceBundleID, bundleID, SourceBundleIDColumn);
    assign(m_sourceAppName, appName, SourceAppNameColumn);
}

void ClipItem::setPin(const std::optional<QUuid> &pinboardID, const std::optional<QDateTime> &pinnedAt)
{
    assign(m_pinboardID, pinboardID, PinboardIDColumn);
    assign(m_pinnedAt, pinnedAt, PinnedAtColumn);
}

void ClipItem::setTitle(const std::optional<QString> &title)
{
    assign(m_title, title, TitleColumn);
}

void ClipItem::setKeywords(const QStringList &keywords)
{
    assign(m_keywords, keywords, KeywordsColumn);
}

void ClipItem::setIconEmoji(const std::optional<QString> &emoji)
{
    assign(m_iconEmoji, emoji, IconEmojiColumn);
}

void ClipItem::setLinkTitle(const std::optional<QString> &title)
{
    assign(m_linkTitle, title, LinkTitleColumn);
}

void ClipItem::setLinkPreviewFetched(bool fetched)
{
    assign(m_linkPreviewFetched, fetched, LinkPreviewFetchedColumn);
}

void ClipItem::setImageIsLocalOnly(bool localOnly)
{
    assign(m_imageIsLocalOnly, localOnly, ImageIsLocalOnlyColumn);
}

bool ClipItem::matches(const QString &trimmedText, const QList<SearchFilter> &filters) const
{
    if (const std::optional<bool> held = matchesHeld(trimmedText, filters))
        return *held;
    const std::optional<QString> whole = text();
    return whole && TextMatcher(trimmedText).foundIn(*whole);
}

std::optional<bool> ClipItem::matchesHeld(const QString &trimmedText, const QList<SearchFilter> &filters) const
{
    bool anyKindFilter = false;
    bool kindAccepted = false;
    bool anyAppFilter = false;
    bool appAccepted = false;
    const ClipKind clipKind = kind();
    const QString bundleID = m_sourceBundleID.value_or(QString());
    for (const SearchFilter &filter : filters) {
        if (filter.isKind()) {
            anyKindFilter = true;
            kindAccepted = kindAccepted || filter.kindValue() == clipKind;
        } else {
            anyAppFilter = true;
            appAccepted = appAccepted || filter.appValue()->bundleID == bundleID;
        }
    }
    if ((anyKindFilter && !kindAccepted) || (anyAppFilter && !appAccepted))
        return false;
    if (trimmedText.isEmpty())
        return true;

    const TextMatcher matcher(trimmedText);
    if (m_title && matcher.foundIn(*m_title))
        return true;
    for (const QString &keyword : m_keywords) {
        if (matcher.foundIn(keyword))
            return true;
    }
    if (m_text && matcher.foundIn(*m_text))
        return true;
    for (const QString &path : m_filePaths) {
        if (matcher.foundIn(lastPathComponent(path)))
            return true;
    }
    if (m_sourceAppName && matcher.foundIn(*m_sourceAppName))
        return true;
    if (matcher.foundIn(displayName(clipKind)))
        return true;
    if (m_textIsPreview)
        return std::nullopt;
    return false;
}

QVariant ClipItem::columnValue(int column) const
{
    switch (column) {
    case IdColumn: return m_id;
    case CreatedAtColumn: return m_createdAt;
    case KindRawColumn: return m_kindRaw;
    case TextColumn: return optionalValue(m_text);
    case RtfDataColumn: return optionalValue(m_rtfData.value());
    case ImageDataColumn: return optionalValue(m_imageData.value());
    case ImageWidthColumn: return m_imageWidth;
    case ImageHeightColumn: return m_imageHeight;
    case FilePathsColumn: return m_filePaths;
    case SourceBundleIDColumn: return optionalValue(m_sourceBundleID);
    case SourceAppNameColumn: return optionalValue(m_sourceAppName);
    case ContentHashColumn: return m_contentHash;
    case PinboardIDColumn: return optionalValue(m_pinboardID);
    case PinnedAtColumn: return optionalValue(m_pinnedAt);
    case TitleColumn: return optionalValue(m_title);
    case KeywordsColumn: return m_keywords;
    case IconEmojiColumn: return optionalValue(m_iconEmoji);
    case LinkTitleColumn: return optionalValue(m_linkTitle);
    case LinkImageDataColumn: return optionalValue(m_linkImageData.value());
    case LinkPreviewFetchedColumn: return m_linkPreviewFetched;
    case ImageIsLocalOnlyColumn: return m_imageIsLocalOnly;
    }
    return {};
}

void ClipItem::setColumnValue(int column, const QVariant &value)
{
    switch (column) {
    case IdColumn: m_id = value.toUuid(); break;
    case CreatedAtColumn: m_createdAt = value.toDateTime(); break;
    case KindRawColumn: m_kindRaw = value.toString(); break;
    case TextColumn:
        m_text = optionalFrom<QString>(value);
        m_textIsPreview = false;
        break;
    case RtfDataColumn: m_rtfData.unload(); break;
    case ImageDataColumn: m_imageData.unload(); break;
    case ImageWidthColumn: m_imageWidth = value.toInt(); break;
    case ImageHeightColumn: m_imageHeight = value.toInt(); break;
    case FilePathsColumn: m_filePaths = value.toStringList(); break;
    case SourceBundleIDColumn: m_sourceBundleID = optionalFrom<QString>(value); break;
    case SourceAppNameColumn: m_sourceAppName = optionalFrom<QString>(value); break;
    case ContentHashColumn: m_contentHash = value.toString(); break;
    case PinboardIDColumn: m_pinboardID = optionalFrom<QUuid>(value); break;
    case PinnedAtColumn: m_pinnedAt = optionalFrom<QDateTime>(value); break;
    case TitleColumn: m_title = optionalFrom<QString>(value); break;
    case KeywordsColumn: m_keywords = value.toStringList(); break;
    case IconEmojiColumn: m_iconEmoji = optionalFrom<QString>(value); break;
    case LinkTitleColumn: m_linkTitle = optionalFrom<QString>(value); break;
    case LinkImageDataColumn: m_linkImageData.unload(); break;
    case LinkPreviewFetchedColumn: m_linkPreviewFetched = value.toBool(); break;
    case ImageIsLocalOnlyColumn: m_imageIsLocalOnly = value.toBool(); break;
    }
}

void ClipItem::setColumnPreview(int column, const QVariant &prefix)
{
    setColumnValue(column, prefix);
    if (column == TextColumn)
        m_textIsPreview = m_text.has_value();
}

void ClipItem::releaseStoredContent()
{
    m_rtfData.unload();
    m_imageData.unload();
    m_linkImageData.unload();
    if (m_text && m_text->size() > textPreviewLength) {
        qsizetype length = textPreviewLength;
        if (m_text->at(length - 1).isHighSurrogate())
            --length;
        m_text = m_text->first(length);
        m_textIsPreview = true;
    }
}

} // namespace tamo
