#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace tamo {

// Thrown out of a read once it was cancelled.
struct ReadCancelled
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

    explicit JsonStream(Source source, const std::atomic<bool> *cancelled = nullptr);

    // The next token. After `key`, key() holds the key; after `string`, one
    // of string() or skipString() reads it (next() passes over one left unread).
    Token next();
    const QString &key() const { return m_key; }
    double number() const { return m_number; }
    bool boolean() const { return m_boolean; }

    // The string just announced: its first `keep` UTF-16 units at most, with
    // its whole length in `length`. Lone surrogates read as U+FFFD.
    QString string(qsizetype keep, qsizetype *length = nullptr);
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
    void readString(QString *into, qsizetype keep, qsizetype *length);
    char32_t readUtf8(uchar lead);
    char16_t readHexUnit();
    [[noreturn]] void invalid(const char *what) const;

    Source m_source;
    const std::atomic<bool> *m_cancelled;
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
