#include "platform/HtmlText.h"

#include "platform/HtmlEntities.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tamo::HtmlText {

namespace {

using namespace Qt::StringLiterals;

// How much of the page is read between two questions to `stopped`.
constexpr qsizetype checkInterval = 16 * 1024;
// Longer than any character reference a page writes ("&#x0010FFFF;").
constexpr qsizetype longestReference = 16;

enum class Role {
    inline_, // shows its contents in the line
    block,   // starts and ends a line
    row,     // a block whose cells are apart by tabs
    cell,
    lineBreak,
    preformatted, // a block whose white space is kept
    hidden,       // its contents are not shown, up to its end tag
};

struct ElementRole
{
    std::string_view name;
    Role role;
};

constexpr std::array elementRoles{
    ElementRole{"address", Role::block},    ElementRole{"article", Role::block},
    ElementRole{"aside", Role::block},      ElementRole{"blockquote", Role::block},
    ElementRole{"body", Role::block},       ElementRole{"br", Role::lineBreak},
    ElementRole{"caption", Role::block},    ElementRole{"center", Role::block},
    ElementRole{"dd", Role::block},         ElementRole{"details", Role::block},
    ElementRole{"dialog", Role::block},     ElementRole{"dir", Role::block},
    ElementRole{"div", Role::block},        ElementRole{"dl", Role::block},
    ElementRole{"dt", Role::block},         ElementRole{"fieldset", Role::block},
    ElementRole{"figcaption", Role::block}, ElementRole{"figure", Role::block},
    ElementRole{"footer", Role::block},     ElementRole{"form", Role::block},
    ElementRole{"h1", Role::block},         ElementRole{"h2", Role::block},
    ElementRole{"h3", Role::block},         ElementRole{"h4", Role::block},
    ElementRole{"h5", Role::block},         ElementRole{"h6", Role::block},
    ElementRole{"header", Role::block},     ElementRole{"hgroup", Role::block},
    ElementRole{"hr", Role::block},         ElementRole{"html", Role::block},
    ElementRole{"legend", Role::block},     ElementRole{"li", Role::block},
    ElementRole{"main", Role::block},       ElementRole{"menu", Role::block},
    ElementRole{"nav", Role::block},        ElementRole{"ol", Role::block},
    ElementRole{"p", Role::block},          ElementRole{"pre", Role::preformatted},
    ElementRole{"script", Role::hidden},    ElementRole{"section", Role::block},
    ElementRole{"style", Role::hidden},     ElementRole{"summary", Role::block},
    ElementRole{"table", Role::row},        ElementRole{"tbody", Role::block},
    ElementRole{"td", Role::cell},          ElementRole{"template", Role::hidden},
    ElementRole{"tfoot", Role::block},      ElementRole{"th", Role::cell},
    ElementRole{"thead", Role::block},      ElementRole{"title", Role::hidden},
    ElementRole{"tr", Role::row},           ElementRole{"ul", Role::block},
};

static_assert(std::ranges::is_sorted(elementRoles, {}, &ElementRole::name));
constexpr std::size_t longestElementName = 10;

// Looked up in lower case, by halves: a page may hold millions of tags.
Role roleOf(QStringView name)
{
    if (name.size() > qsizetype(longestElementName))
        return Role::inline_;
    std::array<char, longestElementName> lower{};
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u > 0x7F)
            return Role::inline_;
        lower[std::size_t(i)] = char(u >= u'A' && u <= u'Z' ? u - u'A' + u'a' : u);
    }
    const std::string_view key(lower.data(), std::size_t(name.size()));
    const auto found = std::ranges::lower_bound(elementRoles, key, {}, &ElementRole::name);
    return found != elementRoles.end() && found->name == key ? found->role : Role::inline_;
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isHtmlSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

constexpr QChar noBreakSpace(0xA0);

