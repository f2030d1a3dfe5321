#include "transfer/Base64Decoder.h"

#include <algorithm>
#include <array>

namespace tamo {

namespace {

constexpr uchar notInAlphabet = 0xFF;

constexpr std::array<uchar, 128> alphabetValues()
{
    std::array<uchar, 128> values{};
    values.fill(notInAlphabet);
    for (int i = 0; i < 26; ++i) {
        values['A' + i] = uchar(i);
        values['a' + i] = uchar(26 + i);
    }
    for (int i = 0; i < 10; ++i)
        values['0' + i] = uchar(52 + i);
    values['+'] = 62;
    values['/'] = 63;
    return values;
}

constexpr std::array<uchar, 128> alphabet = alphabetValues();

} // namespace

void Base64Decoder::take(QLatin1StringView ascii)
{
    for (const char c : ascii) {
        if (m_status != Status::ok)
            return;
        takeCharacter(char16_t(uchar(c)));
    }
}

void Base64Decoder::take(char16_t unit)
{
    if (m_status == Status::ok)
        takeCharacter(unit);
}

void Base64Decoder::takeCharacter(char16_t c)
{
    if (m_padding > 0 && m_count == 0)
        return refuse(Status::invalid); // past the padded end
    if (c == u'=') {
        // "xx==" or "xxx=": padding takes the third or fourth place only.
        if (m_count < 2)
            return refuse(Status::invalid);
        ++m_padding;
    } else {
        const uchar value = c < alphabet.size() ? alphabet[c] : notInAlphabet;
        if (value == notInAlphabet || m_padding > 0)
            return refuse(Status::invalid);
        m_group[m_count] = value;
    }
    if (++m_count == 4)
        emitGroup();
}

void Base64Decoder::emitGroup()
{
    m_count = 0;
    const int bytes = 3 - m_padding;
    // The bits a padded group leaves unused must be zero.
    if ((m_padding == 1 && (m_group[2] & 0x03)) || (m_padding == 2 && (m_group[1] & 0x0F)))
        return refuse(Status::invalid);
    if (m_bytes.size() + bytes > m_maxBytes)
        return refuse(Status::tooLarge);
    // Grown by doubling in place, where an append's own growth would copy a large array.
    if (m_bytes.size() + bytes > m_bytes.capacity())
        m_bytes.reserve(std::min(m_maxBytes, std::max<qsizetype>(4096, m_bytes.capacity() * 2)));
    const char decoded[3] = {char(m_group[0] << 2 | m_group[1] >> 4), char(m_group[1] << 4 | m_group[2] >> 2),
                             char(m_group[2] << 6 | m_group[3])};
    m_bytes.append(decoded, bytes);
}

Base64Decoder::Status Base64Decoder::finish()
{
    if (m_status == Status::ok && m_count != 0)
        refuse(Status::invalid);
    return m_status;
}

void Base64Decoder::refuse(Status status)
{
    m_status = status;
    m_bytes = QByteArray();
}

} // namespace tamo
