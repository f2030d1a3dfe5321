#include "transfer/PinboardDocument.h"

#include "model/ClipDraft.h"
#include "model/TypedText.h"
#include "transfer/Base64Decoder.h"
#include "transfer/StrictValues.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>

namespace tamo {

namespace {

using Token = JsonStream::Token;

[[noreturn]] void fail(const QString &text)
{
    throw ArchiveError(ArchiveError::Kind::decoding, text);
}

QString wrongType(const QString &key)
{
    return QStringLiteral("The value for the key “%1” has the wrong type.").arg(key);
}

void require(bool present, const QString &key)
{
    if (!present)
        fail(QStringLiteral("The value for the key “%1” is missing.").arg(key));
}

// Image bytes must at least name a format and a size we can read, so a clip
// never arrives that no card can draw.
void checkImage(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.width() > PinboardArchive::maxImageSide ||
        size.height() > PinboardArchive::maxImageSide)
        fail(QStringLiteral("An image in the file can't be read."));
}

// Typed values of the file, each read as its key comes; null reads as absent.
class DocumentReader
{
public:
    DocumentReader(JsonStream &stream, PinboardDocumentSink &sink) : m_stream(stream), m_sink(sink) {}

    QDateTime read()
    {
        std::optional<QString> format;
        std::optional<qint64> version;
        std::optional<QDateTime> exportedAt;
        bool pinboards = false;
        bool apps = false;
        readObject(m_stream.next(), QStringLiteral("The file"), [&](const QString &key, Token value) {
            if (key == u"format") {
                format = string(value, key, 64); // a longer one is no format of ours either
            } else if (key == u"version") {
                version = integer(value, key);
            } else if (key == u"exportedAt") {
                exportedAt = date(value, key);
            } else if (key == u"pinboards") {
                pinboards = value != Token::null;
                readArray(value, key, [this](Token board) {
                    if (++m_pinboards > PinboardArchive::maxPinboards)
                        fail(QStringLiteral("The file holds more than %1 pinboards.").arg(PinboardArchive::maxPinboards));
                    readBoard(board);
                });
            } else if (key == u"apps") {
                apps = value != Token::null;
                readArray(value, key, [this](Token app) {
                    if (++m_apps > PinboardArchive::maxApps)
                        fail(QStringLiteral("The file holds more than %1 apps.").arg(PinboardArchive::maxApps));
                    readApp(app);
                });
            } else {
                m_stream.skipValue(value);
            }
        });
        m_stream.next(); // only space may follow
        require(format.has_value(), QStringLiteral("format"));
        require(version.has_value(), QStringLiteral("version"));
        require(exportedAt.has_value(), QStringLiteral("exportedAt"));
        require(pinboards, QStringLiteral("pinboards"));
        require(apps, QStringLiteral("apps"));
        if (format.value_or(QString()) != QLatin1String(PinboardArchive::formatName))
            throw ArchiveError::notPinboards();
        if (version.value_or(0) >= 2)
            throw ArchiveError::newerVersion();
        return exportedAt.value_or(QDateTime());
    }

private:
    template<typename Member>
    void readObject(Token first, const QString &what, Member &&member)
    {
        if (first != Token::objectStart)
            fail(QStringLiteral("%1 is not a JSON object.").arg(what));
        for (Token token = m_stream.next(); token != Token::objectEnd; token = m_stream.next()) {
            const QString key = m_stream.key();
            member(key, m_stream.next());
        }
    }

    template<typename Element>
    void readArray(Token first, const QString &key, Element &&element)
    {
        if (first == Token::null)
            return;
        if (first != Token::arrayStart)
            fail(wrongType(key));
        for (Token token = m_stream.next(); token != Token::arrayEnd; token = m_stream.next())
            element(token);
    }

    // A string's first `keep` characters; the whole may be up to maxValueBytes long.
    std::optional<QString> string(Token value, const QString &key, qsizetype keep, qsizetype *length = nullptr)
    {
        if (value == Token::null)
            return std::nullopt;
        if (value != Token::string)
            fail(wrongType(key));
        qsizetype whole = 0;
        QString text = m_stream.string(keep, &whole);
        if (whole > PinboardArchive::maxValueBytes)
            fail(QStringLiteral("The value for the key “%1” is too large.").arg(key));
        if (length)
            *length = whole;
        return text;
    }