// Writes the text as the elements come, keeping only what the next
// character decides on: a line break or a space still to come.
class TextWriter
{
public:
    explicit TextWriter(qsizetype pageLength) { m_text.reserve(pageLength); }

    void openElement(Role role)
    {
        switch (role) {
        case Role::block:
            endLine();
            break;
        case Role::row:
            endLine();
            m_cellsInRow = 0;
            break;
        case Role::cell:
            startCell();
            break;
        case Role::lineBreak:
            breakLine();
            break;
        case Role::preformatted:
            endLine();
            ++m_preformattedDepth;
            m_dropsNewline = true;
            break;
        case Role::inline_:
        case Role::hidden:
            break;
        }
    }

    void closeElement(Role role)
    {
        switch (role) {
        case Role::block:
        case Role::row:
            endLine();
            break;
        case Role::cell:
            m_spacePending = false;
            m_spaceAllowed = false;
            break;
        case Role::lineBreak: // </br> is a <br>, as browsers take it
            breakLine();
            break;
        case Role::preformatted:
            endLine();
            m_preformattedDepth = std::max(0, m_preformattedDepth - 1);
            break;
        case Role::inline_:
        case Role::hidden:
            break;
        }
    }

    // One character of decoded text. A CR and an LF after it are one LF,
    // and so is a CR alone, as the HTML parser has it.
    void character(QChar c)
    {
        if (std::exchange(m_afterReturn, c == u'\r') && c == u'\n')
            return;
        if (c == u'\r')
            c = u'\n';
        if (m_preformattedDepth > 0)
            preformattedCharacter(c);
        else if (isHtmlSpace(c))
            m_spacePending = m_spaceAllowed;
        else
            visibleCharacter(c);
    }

    QString take() { return std::move(m_text); }

private:
    void preformattedCharacter(QChar c)
    {
        if (std::exchange(m_dropsNewline, false) && c == u'\n')
            return;
        if (c == u'\n') {
            // Held back like a block's end: the line break that ends the
            // block shows no empty line.
            m_spaceAllowed = false;
            writePendingBreak();
            m_breakPending = true;
            m_lineOpen = false;
            return;
        }
        visibleCharacter(c);
    }

    void visibleCharacter(QChar c)
    {
        writePendingBreak();
        if (std::exchange(m_spacePending, false))
            m_text.append(u' ');
        // Shown as a space, and copied as one.
        m_text.append(c == noBreakSpace ? QChar(u' ') : c);
        m_lineOpen = true;
        m_spaceAllowed = true;
    }

    // The end of a block: the next text starts a line of its own, if this
    // line holds anything.
    void endLine()
    {
        m_spacePending = false;
        m_spaceAllowed = false;
        m_dropsNewline = false;
        if (std::exchange(m_lineOpen, false))
            m_breakPending = true;
    }

    void breakLine()
    {
        m_spacePending = false;
        m_spaceAllowed = false;
        writePendingBreak();
        m_text.append(u'\n');
        m_lineOpen = false;
    }

    void startCell()
    {
        m_spacePending = false;
        m_spaceAllowed = false;
        if (m_cellsInRow++ == 0)
            return;
        writePendingBreak();
        m_text.append(u'\t');
        m_lineOpen = true;
    }

    void writePendingBreak()
    {
        if (std::exchange(m_breakPending, false))
            m_text.append(u'\n');
    }

    QString m_text;
    bool m_lineOpen = false;
    bool m_breakPending = false;
    bool m_spacePending = false;
    bool m_spaceAllowed = false;
    bool m_dropsNewline = false;
    bool m_afterReturn = false;
    int m_preformattedDepth = 0;
    int m_cellsInRow = 0;
};

// Reads the page once from start to end; no position is read twice, but
// for the end of a hidden element's contents, searched for once.
class PageReader
{
public:
    PageReader(QStringView html, const std::function<bool()> &stopped)
        : m_html(html)
        , m_stopped(stopped)
        , m_writer(html.size())
    {
    }

