#include "transfer/PasteJsonItems.h"

#include "transfer/PasteValues.h"

#include <zlib.h>

#include <limits>

namespace tamo::PasteImporter {

namespace {

// Raw DEFLATE (no zlib header), as the platform's "zlib" compression writes
// it, inflated a chunk at a time and never past a limit.
class InflatingSource
{
public:
    enum class End { none, finished, limit, damaged };

    InflatingSource(const CompressedChunks &chunks, qsizetype limit)
        : m_chunks(chunks), m_left(limit), m_buffer(64 * 1024, Qt::Uninitialized)
    {
        if (inflateInit2(&m_stream, -MAX_WBITS) != Z_OK)
            m_end = End::damaged;
        else
            m_open = true;
    }
    ~InflatingSource()
    {
        if (m_open)
            inflateEnd(&m_stream);
    }
    InflatingSource(const InflatingSource &) = delete;
    InflatingSource &operator=(const InflatingSource &) = delete;

    // The next byte, or -1 once the stream ended (end() says how).
    int get() { return m_at < m_size || refill() ? uchar(m_buffer[m_at++]) : -1; }
    int peek() { return m_at < m_size || refill() ? uchar(m_buffer[m_at]) : -1; }
    End end() const { return m_end; }

private:
    bool refill()
    {
        m_at = m_size = 0;
        while (m_size == 0 && m_end == End::none) {
            if (m_left == 0) {
                m_end = End::limit;
                break;
            }
            if (m_stream.avail_in == 0 && !takeInput())
                break;
            const qsizetype room = std::min<qsizetype>(m_buffer.size(), m_left);
            m_stream.next_out = reinterpret_cast<Bytef *>(m_buffer.data());
            m_stream.avail_out = uInt(room);
            const int status = inflate(&m_stream, Z_NO_FLUSH);
            m_size = room - qsizetype(m_stream.avail_out);
            m_left -= m_size;
            if (status == Z_STREAM_END)
                m_end = End::finished;
            else if (status != Z_OK)
                m_end = End::damaged; // also input that ends before the stream does
        }
        return m_size > 0;
    }

    // The next chunk of input, once all before it were taken.
    bool takeInput()
    {
        if (m_inputEnded)
            return true; // what inflate holds may still come out
        const std::optional<QByteArrayView> chunk = m_chunks();
        if (!chunk) {
            m_end = End::damaged;
            return false;
        }
        m_inputEnded = chunk->isEmpty();
        m_stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk->data()));
        m_stream.avail_in = uInt(std::min<qsizetype>(chunk->size(), std::numeric_limits<uInt>::max()));
        return true;
    }

    const CompressedChunks &m_chunks;
    bool m_inputEnded = false;
    z_stream m_stream{};
    bool m_open = false;
    qsizetype m_left;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    qsizetype m_size = 0;
    End m_end = End::none;
};

// Thrown to end the read: the JSON is malformed, or the read stops early
// with the items read so far.
struct Malformed {};
struct Stopped {};

// Deeper nesting than any item needs is refused, as Qt's parser refuses it.
constexpr qsizetype maxDepth = 1024;
// Longer than any key compared: such a key matches none.
constexpr qsizetype longestKey = 64;
constexpr char32_t replacement = 0xFFFD;

class JsonItemsReader
{
public:
    JsonItemsReader(const CompressedChunks &chunks, CutTypes *cutTypes)
        : m_source(chunks, maxJsonBytes), m_cutTypes(cutTypes)
    {
    }