    // A string of at most `maxLength` characters; a longer one is refused.
    std::optional<QString> capped(Token value, const QString &key, qsizetype maxLength)
    {
        qsizetype whole = 0;
        auto text = string(value, key, maxLength, &whole);
        if (whole > maxLength)
            fail(QStringLiteral("The value for the key “%1” is longer than %2 characters.").arg(key).arg(maxLength));
        return text;
    }

    std::optional<QString> typedText(Token value, const QString &key)
    {
        return cappedTypedText(string(value, key, maxTypedLength + 1));
    }

    QStringList strings(Token value, const QString &key, qsizetype maxCount, qsizetype maxLength)
    {
        QStringList list;
        readArray(value, key, [&](Token element) {
            if (element == Token::null)
                fail(wrongType(key));
            if (list.size() == maxCount)
                fail(QStringLiteral("The value for the key “%1” holds more than %2 entries.").arg(key).arg(maxCount));
            list.append(*capped(element, key, maxLength));
        });
        return list;
    }

    std::optional<qint64> integer(Token value, const QString &key)
    {
        if (value == Token::null)
            return std::nullopt;
        // JSON numbers are read as doubles; only whole numbers a double holds exactly count.
        const double number = m_stream.number();
        if (value != Token::number || !std::isfinite(number) || std::trunc(number) != number ||
            std::fabs(number) > 9007199254740992.0)
            fail(wrongType(key));
        return qint64(number);
    }

    std::optional<QDateTime> date(Token value, const QString &key)
    {
        const auto text = string(value, key, 256);
        if (!text)
            return std::nullopt;
        const auto parsed = strict::parseInternetDate(*text);
        if (!parsed)
            fail(QStringLiteral("Invalid date: ") + *text);
        return parsed;
    }

    // Decoded as it is read: the text of a large value is never held.
    std::optional<QByteArray> bytes(Token value, const QString &key, qsizetype maxBytes)
    {
        if (value == Token::null)
            return std::nullopt;
        if (value != Token::string)
            fail(wrongType(key));
        Base64Decoder decoder(maxBytes);
        m_stream.string(decoder);
        switch (decoder.finish()) {
        case Base64Decoder::Status::ok:
            break;
        case Base64Decoder::Status::tooLarge:
            fail(QStringLiteral("The value for the key “%1” is larger than %2 MB.").arg(key).arg(maxBytes / (1024 * 1024)));
        case Base64Decoder::Status::invalid:
            fail(QStringLiteral("The value for the key “%1” is not valid Base64 data.").arg(key));
        }
        return decoder.takeBytes();
    }

    std::optional<QUuid> uuid(Token value, const QString &key)
    {
        const auto text = string(value, key, 64);
        if (!text)
            return std::nullopt;
        const auto parsed = strict::parseUuid(*text);
        if (!parsed)
            fail(QStringLiteral("The value for the key “%1” is not a valid UUID.").arg(key));
        return parsed;
    }

    std::optional<int> side(Token value, const QString &key)
    {
        const auto number = integer(value, key);
        if (number && (*number < 0 || *number > PinboardArchive::maxImageSide))
            fail(QStringLiteral("The value for the key “%1” is out of range.").arg(key));
        return number ? std::optional(int(*number)) : std::nullopt;
    }

    void readBoard(Token first)
    {
        PinboardArchive::Board board;
        std::optional<QString> name;
        std::optional<QString> color;
        bool clips = false;
        readObject(first, QStringLiteral("A pinboard"), [&](const QString &key, Token value) {
            if (key == u"name") {
                name = typedText(value, key);
            } else if (key == u"color") {
                color = capped(value, key, PinboardArchive::maxWordLength);
            } else if (key == u"clips") {
                clips = value != Token::null;
                readArray(value, key, [this](Token clip) {
                    if (++m_clips > PinboardArchive::maxClips)
                        fail(QStringLiteral("The file holds more than %1 clips.").arg(PinboardArchive::maxClips));
                    m_sink.clip(readClip(clip));
                });
            } else if (key == u"id") {
                board.id = uuid(value, key);
            } else {
                m_stream.skipValue(value);
            }
        });
        require(name.has_value(), QStringLiteral("name"));
        require(color.has_value(), QStringLiteral("color"));
        require(clips, QStringLiteral("clips"));
        board.name = *name;
        board.color = *color;
        m_sink.pinboard(std::move(board));
    }

