#include "transfer/PasteJsonItems.h"

#include "transfer/JsonStream.h"
#include "transfer/PasteValues.h"
#include "transfer/PinboardArchive.h"

#include <zlib.h>

#include <limits>

namespace tamo::PasteImporter {

namespace {

// Raw DEFLATE (no zlib header), as the platform's "zlib" compression writes
// it, inflated a chunk at a time into what the JSON reader asks for.
class InflatingSource
{
public:
    explicit InflatingSource(const CompressedChunks &chunks) : m_chunks(chunks)
    {
        m_open = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK;
        m_state = m_open ? State::inflating : State::damaged;
    }
    ~InflatingSource()
    {
        if (m_open)
            inflateEnd(&m_stream);
    }
    InflatingSource(const InflatingSource &) = delete;
    InflatingSource &operator=(const InflatingSource &) = delete;

    // As a JsonStream::Source: bytes inflated into `into`, 0 at the stream's
    // end, -1 once it is damaged.
    qint64 read(char *into, qint64 maxBytes)
    {
        qint64 size = 0;
        while (size == 0 && m_state == State::inflating) {
            if (m_stream.avail_in == 0 && !takeInput())
                break;
            m_stream.next_out = reinterpret_cast<Bytef *>(into);
            m_stream.avail_out = uInt(std::min<qint64>(maxBytes, std::numeric_limits<uInt>::max()));
            const uInt room = m_stream.avail_out;
            const int status = inflate(&m_stream, Z_NO_FLUSH);
            size = room - m_stream.avail_out;
            if (status == Z_STREAM_END)
                m_state = State::finished;
            else if (status != Z_OK)
                m_state = State::damaged; // also input that ends before the stream does
        }
        return size > 0 || m_state == State::finished ? size : -1;
    }

private:
    enum class State { inflating, finished, damaged };

    // The next chunk of input, once all before it were taken.
    bool takeInput()
    {
        if (m_inputEnded)
            return true; // what inflate holds may still come out
        const std::optional<QByteArrayView> chunk = m_chunks();
        if (!chunk) {
            m_state = State::damaged;
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
    State m_state = State::damaged;
};

// Thrown to end the read at a text cut at its cap, with the items read so far.
struct Stopped
{
};

// Deeper nesting than any item needs is refused, as Qt's parser refuses it
// within an item's member (the array and the item add two).
constexpr std::size_t deepestNesting = 1024 + 2;

// A string's characters decoded as Base64 into a value, until the value
// takes no more.
class Base64Sink final : public JsonStream::StringSink
{
public:
    explicit Base64Sink(KeptValue &value) : m_value(value), m_base64(value) {}

    void take(QLatin1StringView ascii) override
    {
        for (const char c : ascii)
            take(char16_t(uchar(c)));
    }
    void take(char16_t unit) override
    {
        if (m_taking && !m_base64.add(unit)) {
            m_taking = false;
            if (m_value.isCut())
                throw Stopped();
        }
    }
    // Whether the whole string was taken, as Base64.
    bool finish() { return m_taking && m_base64.finish(); }
    // Whether what was taken is Base64 so far; hands it over.
    bool finishEarly()
    {
        const bool valid = m_base64.isValid();
        m_base64.finish();
        return valid;
    }

private:
    KeptValue &m_value;
    Base64Stream m_base64;
    bool m_taking = true;
};

class JsonItemsReader
{
public:
    JsonItemsReader(const CompressedChunks &chunks, CutTypes *cutTypes) : m_source(chunks), m_cutTypes(cutTypes) {}

    std::optional<QList<PasteboardItem>> read()
    {
        try {
            // One reader for each row of a history: a window small enough to
            // be taken from the heap, not mapped and unmapped for every row.
            JsonStream stream([this](char *into, qint64 maxBytes) { return m_source.read(into, maxBytes); }, nullptr,
                              {.nesting = deepestNesting, .inputBytes = maxJsonBytes, .bufferBytes = 64 * 1024});
            if (!readArray(stream) || stream.next() != Token::end)
                return std::nullopt;
        } catch (const ArchiveError &) {
            return std::nullopt;
        } catch (const InputCut &) {
        } catch (const Stopped &) {
        }
        if (m_items.isEmpty())
            return std::nullopt;
        return std::move(m_items);
    }

private:
    using Token = JsonStream::Token;

    // [ {…}, … ] with at least one element, each an object.
    bool readArray(JsonStream &stream)
    {
        if (stream.next() != Token::arrayStart)
            return false;
        for (Token element = stream.next(); element != Token::arrayEnd; element = stream.next()) {
            if (element != Token::objectStart)
                return false;
            m_items.append(PasteboardItem());
            readItem(stream);
        }
        return !m_items.isEmpty();
    }

    void readItem(JsonStream &stream)
    {
        while (stream.next() == Token::key) {
            const bool types = stream.key() == u"dataByType";
            const Token value = stream.next();
            if (!types) {
                stream.skipValue(value);
                continue;
            }
            // A later "dataByType" replaces an earlier one, as a later key does.
            m_items.last().clear();
            if (value != Token::objectStart) {
                stream.skipValue(value);
                continue;
            }
            while (stream.next() == Token::key) {
                const QString type = capturedType(stream.key().toUtf8());
                readTypeValue(stream, type, stream.next());
            }
        }
    }

    void readTypeValue(JsonStream &stream, const QString &type, Token token)
    {
        if (type.isEmpty())
            return stream.skipValue(token);
        PasteboardItem &item = m_items.last();
        // A later value of a type replaces an earlier one, as a later key does.
        item.remove(type);
        if (token != Token::string)
            return stream.skipValue(token);
        KeptValue value(type, m_budget);
        Base64Sink base64(value);
        try {
            stream.string(base64);
            if (base64.finish())
                return keepValue(item, type, value, m_budget);
            if (value.isCut()) // by the last of its characters
                throw Stopped();
        } catch (const Stopped &) {
            keepStartOfText(item, type, value, base64);
            throw;
        } catch (const InputCut &) {
            keepStartOfText(item, type, value, base64);
            throw;
        }
    }

    // A text whose end is not read keeps its start; anything else is left out.
    void keepStartOfText(PasteboardItem &item, const QString &type, KeptValue &value, Base64Sink &base64)
    {
        if (!base64.finishEarly() || !value.isText())
            return;
        value.endEarly();
        keepValue(item, type, value, m_budget);
        if (m_cutTypes && m_items.size() == 1)
            m_cutTypes->insert(type);
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
