#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>

#include <atomic>
#include <functional>
#include <limits>
#include <vector>

namespace tamo {

// Thrown out of a read once it was cancelled.
struct ReadCancelled
{
};

// Thrown out of a read that reached its input limit: what was read before
// stands, a string's characters included.
struct InputCut
{
};

// A JSON document read a piece at a time as tokens, so that the reader
// holds only what it asks for: of a string, its first characters up to a
// length (the rest is checked and passed over); of anything it does not
// want, nothing. Throws ArchiveError for bytes that are no JSON or no UTF-8.
class JsonStream
{
public:
    enum class Token { objectStart, objectEnd, arrayStart, arrayEnd, key, string, number, boolean, null, end };

    // Fills the buffer it is given: the count of bytes, 0 at the end, -1 on failure.
    using Source = std::function<qint64(char *into, qint64 maxBytes)>;

    struct Limits
    {
        // Deeper nesting is refused; the default is deeper than any file of ours.
        std::size_t nesting = 1024;
        // Past these bytes of the source the read ends with InputCut.
        qint64 inputBytes = std::numeric_limits<qint64>::max() - 1;
        // Read from the source at a time; small inputs read many at once.
        qsizetype bufferBytes = 1024 * 1024;
    };

    // Where a string's characters go as they are read.
    class StringSink
    {
    public:
        virtual void take(QLatin1StringView ascii) = 0;
        virtual void take(char16_t unit) = 0;

    protected:
        ~StringSink() = default;
    };

    explicit JsonStream(Source source, const std::atomic<bool> *cancelled = nullptr);
    JsonStream(Source source, const std::atomic<bool> *cancelled, Limits limits);

    // The next token. After `key`, key() holds the key; after `string`, one
    // of string() or skipString() reads it (next() passes over one left unread).
    Token next();
    const QString &key() const { return m_key; }
    // NaN for one too long to read; the grammar is checked all the same.
    double number() const { return m_number; }
    bool boolean() const { return m_boolean; }

    // The string just announced: its first `keep` UTF-16 units at most, with
    // its whole length in `length`. Lone surrogates read as U+FFFD.
    QString string(qsizetype keep, qsizetype *length = nullptr);
    // The same, each piece handed to `sink` as it is read.
    void string(StringSink &sink);
    void skipString() { string(0); }
    // Passes over the value that `token` began, nested ones and all.
    void skipValue(Token token);

    // How many bytes were read so far.
    qint64 position() const { return m_consumed + m_pos; }

private:
    enum class Expect { value, valueOrEnd, keyOrEnd, key, commaOrEnd, nothing };

    bool fill();
    int peek();
    char take();
    void skipSpace();
    Token afterValue(Token token);
    Token readValueStart(char c);
    void readNumber();
    void readLiteral(const char *word);
    void readString(StringSink &sink);
    void readEscape(StringSink &sink, char escaped);
    char32_t readUtf8(uchar lead);
    char16_t readHexUnit();
    [[noreturn]] void invalid(const char *what) const;

    Source m_source;
    const std::atomic<bool> *m_cancelled = nullptr;
    Limits m_limits;
    qint64 m_sourced = 0;
    bool m_cut = false;
    bool m_sourceFailed = false;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    qint64 m_consumed = 0;
    bool m_atEnd = false;
    std::vector<bool> m_objects; // the open containers, true for an object
    Expect m_expect = Expect::value;
    bool m_stringPending = false;
    QString m_key;
    double m_number = 0;
    bool m_boolean = false;
};

} // namespace tamo
