#include "secrets/IdentifiableKeys.h"

#include <QVarLengthArray>

#include <algorithm>
#include <bit>

namespace tamo::identifiablekeys {

namespace {

// One per kind of key a service issues; a key holds its service's
// signature as well, so a seed matching another service's key is no concern.
constexpr uint64_t seeds[] = {
    0x53656e6430303030, 0x4c697374656e3030, 0x4d616e6167653030, 0x53797374656d3030, 0x556e6b6e6f776e30, // messaging
    0x4162416363743030,                                                                                 // Batch
    0x46756e6374693030, 0x4d61737465723030,                                                             // Functions
    0x537973416c6c3030, 0x5265736f75723030, 0x4d617374524f3030, 0x53797374524f3030, 0x456e637279703030,
    0x4d61737452573030, 0x5379737452573030,                                                             // Cosmos DB
    0x4163636573733030,                                                                                 // Cache for Redis
    0x44656661756c7430,                                                                                 // Storage
    0x5175657279303030, 0x5041646d696e3030,                                                             // AI Search
    0x436c617373696330,                                                                                 // ML classic
    0x41435244666c7430,                                                                                 // Container Registry
    0x5573725077643030,                                                                                 // SQL
    0x496f544875623030, 0x4470734b65793030, 0x4465766963653030,                                         // IoT
    0x54656e616e743030, 0x4761746577793030, 0x4769744b65793030,                                         // API Management
};

constexpr size_t checksumSize = 4;

void mix(uint32_t &low, uint32_t &high)
{
    high ^= low;
    low = std::rotl(low, 20);
    low += high;
    high = std::rotl(high, 9);
    high ^= low;
    low = std::rotl(low, 27);
    low += high;
    high = std::rotl(high, 19);
}

uint32_t littleEndian(std::span<const uint8_t> bytes)
{
    uint32_t value = 0;
    for (size_t at = bytes.size(); at-- > 0;)
        value = value << 8 | bytes[at];
    return value;
}

int base64Digit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 26;
    if (u >= u'0' && u <= u'9')
        return u - u'0' + 52;
    if (u == u'+' || u == u'-')
        return 62;
    if (u == u'/' || u == u'_')
        return 63;
    return -1;
}

} // namespace

uint64_t marvin(std::span<const uint8_t> data, uint64_t seed)
{
    auto low = uint32_t(seed);
    auto high = uint32_t(seed >> 32);
    size_t at = 0;
    for (; at + 4 <= data.size(); at += 4) {
        low += littleEndian(data.subspan(at, 4));
        mix(low, high);
    }
    // The last bytes, closed by a 0x80 byte.
    const std::span<const uint8_t> rest = data.subspan(at);
    low += littleEndian(rest) | uint32_t(0x80) << (8 * rest.size());
    mix(low, high);
    mix(low, high);
    return uint64_t(high) << 32 | low;
}

uint32_t marvin32(std::span<const uint8_t> data, uint64_t seed)
{
    const uint64_t hash = marvin(data, seed);
    return uint32_t(hash >> 32) ^ uint32_t(hash);
}

bool hasAzureChecksum(QStringView key)
{
    while (key.endsWith(u'='))
        key.chop(1);
    QVarLengthArray<uint8_t, 96> bytes;
    uint32_t bits = 0;
    int bitCount = 0;
    for (QChar c : key) {
        const int digit = base64Digit(c);
        if (digit < 0)
            return false;
        bits = bits << 6 | uint32_t(digit);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.append(uint8_t(bits >> bitCount));
        }
    }
    if (size_t(bytes.size()) <= checksumSize)
        return false;
    const std::span<const uint8_t> all(bytes.data(), size_t(bytes.size()));
    const std::span<const uint8_t> body = all.first(all.size() - checksumSize);
    const uint32_t checksum = littleEndian(all.last(checksumSize));
    return std::any_of(std::begin(seeds), std::end(seeds), [&](uint64_t seed) { return marvin32(body, seed) == checksum; });
}

} // namespace tamo::identifiablekeys
