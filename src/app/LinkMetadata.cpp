#include "app/LinkMetadata.h"

#include "app/WebURL.h"
#include "platform/HtmlEntities.h"

#include <QStringDecoder>
#include <QVarLengthArray>

namespace tamo {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// The charset parameter of a Content-Type value ("text/html; charset=utf-8").
QByteArray charsetParameter(QByteArrayView contentType)
{
    const QByteArray lower = contentType.toByteArray().toLower();
    qsizetype pos = lower.indexOf("charset");
    if (pos < 0)
        return {};
    pos += qsizetype(sizeof("charset") - 1);
    while (pos < lower.size() && isSpace(lower[pos]))
        ++pos;
    if (pos >= lower.size() || lower[pos] != '=')
        return {};
    ++pos;
    while (pos < lower.size() && (isSpace(lower[pos]) || lower[pos] == '"' || lower[pos] == '\''))
        ++pos;
    const qsizetype start = pos;
    while (pos < lower.size() && !isSpace(lower[pos]) && lower[pos] != ';' && lower[pos] != '"' && lower[pos] != '\'')
        ++pos;
    return lower.sliced(start, pos - start);
}

// A decodable encoding name for a declared charset, or empty. Labels are
// mapped as browsers map them: Latin-1 pages are really Windows-1252, and a
// page readable as ASCII cannot be UTF-16.
QByteArray encodingFor(QByteArray label)
{
    label = label.trimmed().toLower();
    if (label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "ascii")
        label = "windows-1252";
    else if (label.startsWith("utf-16"))
        label = "utf-8";
    return !label.isEmpty() && QStringDecoder(label.constData()).isValid() ? label : QByteArray();
}

class Attributes
{
public:
    void add(QByteArrayView name, QByteArrayView value)
    {
        if (!find(name)) // the first of duplicates counts
            m_list.append({name, value});
    }
    QByteArrayView value(QByteArrayView name) const
    {
        const auto *attribute = find(name);
        return attribute ? attribute->value : QByteArrayView();
    }

private:
    struct Attribute
    {
        QByteArrayView name;
        QByteArrayView value;
    };
    const Attribute *find(QByteArrayView name) const
    {
        for (const Attribute &attribute : m_list) {
            if (equalsIgnoringCase(attribute.name, name))
                return &attribute;
        }
        return nullptr;
    }
    QVarLengthArray<Attribute, 8> m_list;
};

// The raw bytes of what the head declares, before decoding.
struct HeadValues
{
    QByteArrayView ogTitle;
    QByteArrayView ogImage;
    QByteArrayView icon;
    std::optional<QByteArrayView> title;
    QByteArray charset;
};

// A forgiving tag tokenizer over the start of a page, up to the body.
class HeadScanner
{
public:
    explicit HeadScanner(QByteArrayView html)
        : m_html(html)
    {
    }

    HeadValues scan()
    {
        for (qsizetype lt = m_html.indexOf('<'); lt >= 0; lt = m_html.indexOf('<', m_pos)) {
            m_pos = lt + 1;
            const QByteArrayView rest = m_html.sliced(m_pos);
            if (rest.startsWith("!--")) {
                m_pos = positionAfter("-->", m_pos + 3);
                continue;
            }
            if (rest.startsWith('!') || rest.startsWith('?')) {
                m_pos = positionAfter(">", m_pos);
                continue;
            }
            const bool endTag = rest.startsWith('/');
            if (endTag)
                ++m_pos;
            if (m_pos >= m_html.size() || !isAsciiLetter(m_html[m_pos]))
                continue; // a stray "<" in text
            const QByteArrayView name = readName();
            if (endTag) {
                if (equalsIgnoringCase(name, "head"))
                    break;
                m_pos = positionAfter(">", m_pos);
                continue;
            }
            const auto attributes = readAttributes();
            if (!attributes || equalsIgnoringCase(name, "body"))
                break;
            if (equalsIgnoringCase(name, "meta"))
                takeMeta(*attributes);
            else if (equalsIgnoringCase(name, "link"))
                takeLink(*attributes);
            else if (equalsIgnoringCase(name, "title"))
                takeTitle();
            else if (equalsIgnoringCase(name, "script") || equalsIgnoringCase(name, "style"))
                m_pos = endTagPosition(name, m_pos).value_or(m_html.size());
        }
        return m_found;
    }

private:
    qsizetype positionAfter(QByteArrayView marker, qsizetype from) const
    {
        const qsizetype at = m_html.indexOf(marker, from);
        return at < 0 ? m_html.size() : at + marker.size();
    }

    // Where "</name" starts, matched without regard to case.
    std::optional<qsizetype> endTagPosition(QByteArrayView name, qsizetype from) const
    {
        for (qsizetype at = m_html.indexOf("</", from); at >= 0; at = m_html.indexOf("</", at + 2)) {
            const qsizetype after = at + 2 + name.size();
            if (after > m_html.size())
                break;
            if (equalsIgnoringCase(m_html.sliced(at + 2, name.size()), name) && endsName(after))
                return at;
        }
        return std::nullopt;
    }

    bool endsName(qsizetype pos) const
    {
        return pos == m_html.size() || isSpace(m_html[pos]) || m_html[pos] == '/' || m_html[pos] == '>';
    }

    QByteArrayView readName()
    {
        const qsizetype start = m_pos;
        while (!endsName(m_pos))
            ++m_pos;
        return m_html.sliced(start, m_pos - start);
    }

    void skipSpaces()
    {
        while (m_pos < m_html.size() && isSpace(m_html[m_pos]))
            ++m_pos;
    }

