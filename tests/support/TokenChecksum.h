#pragma once

#include <QString>

namespace tamo::test {

// GitHub's and npm's token checksum: the random part's CRC-32 in six base-62
// digits, worked out here apart from the detector's own check.
inline QString withTokenChecksum(const QString &random)
{
    quint32 crc = 0xFFFFFFFFu;
    for (QChar c : random) {
        crc ^= c.unicode();
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    quint64 checksum = crc ^ 0xFFFFFFFFu;
    const char *alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QString digits(6, u'0');
    for (int i = 5; i >= 0; --i, checksum /= 62)
        digits[i] = QLatin1Char(alphabet[checksum % 62]);
    return random + digits;
}

} // namespace tamo::test
