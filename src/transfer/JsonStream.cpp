#include "transfer/JsonStream.h"

#include "transfer/PinboardArchive.h"

#include <QLatin1StringView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace tamo {

namespace {

constexpr qsizetype bufferBytes = 1024 * 1024;
// Deeper than any file of ours.
constexpr std::size_t deepestNesting = 1024;
// Longer than any key the format has; longer keys are read as their start.
constexpr qsizetype longestKey = 64;
constexpr qsizetype longestNumber = 1024;

bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

JsonStream::JsonStream(Source source, const std::atomic<bool> *cancelled)
    : m_source(std::move(source)), m_cancelled(cancelled), m_buffer(bufferBytes, Qt::Uninitialized)
{
    // A byte-order mark is no fault.
    if (peek() == 0xEF && m_end - m_pos >= 3 && m_buffer.sliced(m_pos, 3) == "\xEF\xBB\xBF")
        m_pos += 3;
}

bool JsonStream::fill()
{
    if (m_atEnd)
        return false;
    if (m_cancelled && m_cancelled->load())
        throw ReadCancelled{};
    m_consumed += m_pos;
    const qsizetype kept = m_end - m_pos;
    if (kept > 0)
        std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, std::size_t(kept));
    m_pos = 0;
    m_end = kept;
    while (m_end < m_buffer.size()) {
        const qint64 read = m_source(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (read < 0)
            throw ArchiveError(ArchiveError::Kind::decoding, QStringLiteral("The file could not be read to its end."));
        if (read == 0) {
            m_atEnd = true;
            break;
        }
        m_end += read;
    }
    return m_end > m_pos;
}

int JsonStream::peek()
{
    if (m_pos == m_end && !fill())
        return -1;
    return uchar(m_buffer[m_pos]);
}

char JsonStream::take()
{
    if (peek() < 0)
        invalid("unexpected end of the file");
    return m_buffer[m_pos++];
}

void JsonStream::skipSpace()
{
    while (isSpace(peek()))
        ++m_pos;
}

void JsonStream::invalid(const char *what) const
{
    throw ArchiveError(ArchiveError::Kind::decoding, QStringLiteral("The file isn't valid JSON (%1 at offset %2).")
                                                         .arg(QLatin1StringView(what))
                                                         .arg(m_consumed + m_pos));
}

JsonStream::Token JsonStream::next()
{
    if (m_stringPending)
        skipString();
    skipSpace();
    const int c = peek();
    switch (m_expect) {
    case Expect::nothing:
        if (c >= 0)
            invalid("garbage after the document");
        return Token::end;
    case Expect::commaOrEnd:
        if (c == ',') {
            ++m_pos;
            m_expect = m_objects.back() ? Expect::key : Expect::value;
            return next();
        }
        [[fallthrough]];
    case Expect::valueOrEnd:
    case Expect::keyOrEnd:
        if (c == (m_objects.back() ? '}' : ']')) {
            ++m_pos;
            const bool object = m_objects.back();
            m_objects.pop_back();
            return afterValue(object ? Token::objectEnd : Token::arrayEnd);
        }
        if (m_expect == Expect::commaOrEnd)
            invalid(m_objects.back() ? "missing comma or closing brace" : "missing comma or closing bracket");
        if (m_expect == Expect::valueOrEnd)
            return readValueStart(char(c));
        [[fallthrough]];
    case Expect::key:
        if (c != '"')
            invalid("a key is missing");
        ++m_pos;
        m_key.clear();
        readString(&m_key, longestKey, nullptr);
        skipSpace();
        if (take() != ':')
            invalid("missing colon");
        m_expect = Expect::value;
        return Token::key;
    case Expect::value:
        if (c < 0)
            invalid("unexpected end of the file");
        return readValueStart(char(c));
    }
    Q_UNREACHABLE();
    return Token::end;
}

JsonStream::Token JsonStream::afterValue(Token token)
{
    m_expect = m_objects.empty() ? Expect::nothing : Expect::commaOrEnd;
    return token;
}

JsonStream::Token JsonStream::readValueStart(char c)
{
    switch (c) {
    case '{':
    case '[':
        if (m_objects.size() >= deepestNesting)
            invalid("too deeply nested");
        ++m_pos;
        m_objects.push_back(c == '{');
        m_expect = c == '{' ? Expect::keyOrEnd : Expect::valueOrEnd;
        return c == '{' ? Token::objectStart : Token::arrayStart;
    case '"':
        ++m_pos;
        m_stringPending = true;
        return afterValue(Token::string);
    case 't':
        readLiteral("true");
        m_boolean = true;
        return afterValue(Token::boolean);
    case 'f':
        readLiteral("false");
        m_boolean = false;
        return afterValue(Token::boolean);
    case 'n':
        readLiteral("null");
        return afterValue(Token::null);
    default:
        readNumber();
        return afterValue(Token::number);
    }
}

void JsonStream::readLiteral(const char *word)
{
    for (const char *c = word; *c; ++c) {
        if (peek() != uchar(*c))
            invalid("illegal value");
        ++m_pos;
    }
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
void JsonStream::readNumber()
{
    QByteArray text;
    auto digits = [&] {
        qsizetype count = 0;
        for (int c = peek(); c >= '0' && c <= '9'; c = peek(), ++count) {
            text.append(take());
            if (text.size() > longestNumber)
                invalid("number too long");
        }
        if (count == 0)
            invalid("illegal number");
        return count;
    };
    if (peek() == '-')
        text.append(take());
    if (peek() == '0')
        text.append(take());
    else
        digits();
    if (peek() == '.') {
        text.append(take());
        digits();
    }
    if (peek() == 'e' || peek() == 'E') {
        text.append(take());
        if (peek() == '+' || peek() == '-')
            text.append(take());
        digits();
    }
    const auto [end, error] = std::from_chars(text.constData(), text.constData() + text.size(), m_number);
    if (error == std::errc::result_out_of_range)
        m_number = text.startsWith('-') ? -HUGE_VAL : HUGE_VAL;
    else if (error != std::errc() || end != text.constData() + text.size())
        invalid("illegal number");
}

QString JsonStream::string(qsizetype keep, qsizetype *length)
{
    if (!m_stringPending)
        invalid("no string to read");
    m_stringPending = false;
    QString text;
    readString(&text, keep, length);
    // A long text grew by doubling; what it holds is all it keeps.
    if (text.capacity() - text.size() > 64 * 1024)
        text.squeeze();
    return text;
}

void JsonStream::skipValue(Token token)
{
    if (token == Token::string) {
        skipString();
        return;
    }
    if (token != Token::objectStart && token != Token::arrayStart)
        return;
    const std::size_t depth = m_objects.size();
    while (m_objects.size() >= depth)
        next();
}

// Reads past the closing quote; the opening one was read.
void JsonStream::readString(QString *into, qsizetype keep, qsizetype *length)
{
    qsizetype units = 0;
    auto append = [&](char16_t unit) {
        if (units++ < keep)
            into->append(QChar(unit));
    };
    for (;;) {
        if (m_pos == m_end && !fill())
            invalid("unterminated string");
        // Plain ASCII runs are taken whole.
        const char *start = m_buffer.constData() + m_pos;
        const char *run = start;
        const char *end = m_buffer.constData() + m_end;
        while (run < end && uchar(*run) >= 0x20 && uchar(*run) < 0x80 && *run != '"' && *run != '\\')
            ++run;
        if (run > start) {
            const qsizetype count = run - start;
            const qsizetype room = std::clamp<qsizetype>(keep - units, 0, count);
            if (room > 0)
                into->append(QLatin1StringView(start, room));
            units += count;
            m_pos += count;
            continue;
        }
        const uchar c = uchar(take());
        if (c == '"')
            break;
        if (c < 0x20)
            invalid("control character in a string");
        if (c == '\\') {
            const char escaped = take();
            switch (escaped) {
            case '"': append(u'"'); break;
            case '\\': append(u'\\'); break;
            case '/': append(u'/'); break;
            case 'b': append(u'\b'); break;
            case 'f': append(u'\f'); break;
            case 'n': append(u'\n'); break;
            case 'r': append(u'\r'); break;
            case 't': append(u'\t'); break;
            case 'u': {
                const char16_t unit = readHexUnit();
                if (QChar::isHighSurrogate(unit) && peek() == '\\') {
                    ++m_pos;
                    if (take() != 'u')
                        invalid("illegal escape");
                    const char16_t low = readHexUnit();
                    if (QChar::isLowSurrogate(low)) {
                        append(unit);
                        append(low);
                    } else {
                        append(QChar::ReplacementCharacter);
                        append(QChar::isSurrogate(low) ? char16_t(QChar::ReplacementCharacter) : low);
                    }
                } else {
                    append(QChar::isSurrogate(unit) ? char16_t(QChar::ReplacementCharacter) : unit);
                }
                break;
            }
            default:
                invalid("illegal escape");
            }
            continue;
        }
        const char32_t codePoint = readUtf8(c);
        if (QChar::requiresSurrogates(codePoint)) {
            append(QChar::highSurrogate(codePoint));
            append(QChar::lowSurrogate(codePoint));
        } else {
            append(char16_t(codePoint));
        }
    }
    if (length)
        *length = units;
}

// The code point that `lead` begins, refusing overlong forms, surrogates
// and what lies past U+10FFFF.
char32_t JsonStream::readUtf8(uchar lead)
{
    const auto refuse = [] {
        throw ArchiveError(ArchiveError::Kind::decoding, QStringLiteral("The file isn't valid UTF-8 text."));
    };
    int more = 0;
    char32_t codePoint = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1, codePoint = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2, codePoint = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3, codePoint = lead & 0x07, least = 0x10000;
    } else {
        refuse();
    }
    for (int i = 0; i < more; ++i) {
        const int next = peek();
        if (next < 0 || (next & 0xC0) != 0x80)
            refuse();
        ++m_pos;
        codePoint = (codePoint << 6) | char32_t(next & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        refuse();
    return codePoint;
}

char16_t JsonStream::readHexUnit()
{
    char16_t unit = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = take();
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            invalid("illegal escape");
        unit = char16_t(unit * 16 + digit);
    }
    return unit;
}

} // namespace tamo
