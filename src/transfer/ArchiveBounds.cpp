#include "transfer/ArchiveBounds.h"

#include "transfer/PinboardArchive.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <vector>

namespace tamo {

namespace {

// Where a container sits in the document, as far as the bounds care.
enum class Role { root, pinboards, pinboard, clips, other };

struct Container
{
    bool isObject;
    Role role;
    QString name;    // the key it is the value of
    QString member;  // in an object: the key of the value being read
};

// Keys longer than this name no member the bounds look at.
constexpr qsizetype longestKnownKey = 64;
// Deeper than any file of ours; the parser refuses it anyway.
constexpr qsizetype deepestNesting = 1024;

class BoundsScan
{
public:
    explicit BoundsScan(QByteArrayView bytes) : m_bytes(bytes) {}

    // Returns at the end of the document or at the first byte that is no
    // JSON, which the parser then reports.
    void run()
    {
        enum class Next { value, valueOrEnd, key, keyOrEnd, colon, commaOrEnd } next = Next::value;
        while (skipSpace()) {
            const char c = m_bytes[m_pos];
            const bool mayEnd = next == Next::valueOrEnd || next == Next::keyOrEnd || next == Next::commaOrEnd;
            if (mayEnd && c == (m_containers.back().isObject ? '}' : ']')) {
                ++m_pos;
                if (!close())
                    return;
                next = Next::commaOrEnd;
                continue;
            }
            switch (next) {
            case Next::valueOrEnd:
            case Next::value:
                countValue();
                if (c == '{' || c == '[') {
                    if (!open(c == '{'))
                        return;
                    next = c == '{' ? Next::keyOrEnd : Next::valueOrEnd;
                    break;
                }
                if (!(c == '"' ? skipString() : skipScalar()))
                    return;
                if (m_containers.empty())
                    return;
                next = Next::commaOrEnd;
                break;
            case Next::keyOrEnd:
            case Next::key:
                if (c != '"' || !readKey())
                    return;
                next = Next::colon;
                break;
            case Next::colon:
                if (c != ':')
                    return;
                ++m_pos;
                next = Next::value;
                break;
            case Next::commaOrEnd:
                if (c != ',')
                    return;
                ++m_pos;
                next = m_containers.back().isObject ? Next::key : Next::value;
                break;
            }
        }
    }

private:
    bool skipSpace()
    {
        while (m_pos < m_bytes.size()) {
            const char c = m_bytes[m_pos];
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                return true;
            ++m_pos;
        }
        return false;
    }

    // The key of the value about to be read, for the error texts.
    QString valueKey() const
    {
        if (m_containers.empty())
            return {};
        const Container &inner = m_containers.back();
        return inner.isObject ? inner.member : inner.name;
    }

    void countValue()
    {
        if (m_containers.empty())
            return;
        const Role role = m_containers.back().role;
        if (role == Role::pinboards && ++m_pinboards > PinboardArchive::maxPinboards)
            throwDecoding(QStringLiteral("The file holds more than %1 pinboards.").arg(PinboardArchive::maxPinboards));
        if (role == Role::clips && ++m_clips > PinboardArchive::maxClips)
            throwDecoding(QStringLiteral("The file holds more than %1 clips.").arg(PinboardArchive::maxClips));
    }

    bool open(bool isObject)
    {
        if (qsizetype(m_containers.size()) >= deepestNesting)
            return false;
        const QString name = valueKey();
        Role role = Role::other;
        const Role outer = m_containers.empty() ? Role::other : m_containers.back().role;
        if (m_containers.empty() && isObject)
            role = Role::root;
        else if (outer == Role::root && !isObject && name == u"pinboards")
            role = Role::pinboards;
        else if (outer == Role::pinboards && isObject)
            role = Role::pinboard;
        else if (outer == Role::pinboard && !isObject && name == u"clips")
            role = Role::clips;
        m_containers.push_back({isObject, role, name, {}});
        ++m_pos;
        return true;
    }

    // False at the end of the document.
    bool close()
    {
        m_containers.pop_back();
        return !m_containers.empty();
    }

    // Counts the string's length as the text it decodes to (UTF-16 units),
    // the measure the reader's own bound uses.
    bool skipString()
    {
        const QString key = valueKey();
        qsizetype length = 0;
        ++m_pos;
        while (m_pos < m_bytes.size()) {
            const uchar c = uchar(m_bytes[m_pos]);
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (m_pos + 1 >= m_bytes.size())
                    return false;
                m_pos += m_bytes[m_pos + 1] == 'u' ? 6 : 2;
                ++length;
            } else {
                if ((c & 0xC0) != 0x80)
                    length += c >= 0xF0 ? 2 : 1;
                ++m_pos;
            }
            if (length > PinboardArchive::maxValueBytes)
                throwDecoding(QStringLiteral("The value for the key “%1” is too large.").arg(key));
        }
        return false;
    }

    bool skipScalar()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_bytes.size() && QByteArrayView("+-.0123456789Eaeflnrstu").contains(m_bytes[m_pos]))
            ++m_pos;
        return m_pos > start;
    }

    bool readKey()
    {
        const qsizetype start = m_pos;
        if (!skipString())
            return false;
        const QByteArrayView raw = m_bytes.sliced(start, m_pos - start);
        QString &member = m_containers.back().member;
        if (raw.size() > longestKnownKey + 2)
            member.clear();
        else if (!raw.contains('\\'))
            member = QString::fromUtf8(raw.sliced(1, raw.size() - 2));
        else
            member = QJsonDocument::fromJson("[" + raw.toByteArray() + "]").array().first().toString();
        return true;
    }

    [[noreturn]] static void throwDecoding(const QString &text)
    {
        throw ArchiveError(ArchiveError::Kind::decoding, text);
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    std::vector<Container> m_containers;
    qsizetype m_pinboards = 0;
    qsizetype m_clips = 0;
};

} // namespace

void checkArchiveBounds(QByteArrayView bytes)
{
    BoundsScan(bytes).run();
}

} // namespace tamo