    PinboardArchive::Clip readClip(Token first)
    {
        PinboardArchive::Clip clip;
        std::optional<QString> kind;
        std::optional<QStringList> keywords;
        std::optional<QDateTime> createdAt;
        qsizetype textLength = 0;
        readObject(first, QStringLiteral("A clip"), [&](const QString &key, Token value) {
            if (key == u"kind")
                kind = capped(value, key, PinboardArchive::maxWordLength);
            else if (key == u"title")
                clip.title = typedText(value, key);
            else if (key == u"text")
                clip.text = string(value, key, ClipDraft::largestText, &textLength);
            else if (key == u"keywords")
                keywords = value == Token::null ? std::nullopt
                                                : std::optional(strings(value, key, PinboardArchive::maxKeywords,
                                                                            PinboardArchive::maxNameLength));
            else if (key == u"rtf")
                clip.rtf = bytes(value, key, PinboardArchive::maxRtfBytes);
            else if (key == u"image")
                clip.image = bytes(value, key, PinboardArchive::maxImageBytes);
            else if (key == u"imageWidth")
                clip.imageWidth = side(value, key);
            else if (key == u"imageHeight")
                clip.imageHeight = side(value, key);
            else if (key == u"filePaths")
                clip.filePaths = value == Token::null ? std::nullopt
                                                      : std::optional(strings(value, key, ClipLimits::mostFiles,
                                                                              ClipLimits::longestPath));
            else if (key == u"sourceBundleID")
                clip.sourceBundleID = capped(value, key, PinboardArchive::maxNameLength);
            else if (key == u"sourceAppName")
                clip.sourceAppName = capped(value, key, PinboardArchive::maxNameLength);
            else if (key == u"createdAt")
                createdAt = date(value, key);
            else if (key == u"pinnedAt")
                clip.pinnedAt = date(value, key);
            else if (key == u"iconEmoji")
                clip.iconEmoji = capped(value, key, PinboardArchive::maxWordLength);
            else if (key == u"id")
                clip.id = uuid(value, key);
            else if (key == u"editedAt")
                clip.editedAt = date(value, key);
            else
                m_stream.skipValue(value);
        });
        require(kind.has_value(), QStringLiteral("kind"));
        require(keywords.has_value(), QStringLiteral("keywords"));
        require(createdAt.has_value(), QStringLiteral("createdAt"));
        clip.kind = *kind;
        clip.keywords = std::move(*keywords);
        clip.createdAt = *createdAt;
        if (clip.image)
            checkImage(*clip.image);
        if (clip.text && textLength > ClipDraft::largestText) {
            // Kept as a copy of that length would be.
            ClipDraft cut = ClipDraft::fromTextStart(std::move(*clip.text), textLength);
            clip.text = std::move(cut.text);
            if (!clip.title)
                clip.title = cut.title;
        }
        return clip;
    }

    void readApp(Token first)
    {
        PinboardArchive::App app;
        std::optional<QString> bundleID;
        std::optional<QString> tint;
        readObject(first, QStringLiteral("An app"), [&](const QString &key, Token value) {
            if (key == u"bundleID")
                bundleID = capped(value, key, PinboardArchive::maxNameLength);
            else if (key == u"name")
                app.name = capped(value, key, PinboardArchive::maxNameLength);
            else if (key == u"icon")
                app.icon = bytes(value, key, PinboardArchive::maxIconBytes);
            else if (key == u"tint")
                tint = capped(value, key, PinboardArchive::maxWordLength);
            else
                m_stream.skipValue(value);
        });
        require(bundleID.has_value(), QStringLiteral("bundleID"));
        require(tint.has_value(), QStringLiteral("tint"));
        app.bundleID = *bundleID;
        app.tint = *tint;
        // Apps stay in memory until the import is applied.
        m_iconBytes += app.icon.value_or(QByteArray()).size();
        if (m_iconBytes > PinboardArchive::maxIconsBytes)
            fail(QStringLiteral("The app icons in the file come to more than %1 MB.")
                     .arg(PinboardArchive::maxIconsBytes / (1024 * 1024)));
        m_sink.app(std::move(app));
    }

    JsonStream &m_stream;
    PinboardDocumentSink &m_sink;
    qsizetype m_pinboards = 0;
    qsizetype m_clips = 0;
    qsizetype m_apps = 0;
    qsizetype m_iconBytes = 0;
};

} // namespace

QDateTime readPinboardDocument(JsonStream &stream, PinboardDocumentSink &sink)
{
    return DocumentReader(stream, sink).read();
}

} // namespace tamo
