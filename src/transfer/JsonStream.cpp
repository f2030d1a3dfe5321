#include "transfer/JsonStream.h"

#include "transfer/PinboardArchive.h"

#include <QLatin1StringView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tamo {

namespace {

// Longer than any key the format has; longer keys are read as their start.
constexpr qsizetype longestKey = 64;
constexpr qsizetype longestNumber = 1024;

[[noreturn]] void sourceFailed()
{
    throw ArchiveError(ArchiveError::Kind::decoding, QStringLiteral("The file could not be read to its end."));
}

bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Keeps a string's first units and counts them all.
class PrefixSink final : public JsonStream::StringSink
{
public:
    PrefixSink(QString &into, qsizetype keep) : m_into(into), m_keep(keep) {}

    void take(QLatin1StringView ascii) override
    {
        const qsizetype room = std::clamp<qsizetype>(m_keep - m_units, 0, ascii.size());
        if (room > 0)
            m_into.append(ascii.first(room));
        m_units += ascii.size();
    }
    void take(char16_t unit) override
    {
        if (m_units++ < m_keep)
            m_into.append(QChar(unit));
    }
    qsizetype units() const { return m_units; }

private:
    QString &m_into;
    qsizetype m_keep;
    qsizetype m_units = 0;
};

} // namespace

JsonStream::JsonStream(Source source, const std::atomic<bool> *cancelled) : JsonStream(std::move(source), cancelled, {})
{
}

JsonStream::JsonStream(Source source, const std::atomic<bool> *cancelled, Limits limits)
    : m_source(std::move(source)), m_cancelled(cancelled), m_limits(limits), m_buffer(limits.bufferBytes, Qt::Uninitialized)
{
    // A byte-order mark is no fault.
    if (peek() == 0xEF && m_end - m_pos >= 3 && m_buffer.sliced(m_pos, 3) == "\xEF\xBB\xBF")
        m_pos += 3;
}

bool JsonStream::fill()
{
    if (m_sourceFailed)
        sourceFailed();
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
        // One byte past the limit tells a cut input from one that ends there.
        const qint64 wanted = std::min<qint64>(m_buffer.size() - m_end, m_limits.inputBytes + 1 - m_sourced);
        const qint64 read = m_source(m_buffer.data() + m_end, wanted);
        if (read < 0) {
            // What came before the failure is read first.
            m_sourceFailed = true;
            break;
        }
        if (read == 0) {
            m_atEnd = true;
            break;
        }
        m_end += read;
        m_sourced += read;
        if (m_sourced > m_limits.inputBytes) {
            m_end -= m_sourced - m_limits.inputBytes;
            m_cut = m_atEnd = true;
            break;
        }
    }
    if (m_end == m_pos && m_sourceFailed)
        sourceFailed();
    return m_end > m_pos;
}

// -1 at the end of the input; throws InputCut where the limit cut it.
int JsonStream::peek()
{
    if (m_pos == m_end && !fill()) {
        if (m_cut)
            throw InputCut{};
        return -1;
    }
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
        {
            PrefixSink sink(m_key, longestKey);
            readString(sink);
        }
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
        if (m_objects.size() >= m_limits.nesting)
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
    qsizetype length = 0;
    auto append = [&] {
        const char c = take();
        if (++length <= longestNumber)
            text.append(c);
    };
    auto digits = [&] {
        qsizetype count = 0;
        for (int c = peek(); c >= '0' && c <= '9'; c = peek(), ++count)
            append();
        if (count == 0)
            invalid("illegal number");
    };
    if (peek() == '-')
        append();
    if (peek() == '0')
        append();
    else
        digits();
    if (peek() == '.') {
        append();
        digits();
    }
    if (peek() == 'e' || peek() == 'E') {
        append();
        if (peek() == '+' || peek() == '-')
            append();
        digits();
    }
    if (length > longestNumber) {
        m_number = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    const auto [end, error] = std::from_chars(text.constData(), text.constData() + text.size(), m_number);
    if (error == std::errc::result_out_of_range)
        m_number = text.startsWith('-') ? -HUGE_VAL : HUGE_VAL;
    else if (error != std::errc() || end != text.constData() + text.size())
        invalid("illegal number");
}

QString JsonStream::string(qsizetype keep, qsizetype *length)
{
    QString text;
    PrefixSink sink(text, keep);
    string(sink);
    if (length)
        *length = sink.units();
    // A long text grew by doubling; what it holds is all it keeps.
    if (text.capacity() - text.size() > 64 * 1024)
        text.squeeze();
    return text;
}

void JsonStream::string(StringSink &sink)
{
    if (!m_stringPending)
        invalid("no string to read");
    m_stringPending = false;
    readString(sink);
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
void JsonStream::readString(StringSink &sink)
{
    for (;;) {
        if (peek() < 0)
            invalid("unterminated string");
        // Plain ASCII runs are taken whole.
        const char *start = m_buffer.constData() + m_pos;
        const char *run = start;
        const char *end = m_buffer.constData() + m_end;
        while (run < end && uchar(*run) >= 0x20 && uchar(*run) < 0x80 && *run != '"' && *run != '\\')
            ++run;
        if (run > start) {
            sink.take(QLatin1StringView(start, run));
            m_pos += run - start;
            continue;
        }
        const uchar c = uchar(take());
        if (c == '"')
            return;
        if (c < 0x20)
            invalid("control character in a string");
        if (c == '\\') {
            readEscape(sink, take());
            continue;
        }
        const char32_t codePoint = readUtf8(c);
        if (QChar::requiresSurrogates(codePoint)) {
            sink.take(QChar::highSurrogate(codePoint));
            sink.take(QChar::lowSurrogate(codePoint));
        } else {
            sink.take(char16_t(codePoint));
        }
    }
}

// The escape after a backslash; half a surrogate pair reads as U+FFFD.
void JsonStream::readEscape(StringSink &sink, char escaped)
{
    switch (escaped) {
    case '"': return sink.take(u'"');
    case '\\': return sink.take(u'\\');
    case '/': return sink.take(u'/');
    case 'b': return sink.take(u'\b');
    case 'f': return sink.take(u'\f');
    case 'n': return sink.take(u'\n');
    case 'r': return sink.take(u'\r');
    case 't': return sink.take(u'\t');
    case 'u': break;
    default: invalid("illegal escape");
    }
    constexpr char16_t replacement = QChar::ReplacementCharacter;
    const char16_t unit = readHexUnit();
    if (!QChar::isHighSurrogate(unit) || peek() != '\\')
        return sink.take(QChar::isSurrogate(unit) ? replacement : unit);
    ++m_pos;
    if (const char next = take(); next != 'u') {
        sink.take(replacement);
        return readEscape(sink, next);
    }
    const char16_t low = readHexUnit();
    if (QChar::isLowSurrogate(low)) {
        sink.take(unit);
        sink.take(low);
    } else {
        sink.take(replacement);
        sink.take(QChar::isSurrogate(low) ? replacement : low);
    }
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