    std::optional<QString> read()
    {
        while (m_at < m_html.size()) {
            if (m_at >= m_nextCheck) {
                if (m_stopped())
                    return std::nullopt;
                m_nextCheck = m_at + checkInterval;
            }
            if (m_html[m_at] != u'<' || !readMarkup())
                readText();
        }
        return m_writer.take();
    }

private:
    // The text from m_at up to the next markup, at most a check's worth.
    void readText()
    {
        QStringView text = m_html.sliced(m_at, std::min(checkInterval, m_html.size() - m_at));
        if (const qsizetype markup = text.indexOf(u'<', 1); markup > 0) {
            text.truncate(markup);
        } else if (const qsizetype reference = text.lastIndexOf(u'&');
                   reference > 0 && text.size() == checkInterval && text.size() - reference < longestReference) {
            // Its end is in the next slice: it is read with it.
            text.truncate(reference);
        }
        m_at += text.size();
        QString decoded;
        if (text.contains(u'&')) {
            decoded = decodeHtmlEntities(text);
            text = decoded;
        }
        for (const QChar c : text)
            m_writer.character(c);
    }

    // A tag, comment or declaration at m_at; false when the '<' is text.
    bool readMarkup()
    {
        const QChar next = at(m_at + 1);
        if (isAsciiLetter(next)) {
            readTag(m_at + 1, false);
        } else if (next == u'/' && isAsciiLetter(at(m_at + 2))) {
            readTag(m_at + 2, true);
        } else if (next == u'!' && m_html.sliced(m_at).startsWith(u"<!--")) {
            skipPast(m_at + 2, u"-->"); // "<!-->" is a whole comment too
        } else if (next == u'!' || next == u'?' || next == u'/') {
            skipPast(m_at + 2, u">");
        } else {
            return false;
        }
        return true;
    }

    QChar at(qsizetype index) const { return index < m_html.size() ? m_html[index] : QChar(); }

    void readTag(qsizetype nameStart, bool closing)
    {
        qsizetype at = nameStart;
        while (at < m_html.size() && !isHtmlSpace(m_html[at]) && m_html[at] != u'/' && m_html[at] != u'>')
            ++at;
        const QStringView name = m_html.sliced(nameStart, at - nameStart);
        const Role role = roleOf(name);
        m_at = endOfTag(at);
        if (closing) {
            m_writer.closeElement(role);
            return;
        }
        m_writer.openElement(role);
        if (role == Role::hidden) {
            QString endTag = u"</"_s;
            endTag.append(name);
            const qsizetype end = m_html.indexOf(endTag, m_at, Qt::CaseInsensitive);
            m_at = end < 0 ? m_html.size() : end;
        }
    }

    // Past the '>' that ends the tag whose attributes start at `at`: a '>'
    // inside a quoted value is part of the value.
    qsizetype endOfTag(qsizetype at) const
    {
        QChar quote;
        bool afterEquals = false;
        for (; at < m_html.size(); ++at) {
            const QChar c = m_html[at];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'>') {
                return at + 1;
            } else if (afterEquals && (c == u'"' || c == u'\'')) {
                quote = c;
            }
            if (c == u'=')
                afterEquals = true;
            else if (!isHtmlSpace(c))
                afterEquals = false;
        }
        return m_html.size();
    }

    void skipPast(qsizetype from, QStringView end)
    {
        const qsizetype found = m_html.indexOf(end, from);
        m_at = found < 0 ? m_html.size() : found + end.size();
    }

    const QStringView m_html;
    const std::function<bool()> &m_stopped;
    TextWriter m_writer;
    qsizetype m_at = 0;
    qsizetype m_nextCheck = 0;
};

} // namespace

std::optional<QString> plainText(QStringView html, const std::function<bool()> &stopped)
{
    return PageReader(html, stopped).read();
}

} // namespace tamo::HtmlText
