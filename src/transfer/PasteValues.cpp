#include "transfer/PasteValues.h"

namespace tamo::PasteImporter {

const QStringList utf8TextTypes{QStringLiteral("public.utf8-plain-text"), QStringLiteral("public.text"),
                                QStringLiteral("public.plain-text"), QStringLiteral("public.url")};
const QStringList utf16TextTypes{QStringLiteral("public.utf16-external-plain-text"),
                                 QStringLiteral("public.utf16-plain-text")};
const QString fileURLType = QStringLiteral("public.file-url");
const QString rtfType = QStringLiteral("public.rtf");
const QStringList imageTypes{QStringLiteral("public.png"), QStringLiteral("public.tiff")};

const QStringList &capturedTypes()
{
    static const QStringList types = utf8TextTypes + utf16TextTypes + QStringList{fileURLType, rtfType} + imageTypes;
    return types;
}

QString capturedType(QByteArrayView name)
{
    for (const QString &type : capturedTypes()) {
        if (QLatin1StringView(name) == type)
            return type;
    }
    return {};
}

namespace {

// The longest text a clip holds, as bytes of UTF-16.
constexpr qsizetype largestUtf16Bytes = 2 * ClipDraft::largestText;

bool isLeadByte(uchar byte)
{
    return (byte & 0xC0) != 0x80;
}

// UTF-8 cut anywhere, without the character it cut in half.
void dropCutCharacter(QByteArray &bytes)
{
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, bytes.size()); ++back) {
        const auto byte = uchar(bytes.at(bytes.size() - back));
        if (!isLeadByte(byte))
            continue;
        const qsizetype length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        if (length > back)
            bytes.chop(back);
        return;
    }
}

// UTF-16 cut anywhere, without half a unit or half a surrogate pair; in the
// byte order the decoder reads it (a byte-order mark, else little-endian).
void dropCutUnit(QByteArray &bytes)
{
    bytes.chop(bytes.size() % 2);
    if (bytes.size() < 2)
        return;
    const bool bigEndian = bytes.startsWith("\xFE\xFF");
    const auto high = uchar(bytes.at(bytes.size() - (bigEndian ? 2 : 1)));
    if (high >= 0xD8 && high <= 0xDB)
        bytes.chop(2);
}

} // namespace

KeptValue::KeptValue(const QString &type, const Budget &budget)
    : m_limit(budget.left()), m_utf8(utf8TextTypes.contains(type)), m_utf16(utf16TextTypes.contains(type))
{
}

bool KeptValue::append(QByteArrayView bytes)
{
    if (m_cut || m_overBudget)
        return false;
    qsizetype taken = bytes.size();
    if (m_utf8) {
        // Counted as the text's UTF-16 length: a four-byte character takes two.
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = uchar(bytes[i]);
            if (!isLeadByte(byte))
                continue;
            const int units = byte >= 0xF0 ? 2 : 1;
            if (m_characters + units > ClipDraft::largestText) {
                taken = i;
                m_cut = true;
                break;
            }
            m_characters += units;
        }
    } else if (m_utf16 && m_bytes.size() + taken > largestUtf16Bytes) {
        taken = largestUtf16Bytes - m_bytes.size();
        m_cut = true;
    }
    if (m_bytes.size() + taken > m_limit) {
        m_overBudget = true;
        m_bytes = QByteArray();
        return false;
    }
    m_bytes.append(bytes.first(taken));
    return !m_cut;
}

QByteArray KeptValue::take()
{
    if (m_cut && m_utf8)
        dropCutCharacter(m_bytes);
    else if (m_cut && m_utf16)
        dropCutUnit(m_bytes);
    m_bytes.squeeze();
    return std::exchange(m_bytes, QByteArray());
}

namespace {

// The value of a Base64 character, or -1.
int sextet(char32_t character)
{
    if (character >= 'A' && character <= 'Z')
        return int(character - 'A');
    if (character >= 'a' && character <= 'z')
        return int(character - 'a') + 26;
    if (character >= '0' && character <= '9')
        return int(character - '0') + 52;
    if (character == '+')
        return 62;
    if (character == '/')
        return 63;
    return -1;
}

} // namespace

bool Base64Stream::add(char32_t character)
{
    if (!m_valid)
        return false;
    if (character == '=') {
        // Padding ends the text: it fills the last quantum after two or three characters.
        m_valid = m_sextets >= 2 && m_sextets + m_padding < 4;
        ++m_padding;
        return m_valid;
    }
    const int value = sextet(character);
    if (value < 0 || m_padding > 0) {
        m_valid = false;
        return false;
    }
    m_quantum = (m_quantum << 6) | quint32(value);
    if (++m_sextets < 4)
        return true;
    m_pending[m_pendingBytes++] = char(m_quantum >> 16);
    m_pending[m_pendingBytes++] = char(m_quantum >> 8);
    m_pending[m_pendingBytes++] = char(m_quantum);
    m_quantum = 0;
    m_sextets = 0;
    return m_pendingBytes < qsizetype(sizeof m_pending) || flush();
}

bool Base64Stream::flush()
{
    const bool taken = m_value.append(QByteArrayView(m_pending, m_pendingBytes));
    m_pendingBytes = 0;
    return taken;
}

bool Base64Stream::finish()
{
    if (m_valid && m_padding == 0) {
        m_valid = m_sextets == 0;
    } else if (m_valid) {
        // The unused bits before the padding must be zero, so that each byte
        // string has one encoding.
        const int bytes = m_sextets - 1;
        const quint32 bits = m_quantum << (6 * (4 - m_sextets));
        m_valid = m_sextets + m_padding == 4 && (bits & (bytes == 1 ? 0xFFFF : 0xFF)) == 0;
        for (int i = 0; m_valid && i < bytes; ++i)
            m_pending[m_pendingBytes++] = char(bits >> (16 - 8 * i));
    }
    const bool taken = flush();
    return m_valid && taken;
}

void keepValue(PasteboardItem &item, const QString &type, KeptValue &value, Budget &budget)
{
    if (value.overBudget())
        return;
    QByteArray bytes = value.take();
    if (budget.spend(bytes.size()))
        item.insert(type, bytes);
}

} // namespace tamo::PasteImporter
