#include "secrets/IdentifiableKeys.h"
#include "secrets/SecretDetector.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

#include <gtest/gtest.h>

using namespace tamo;

namespace {

std::span<const uint8_t> bytesOf(const QByteArray &data)
{
    return {reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size())};
}

struct Vector
{
    uint64_t seed;
    QByteArray data;
    uint64_t hash;
};

// The published Marvin vectors.
TEST(IdentifiableKeys, MarvinGivesThePublishedHashes)
{
    constexpr uint64_t seed = 0x004fb61a001bdbcc;
    const Vector vectors[] = {
        {seed, "", 0x30ed35c100cd3c7d},
        {seed, "\xaf", 0x48e73fc77d75ddc1},
        {seed, "\xe7\x0f", 0xb5f6e1fc485dbff8},
        {seed, "\x37\xf4\x95", 0xf0b07c789b8cf7e8},
        {0xd53cd9cecd0893b7, "abc", 0x22c74339492769bf},
        {0x0ddddeeeeffff000, "abcdefghijklmnopqrstuvwxyz", 0xa128eb7e7260aca2},
    };
    for (const Vector &vector : vectors) {
        EXPECT_EQ(identifiablekeys::marvin(bytesOf(vector.data), vector.seed), vector.hash) << vector.data.toHex().constData();
        EXPECT_EQ(identifiablekeys::marvin32(bytesOf(vector.data), vector.seed), uint32_t(vector.hash >> 32) ^ uint32_t(vector.hash));
    }
    EXPECT_EQ(identifiablekeys::marvin32(bytesOf("abcdefghijklmnopqrstuvwxyz"), 0x0ddddeeeeffff000), 0xd34847dcu);
}

struct Service
{
    const char *signature;
    int signatureAt;
    int keyBytes;
    uint64_t seed;
    bool forUrls = false;
};

// A key as a service issues it: random characters, the signature, then the
// checksum of the bytes they make.
QString keyOf(const Service &service, QRandomGenerator &random)
{
    const QByteArray alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const int dataBytes = service.keyBytes - 4;
    QByteArray chars;
    for (int i = 0; i < service.signatureAt; ++i)
        chars += alphabet[random.bounded(int(alphabet.size()))];
    chars += service.signature;
    chars += QByteArray((dataBytes * 8 + 5) / 6 - int(chars.size()), 'A');
    QByteArray key = QByteArray::fromBase64(chars).left(dataBytes);
    const uint32_t checksum = identifiablekeys::marvin32(bytesOf(key), service.seed);
    for (int shift = 0; shift < 32; shift += 8)
        key += char(checksum >> shift);
    return QString::fromLatin1(key.toBase64(service.forUrls ? QByteArray::Base64UrlEncoding : QByteArray::Base64Encoding));
}

class AzureKeyTest : public ::testing::TestWithParam<Service>
{
};

TEST_P(AzureKeyTest, IsFoundByItsSignatureAndChecksum)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        const QString key = keyOf(GetParam(), random);
        ASSERT_TRUE(key.contains(QLatin1String(GetParam().signature))) << key.toStdString();
        EXPECT_TRUE(identifiablekeys::hasAzureChecksum(key)) << key.toStdString();
        EXPECT_TRUE(SecretDetector::containsSecret(QStringLiteral("key: ") + key)) << key.toStdString();
        QString mistyped = key;
        mistyped[3] = mistyped[3] == u'x' ? u'y' : u'x';
        EXPECT_FALSE(identifiablekeys::hasAzureChecksum(mistyped)) << mistyped.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Services, AzureKeyTest,
    ::testing::Values(Service{"APIM", 76, 64, 0x4761746577793030}, Service{"+ASt", 76, 64, 0x44656661756c7430},
                      Service{"ACDb", 76, 64, 0x4d61737452573030}, Service{"AzCa", 33, 32, 0x4163636573733030},
                      Service{"+AEh", 33, 32, 0x53656e6430303030}, Service{"+ARm", 33, 32, 0x4d616e6167653030},
                      Service{"AZEG", 33, 32, 0x44656661756c7430},
                      Service{"+ASb", 33, 32, 0x4c697374656e3030}, Service{"AIoT", 33, 32, 0x4465766963653030}, Service{"AzSe", 42, 39, 0x5041646d696e3030},
                      Service{"AzFu", 44, 40, 0x46756e6374693030, true}),
    [](const ::testing::TestParamInfo<Service> &info) {
        QString name = QString::fromLatin1(info.param.signature);
        return name.remove(u'+').toStdString();
    });

} // namespace
