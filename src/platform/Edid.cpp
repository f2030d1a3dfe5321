#include "platform/Edid.h"

namespace tamo {

namespace {

constexpr int BlockSize = 128;
constexpr int FirstDescriptor = 54;
constexpr int DescriptorSize = 18;
constexpr int DescriptorCount = 4;
constexpr char ProductNameTag = char(0xfc);

quint32 byteAt(const QByteArray &bytes, int index)
{
    return quint8(bytes.at(index));
}

QString productName(const QByteArray &bytes)
{
    for (int i = 0; i < DescriptorCount; ++i) {
        const int at = FirstDescriptor + i * DescriptorSize;
        // Display descriptors start with three zero bytes, then the tag.
        if (bytes.at(at) || bytes.at(at + 1) || bytes.at(at + 2) || bytes.at(at + 3) != ProductNameTag)
            continue;
        QByteArray text = bytes.mid(at + 5, 13);
        const qsizetype end = text.indexOf('\n');
        if (end >= 0)
            text.truncate(end);
        return QString::fromLatin1(text).trimmed();
    }
    return {};
}

} // namespace

Edid Edid::parse(const QByteArray &bytes)
{
    static const QByteArray header = QByteArray::fromHex("00ffffffffffff00");
    if (bytes.size() < BlockSize || !bytes.startsWith(header))
        return {};
    Edid edid;
    edid.vendor = byteAt(bytes, 8) << 8 | byteAt(bytes, 9);
    edid.model = byteAt(bytes, 10) | byteAt(bytes, 11) << 8;
    edid.serial = byteAt(bytes, 12) | byteAt(bytes, 13) << 8 | byteAt(bytes, 14) << 16 | byteAt(bytes, 15) << 24;
    edid.name = productName(bytes);
    return edid;
}

} // namespace tamo