    std::optional<QList<PasteboardItem>> read()
    {
        try {
            readArray();
            skipSpace();
            if (m_source.get() >= 0 || m_source.end() == InflatingSource::End::damaged)
                return std::nullopt;
        } catch (const Malformed &) {
            return std::nullopt;
        } catch (const Stopped &) {
        }
        if (m_items.isEmpty())
            return std::nullopt;
        return std::move(m_items);
    }

private:
    int get()
    {
        const int c = m_source.get();
        return c >= 0 ? c : ended();
    }
    int peek()
    {
        const int c = m_source.peek();
        return c >= 0 ? c : ended();
    }
    [[noreturn]] int ended() const
    {
        if (m_source.end() == InflatingSource::End::limit)
            throw Stopped();
        throw Malformed();
    }
    void expect(char wanted)
    {
        if (get() != wanted)
            throw Malformed();
    }
    void skipSpace()
    {
        for (int c = m_source.peek(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = m_source.peek())
            m_source.get();
    }

    // [ {…}, … ] with at least one element, each an object.
    void readArray()
    {
        skipSpace();
        expect('[');
        for (int next = ','; next != ']'; next = get()) {
            if (next != ',')
                throw Malformed();
            skipSpace();
            expect('{');
            m_items.append(PasteboardItem());
            readObject([this](QByteArrayView key) {
                if (key != QByteArrayView("dataByType"))
                    return skipValue();
                // A later "dataByType" replaces an earlier one, as a later key does.
                m_items.last().clear();
                if (peek() != '{')
                    return skipValue();
                get();
                readObject([this](QByteArrayView type) { readTypeValue(type); });
            });
            skipSpace();
        }
    }

    // The members of an object whose '{' was read, each value handed to
    // `readValue` with its key.
    template<typename ReadValue>
    void readObject(ReadValue readValue)
    {
        skipSpace();
        if (peek() == '}') {
            get();
            return;
        }
        for (int next = ','; next != '}'; next = get()) {
            if (next != ',')
                throw Malformed();
            const QByteArray key = readKey();
            readValue(key);
            skipSpace();
        }
    }

    // A key and its colon, the key at most longestKey + 1 bytes of its UTF-8.
    QByteArray readKey()
    {
        skipSpace();
        expect('"');
        QByteArray key;
        readString([&key](char32_t c) {
            if (key.size() > longestKey)
                return;
            if (c < 0x80)
                key.append(char(c));
            else
                key.append(QString::fromUcs4(&c, 1).toUtf8());
        });
        skipSpace();
        expect(':');
        skipSpace();
        return key;
    }

    void readTypeValue(QByteArrayView name)
    {
        const QString type = capturedType(name);
        if (type.isEmpty())
            return skipValue();
        PasteboardItem &item = m_items.last();
        // A later value of a type replaces an earlier one, as a later key does.
        item.remove(type);
        if (peek() != '"')
            return skipValue();
        get();
        KeptValue value(type, m_budget);
        Base64Stream base64(value);
        bool taking = true;
        try {
            readString([&](char32_t c) {
                if (taking && !base64.add(c)) {
                    taking = false;
                    if (value.isCut())
                        throw Stopped();
                }
            });
            if (taking && base64.finish())
                return keepValue(item, type, value, m_budget);
            if (value.isCut()) // by the last of its characters
                throw Stopped();
        } catch (const Stopped &) {
            // A text whose end is not read keeps its start; anything else is left out.
            const bool valid = base64.isValid();
            base64.finish();
            if (value.isText() && valid) {
                value.endEarly();
                keepValue(item, type, value, m_budget);
                if (m_cutTypes && m_items.size() == 1)
                    m_cutTypes->insert(type);
            }
            throw;
        }
    }

    // The characters of a string whose opening quote was read, through its
    // closing quote, each handed to `take`; strict UTF-8, JSON's escapes.
    template<typename Take>
    void readString(Take take)
    {
        for (;;) {
            const int c = get();
            if (c == '"')
                return;
            if (c == '\\')
                take(escaped());
            else if (c < 0x20)
                throw Malformed();
            else if (c < 0x80)
                take(char32_t(c));
            else
                take(utf8Character(c));
        }
    }

    char32_t escaped()
    {
        const int c = get();
        if (c != 'u')
            return simpleEscape(c);
        const char32_t unit = hexUnit();
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (!high || peek() != '\\')
            return high || (unit >= 0xDC00 && unit <= 0xDFFF) ? replacement : unit;
        // A pair of escapes for one character beyond the first plane. Half a
        // pair, which JSON allows, reads as a replacement character with the
        // escape after it: no key or Base64 holds either.
        get();
        if (const int next = get(); next != 'u') {
            simpleEscape(next);
            return replacement;
        }
        const char32_t low = hexUnit();
        if (low < 0xDC00 || low > 0xDFFF)
            return replacement;
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }

    static char32_t simpleEscape(int c)
    {
        switch (c) {
        case '"': return '"';
        case '\\': return '\\';
        case '/': return '/';
        case 'b': return '\b';
        case 'f': return '\f';
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        default: throw Malformed();
        }
    }

    char32_t hexUnit()
    {
        char32_t unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = get();
            const int digit = c >= '0' && c <= '9' ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0)
                throw Malformed();
            unit = unit << 4 | char32_t(digit);
        }
        return unit;
    }

    // A character of well-formed UTF-8 whose first byte was read: shortest
    // form, no surrogates, nothing past U+10FFFF.
    char32_t utf8Character(int lead)
    {
        int tail = 0;
        char32_t c = 0;
        char32_t lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            tail = 1, c = char32_t(lead & 0x1F), lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            tail = 2, c = char32_t(lead & 0x0F), lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            tail = 3, c = char32_t(lead & 0x07), lowest = 0x10000;
        } else {
            throw Malformed();
        }
        for (int i = 0; i < tail; ++i) {
            const int next = get();
            if ((next & 0xC0) != 0x80)
                throw Malformed();
            c = c << 6 | char32_t(next & 0x3F);
        }
        if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            throw Malformed();
        return c;
    }

    // Any one value, checked and dropped, without recursion.
    void skipValue()
    {
        QByteArray closers; // of the containers open
        for (;;) {
            skipSpace();
            bool opened = false;
            switch (const int c = get()) {
            case '"':
                readString([](char32_t) {});
                break;
            case '[':
            case '{':
                if (closers.size() == maxDepth)
                    throw Malformed();
                skipSpace();
                if (peek() == (c == '[' ? ']' : '}')) {
                    get();
                    break;
                }
                closers.append(c == '[' ? ']' : '}');
                if (c == '{')
                    readKey();
                opened = true;
                break;
            case 't':
                expectWord("rue");
                break;
            case 'f':
                expectWord("alse");
                break;
            case 'n':
                expectWord("ull");
                break;
            default:
                skipNumber(c);
                break;
            }
            if (opened)
                continue;
            // After a value: close what it ended, or go on to the next one.
            for (;;) {
                if (closers.isEmpty())
                    return;
                skipSpace();
                const int next = get();
                if (next == closers.back()) {
                    closers.chop(1);
                    continue;
                }
                if (next != ',')
                    throw Malformed();
                if (closers.back() == '}')
                    readKey();
                break;
            }
        }
    }

    void expectWord(const char *rest)
    {
        for (; *rest; ++rest)
            expect(*rest);
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)? whose first character was read.
    void skipNumber(int c)
    {
        if (c == '-')
            c = get();
        if (c < '0' || c > '9')
            throw Malformed();
        if (c != '0')
            skipDigits();
        if (peek() == '.') {
            get();
            expectDigits();
        }
        if (peek() == 'e' || peek() == 'E') {
            get();
            if (peek() == '+' || peek() == '-')
                get();
            expectDigits();
        }
    }
    void skipDigits()
    {
        while (peek() >= '0' && peek() <= '9')
            get();
    }
    void expectDigits()
    {
        const int c = get();
        if (c < '0' || c > '9')
            throw Malformed();
        skipDigits();
    }

    InflatingSource m_source;
    CutTypes *m_cutTypes;
    QList<PasteboardItem> m_items;
    Budget m_budget;
};

} // namespace

std::optional<QList<PasteboardItem>> itemsFromDeflatedJson(const QByteArray &bytes, CutTypes *cutTypes)
{
    bool handedOut = false;
    return itemsFromDeflatedJson(
        [&]() -> std::optional<QByteArrayView> {
            return std::exchange(handedOut, true) ? QByteArrayView() : QByteArrayView(bytes);
        },
        cutTypes);
}

std::optional<QList<PasteboardItem>> itemsFromDeflatedJson(const CompressedChunks &chunks, CutTypes *cutTypes)
{
    return JsonItemsReader(chunks, cutTypes).read();
}

} // namespace tamo::PasteImporter
