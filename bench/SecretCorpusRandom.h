#pragma once

// What both labelled secret corpora build their texts from: alphabets, a
// seeded generator and the published shapes of keys, tokens and key blocks.

#include "SecretCorpus.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <zlib.h>

#include <cstring>
#include <functional>
#include <random>

namespace tamo::bench {

inline const char *const upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline const char *const upperDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
inline const char *const letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline const char *const base62 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline const char *const base64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
inline const char *const base64url = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
inline const char *const hex = "0123456789abcdef";
inline const char *const digits = "0123456789";
inline const char *const lowerDigits = "abcdefghijklmnopqrstuvwxyz0123456789";
inline const char *const printable = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789!#%^*_+=-";

class Random
{
public:
    explicit Random(quint32 seed) : m_engine(seed) {}

    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_engine); }

    QString chars(const char *alphabet, int count)
    {
        const int size = int(std::strlen(alphabet));
        QString text;
        text.reserve(count);
        for (int i = 0; i < count; ++i)
            text += QLatin1Char(alphabet[below(size)]);
        return text;
    }

    QString pick(const QStringList &choices) { return choices[below(int(choices.size()))]; }

private:
    std::mt19937 m_engine;
};

// GitHub and npm: 30 random base-62 characters, then the CRC-32 of them in
// six base-62 digits.
inline QString checksummed(Random &random, const char *prefix)
{
    const QString entropy = random.chars(base62, 30);
    const QByteArray bytes = entropy.toLatin1();
    quint64 checksum = crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size()));
    QString digits6(6, u'0');
    for (int i = 5; i >= 0; --i, checksum /= 62)
        digits6[i] = QLatin1Char(base62[checksum % 62]);
    return QLatin1String(prefix) + entropy + digits6;
}

inline QString base64Of(const QByteArray &bytes, bool url = false)
{
    return QString::fromLatin1(
        bytes.toBase64(url ? QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals : QByteArray::Base64Encoding));
}

inline QString jwt(Random &random)
{
    const QByteArray header = R"({"alg":"HS256","typ":"JWT"})";
    const QByteArray payload = R"({"sub":")" + random.chars(base62, 12).toLatin1() + R"(","iat":17)"
        + random.chars(digits, 8).toLatin1() + "}";
    return base64Of(header, true) + u'.' + base64Of(payload, true) + u'.' + random.chars(base64url, 43);
}

inline QString pemBody(Random &random, int lines)
{
    QString body;
    for (int i = 0; i < lines; ++i)
        body += random.chars(base64, 64) + u'\n';
    return body;
}

inline QString pem(Random &random, const QString &label, int lines, const QString &headers = {})
{
    return QStringLiteral("-----BEGIN %1-----\n%2%3-----END %1-----\n").arg(label, headers, pemBody(random, lines));
}

// A random version-4 UUID, its variant drawn too.
inline QString versionFourUuid(Random &r)
{
    return r.chars(hex, 8) + "-" + r.chars(hex, 4) + "-4" + r.chars(hex, 3) + "-" + r.pick({"8", "9", "a", "b"})
        + r.chars(hex, 3) + "-" + r.chars(hex, 12);
}

using Generate = std::function<QString(Random &)>;

struct Kind
{
    const char *name;
    Generate generate;
};

struct Family
{
    const char *name;
    QList<Kind> kinds;
};

// Each family's kinds `perKind` times, each look-alike four times as often.
inline QList<SecretSample> samplesOf(const QList<Family> &families, const QList<Kind> &lookAlikes, int perKind,
                                     quint32 seed)
{
    Random random(seed);
    QList<SecretSample> samples;
    for (const Family &family : families) {
        for (const Kind &kind : family.kinds) {
            for (int i = 0; i < perKind; ++i)
                samples.append({kind.generate(random), true, QLatin1String(kind.name), QLatin1String(family.name)});
        }
    }
    for (const Kind &kind : lookAlikes) {
        for (int i = 0; i < perKind * 4; ++i)
            samples.append({kind.generate(random), false, QLatin1String(kind.name), {}});
    }
    return samples;
}

} // namespace tamo::bench
