#pragma once

#include "transfer/JsonStream.h"

#include <QByteArray>

namespace tamo {

// Standard Base64 with its padding, on one line, decoded as its characters
// come, so a large value is never held as text too. Strict: only the
// alphabet, padding only at the end, unused bits zero (each byte string has
// one encoding).
class Base64Decoder final : public JsonStream::StringSink
{
public:
    enum class Status { ok, invalid, tooLarge };

    explicit Base64Decoder(qsizetype maxBytes) : m_maxBytes(maxBytes) {}

    void take(QLatin1StringView ascii) override;
    void take(char16_t unit) override;

    // Once every character was taken: whether they decoded; the bytes then
    // go with takeBytes(). A fault drops what was decoded at once.
    Status finish();
    QByteArray takeBytes() { return std::move(m_bytes); }

private:
    void takeCharacter(char16_t c);
    void refuse(Status status);
    void emitGroup();

    qsizetype m_maxBytes;
    QByteArray m_bytes;
    Status m_status = Status::ok;
    uchar m_group[4] = {};
    int m_count = 0;   // characters of the group so far, padding included
    int m_padding = 0; // '=' seen; none may come after a padded group
};

} // namespace tamo
