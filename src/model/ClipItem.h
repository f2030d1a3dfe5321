#pragma once

#include "model/ClipDraft.h"
#include "model/ClipKind.h"
#include "model/Record.h"
#include "model/SearchFilter.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <memory>

namespace tamo {

// One clip of the history. Heavy bytes (rich text, image, link image) are read
// from the store only when asked for, so listing thousands of clips stays light.
class ClipItem final : public Record
{
public:
    enum Column {
        IdColumn, CreatedAtColumn, KindRawColumn, TextColumn, RtfDataColumn, ImageDataColumn,
        ImageWidthColumn, ImageHeightColumn, FilePathsColumn, SourceBundleIDColumn,
        SourceAppNameColumn, ContentHashColumn, PinboardIDColumn, PinnedAtColumn, TitleColumn,
        KeywordsColumn, IconEmojiColumn, LinkTitleColumn, LinkImageDataColumn,
        LinkPreviewFetchedColumn, ImageIsLocalOnlyColumn, ColumnCount
    };

    // Not inserted anywhere; the content hash is computed from the draft.
    ClipItem(const ClipDraft &draft, const QDateTime &createdAt, const QUuid &id = QUuid::createUuid());

    static const EntitySpec &spec();
    const EntitySpec &entity() const override { return spec(); }

    QUuid id() const { return m_id; }
    QDateTime createdAt() const { return m_createdAt; }
    void setCreatedAt(const QDateTime &date);

    QString kindRaw() const { return m_kindRaw; }
    // An unknown stored kind reads as text; kindRaw keeps what was stored.
    ClipKind kind() const;

    // Once stored, a text longer than this is held as its first characters
    // only; the whole text is read from the store each time it is asked for.
    static constexpr int textPreviewLength = 2048;

    // The whole text.
    std::optional<QString> text() const;
    // What cards and lists show: the text, or its first characters.
    const std::optional<QString> &textPreview() const { return m_text; }
    // Editing the text keeps the content hash the hash of the content.
    void setText(const std::optional<QString> &text);
    // The rich text: RTF, or HTML where the copy had no RTF.
    std::optional<QByteArray> rtfData() const;
    void setRtfData(const std::optional<QByteArray> &data);
    // The bytes kept in this record; see storedImageData() for local-only images.
    std::optional<QByteArray> imageData() const;
    void setImageData(const std::optional<QByteArray> &data);
    int imageWidth() const { return m_imageWidth; }
    int imageHeight() const { return m_imageHeight; }
    const QStringList &filePaths() const { return m_filePaths; }

    const std::optional<QString> &sourceBundleID() const { return m_sourceBundleID; }
    const std::optional<QString> &sourceAppName() const { return m_sourceAppName; }
    void setSource(const std::optional<QString> &bundleID, const std::optional<QString> &appName);

    QString contentHash() const { return m_contentHash; }

    const std::optional<QUuid> &pinboardID() const { return m_pinboardID; }
    const std::optional<QDateTime> &pinnedAt() const { return m_pinnedAt; }
    void setPin(const std::optional<QUuid> &pinboardID, const std::optional<QDateTime> &pinnedAt);

    const std::optional<QString> &title() const { return m_title; }
    void setTitle(const std::optional<QString> &title);
    const QStringList &keywords() const { return m_keywords; }
    void setKeywords(const QStringList &keywords);
    const std::optional<QString> &iconEmoji() const { return m_iconEmoji; }
    void setIconEmoji(const std::optional<QString> &emoji);

    const std::optional<QString> &linkTitle() const { return m_linkTitle; }
    void setLinkTitle(const std::optional<QString> &title);
    std::optional<QByteArray> linkImageData() const;
    void setLinkImageData(const std::optional<QByteArray> &data);
    bool linkPreviewFetched() const { return m_linkPreviewFetched; }
    void setLinkPreviewFetched(bool fetched);

    bool imageIsLocalOnly() const { return m_imageIsLocalOnly; }
    void setImageIsLocalOnly(bool localOnly);

    // The search rule shared by every list of clips: filters first, then the
    // text as one piece against title, keywords, text, file names, app name
    // and the kind's name, in that order.
    bool matches(const QString &trimmedText, const QList<SearchFilter> &filters) const;
    // The same test from what the clip holds in memory: nothing when only the
    // rest of a long text, never read into memory, could tell.
    std::optional<bool> matchesHeld(const QString &trimmedText, const QList<SearchFilter> &filters) const;

private:
    friend class ModelContext;
    ClipItem() = default; // rows read from the store

    QVariant columnValue(int column) const override;
    void setColumnValue(int column, const QVariant &value) override;
    void setColumnPreview(int column, const QVariant &prefix) override;
    void releaseStoredContent() override;
    std::optional<QByteArray> lazyBytes(const LazyBytes &bytes, int column) const;
    void setLazyBytes(LazyBytes &bytes, const std::optional<QByteArray> &data, int column);
    template<typename T> void assign(T &field, const T &value, int column);

    QUuid m_id;
    QDateTime m_createdAt;
    QString m_kindRaw;
    std::optional<QString> m_text;
    bool m_textIsPreview = false;
    mutable LazyBytes m_rtfData;
    mutable LazyBytes m_imageData;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    QStringList m_filePaths;
    std::optional<QString> m_sourceBundleID;
    std::optional<QString> m_sourceAppName;
    QString m_contentHash;
    std::optional<QUuid> m_pinboardID;
    std::optional<QDateTime> m_pinnedAt;
    std::optional<QString> m_title;
    QStringList m_keywords;
    std::optional<QString> m_iconEmoji;
    std::optional<QString> m_linkTitle;
    mutable LazyBytes m_linkImageData;
    bool m_linkPreviewFetched = false;
    bool m_imageIsLocalOnly = false;
};

using ClipItemPtr = std::shared_ptr<ClipItem>;

} // namespace tamo
