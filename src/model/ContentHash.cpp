#include "model/ContentHash.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <array>

namespace tamo {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Walks UTF-16 by code point, mapping unpaired surrogates to U+FFFD.
template<typename Visit>
void forEachCodePoint(QStringView text, Visit visit)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
            visit(QChar::surrogateToUcs4(unit, text[++i].unicode()));
        } else if (QChar::isSurrogate(unit)) {
            visit(kReplacementCharacter);
        } else {
            visit(char32_t(unit));
        }
    }
}

int utf8Length(char32_t codePoint)
{
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

// Feeds the hash with big-endian lengths and streams text as UTF-8 through a
// small buffer, so even a huge text is never copied whole.
class HashFeed
{
public:
    void addLength32(quint32 length) { addBigEndian(length); }
    void addLength64(quint64 length) { addBigEndian(length); }

    void addBytes(QByteArrayView bytes) { m_hash.addData(bytes); }

    void addUtf8(QStringView text)
    {
        quint32 length = 0;
        forEachCodePoint(text, [&](char32_t codePoint) { length += utf8Length(codePoint); });
        addLength32(length);
        forEachCodePoint(text, [&](char32_t codePoint) { appendUtf8(codePoint); });
        flush();
    }

    QString hexResult()
    {
        return QString::fromLatin1(m_hash.result().toHex());
    }

private:
    template<typename Integer>
    void addBigEndian(Integer value)
    {
        std::array<char, sizeof(Integer)> bytes;
        qToBigEndian(value, bytes.data());
        m_hash.addData(QByteArrayView(bytes.data(), bytes.size()));
    }

    void appendUtf8(char32_t codePoint)
    {
        if (m_used + 4 > qsizetype(m_buffer.size()))
            flush();
        char *out = m_buffer.data() + m_used;
        const int length = utf8Length(codePoint);
        switch (length) {
        case 1:
            out[0] = char(codePoint);
            break;
        case 2:
            out[0] = char(0xC0 | (codePoint >> 6));
            out[1] = char(0x80 | (codePoint & 0x3F));
            break;
        case 3:
            out[0] = char(0xE0 | (codePoint >> 12));
            out[1] = char(0x80 | ((codePoint >> 6) & 0x3F));
            out[2] = char(0x80 | (codePoint & 0x3F));
            break;
        default:
            out[0] = char(0xF0 | (codePoint >> 18));
            out[1] = char(0x80 | ((codePoint >> 12) & 0x3F));
            out[2] = char(0x80 | ((codePoint >> 6) & 0x3F));
            out[3] = char(0x80 | (codePoint & 0x3F));
            break;
        }
        m_used += length;
    }

    void flush()
    {
        m_hash.addData(QByteArrayView(m_buffer.data(), m_used));
        m_used = 0;
    }

    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    std::array<char, 16 * 1024> m_buffer;
    qsizetype m_used = 0;
};

} // namespace

QString makeContentHash(ClipKind kind, const std::optional<QString> &text,
                        const std::optional<QByteArray> &imageData, const QStringList &filePaths)
{
    HashFeed feed;
    feed.addUtf8(rawValue(kind));
    feed.addUtf8(text ? QStringView(*text) : QStringView());
    const QByteArrayView image = imageData ? QByteArrayView(*imageData) : QByteArrayView();
    feed.addLength64(quint64(image.size()));
    feed.addBytes(image);
    feed.addLength32(quint32(filePaths.size()));
    for (const QString &path : filePaths)
        feed.addUtf8(path);
    return feed.hexResult();
}

} // namespace tamo