    // Reads up to and past the tag's ">"; nothing when the page ends inside the tag.
    std::optional<Attributes> readAttributes()
    {
        Attributes attributes;
        while (m_pos < m_html.size()) {
            while (m_pos < m_html.size() && (isSpace(m_html[m_pos]) || m_html[m_pos] == '/'))
                ++m_pos;
            if (m_pos >= m_html.size())
                break;
            if (m_html[m_pos] == '>') {
                ++m_pos;
                return attributes;
            }
            const qsizetype nameStart = m_pos;
            ++m_pos; // a name may start with "="
            while (!endsName(m_pos) && m_html[m_pos] != '=')
                ++m_pos;
            const QByteArrayView name = m_html.sliced(nameStart, m_pos - nameStart);
            skipSpaces();
            QByteArrayView value;
            if (m_pos < m_html.size() && m_html[m_pos] == '=') {
                ++m_pos;
                skipSpaces();
                if (m_pos < m_html.size() && (m_html[m_pos] == '"' || m_html[m_pos] == '\'')) {
                    const qsizetype close = m_html.indexOf(m_html[m_pos], m_pos + 1);
                    if (close < 0)
                        break;
                    value = m_html.sliced(m_pos + 1, close - m_pos - 1);
                    m_pos = close + 1;
                } else {
                    const qsizetype start = m_pos;
                    while (m_pos < m_html.size() && !isSpace(m_html[m_pos]) && m_html[m_pos] != '>')
                        ++m_pos;
                    value = m_html.sliced(start, m_pos - start);
                }
            }
            attributes.add(name, value);
        }
        m_pos = m_html.size();
        return std::nullopt;
    }

    void takeMeta(const Attributes &attributes)
    {
        const QByteArrayView content = attributes.value("content");
        for (const char *keyAttribute : {"property", "name"}) {
            const QByteArrayView key = attributes.value(keyAttribute).trimmed();
            if (equalsIgnoringCase(key, "og:title"))
                takeFirstNonEmpty(m_found.ogTitle, content);
            else if (equalsIgnoringCase(key, "og:image") || equalsIgnoringCase(key, "og:image:url"))
                takeFirstNonEmpty(m_found.ogImage, content);
        }
        if (!m_found.charset.isEmpty())
            return;
        if (const QByteArrayView charset = attributes.value("charset"); !charset.isEmpty())
            m_found.charset = charset.toByteArray();
        else if (equalsIgnoringCase(attributes.value("http-equiv").trimmed(), "content-type"))
            m_found.charset = charsetParameter(content);
    }

    // rel="icon", "shortcut icon" and the like: "icon" among its words.
    void takeLink(const Attributes &attributes)
    {
        const QList<QByteArray> rels = attributes.value("rel").toByteArray().toLower().simplified().split(' ');
        if (rels.contains("icon"))
            takeFirstNonEmpty(m_found.icon, attributes.value("href"));
    }

    static void takeFirstNonEmpty(QByteArrayView &slot, QByteArrayView value)
    {
        if (slot.trimmed().isEmpty())
            slot = value;
    }

    // An unterminated title is broken markup, not a title as long as the page.
    void takeTitle()
    {
        const auto end = endTagPosition("title", m_pos);
        if (!end) {
            m_pos = m_html.size();
            return;
        }
        if (!m_found.title)
            m_found.title = m_html.sliced(m_pos, *end - m_pos);
        m_pos = *end;
    }

    QByteArrayView m_html;
    qsizetype m_pos = 0;
    HeadValues m_found;
};

QString textOf(QByteArrayView bytes, const QByteArray &encoding)
{
    QStringDecoder decoder(encoding.constData());
    return decodeHtmlEntities(QString(decoder.decode(bytes)));
}

std::optional<QString> titleFrom(const QString &text)
{
    QString title = text.simplified();
    return title.isEmpty() ? std::nullopt : std::optional(title);
}

std::optional<QUrl> imageURLFrom(const QString &text, const QUrl &pageURL)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QUrl url = pageURL.resolved(QUrl(trimmed));
    return isWebURL(url) ? std::optional(url) : std::nullopt;
}

} // namespace

LinkMetadata parseLinkMetadata(const QByteArray &html, const QUrl &pageURL, const QByteArray &contentType)
{
    // A byte-order mark outranks every declaration. UTF-16 pages are turned
    // into UTF-8 so the scanner can read their markup byte by byte.
    QByteArray utf8Copy;
    QByteArrayView bytes = html;
    QByteArray encoding;
    if (html.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
        encoding = "utf-8";
    } else if (html.startsWith("\xFF\xFE") || html.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(html.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        utf8Copy = QString(utf16.decode(bytes.sliced(2))).toUtf8();
        bytes = utf8Copy;
        encoding = "utf-8";
    }

    const HeadValues found = HeadScanner(bytes).scan();
    if (encoding.isEmpty())
        encoding = encodingFor(charsetParameter(contentType));
    if (encoding.isEmpty())
        encoding = encodingFor(found.charset);
    if (encoding.isEmpty())
        encoding = "utf-8";

    LinkMetadata metadata;
    metadata.title = titleFrom(textOf(found.ogTitle, encoding));
    if (!metadata.title && found.title)
        metadata.title = titleFrom(textOf(*found.title, encoding));
    metadata.imageURL = imageURLFrom(textOf(found.ogImage, encoding), pageURL);
    metadata.iconURL = imageURLFrom(textOf(found.icon, encoding), pageURL);
    return metadata;
}

} // namespace tamo
