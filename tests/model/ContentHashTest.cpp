#include "model/ContentHash.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

// The frozen layout written out the plain way, to check the streaming one.
QString referenceHash(ClipKind kind, const QString &text, const QByteArray &image, const QStringList &paths)
{
    QByteArray bytes;
    const auto appendLength32 = [&](quint32 length) {
        char raw[4];
        qToBigEndian(length, raw);
        bytes.append(raw, 4);
    };
    const auto appendString = [&](const QString &string) {
        const QByteArray utf8 = string.toUtf8();
        appendLength32(quint32(utf8.size()));
        bytes.append(utf8);
    };
    appendString(rawValue(kind));
    appendString(text);
    char imageLength[8];
    qToBigEndian(quint64(image.size()), imageLength);
    bytes.append(imageLength, 8);
    bytes.append(image);
    appendLength32(quint32(paths.size()));
    for (const QString &path : paths)
        appendString(path);
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

TEST(ContentHash, MatchesTheFrozenLayout)
{
    // Expected values computed outside this code base (Python hashlib) over the same bytes.
    const QString full = makeContentHash(ClipKind::text, QStringLiteral("Grüße 😀"), QByteArray("\x00\x01\x02\xff", 4),
                                         {QStringLiteral("/tmp/a b.txt"), QStringLiteral("/home/ü/😀")});
    EXPECT_EQ(full, QStringLiteral("3199f6d32f8f10998f78cc28e442303b9d68d302789b205899a97c1cb187b66d"));
    EXPECT_EQ(makeContentHash(ClipKind::link, std::nullopt, std::nullopt, {}),
              QStringLiteral("eb6cdcda2ea5bad8b7836900511c00f90e8feaa71ad95fe139ddb487302fefeb"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{64}$")).match(full).hasMatch());
}

TEST(ContentHash, StreamsLongTextLikeTheReference)
{
    // Surrogate pairs at odd offsets cross every internal buffer boundary.
    QString text = QStringLiteral("a");
    for (int i = 0; i < 100000; ++i)
        text += (i % 3 == 0) ? QStringLiteral("😀") : (i % 3 == 1) ? QStringLiteral("é") : QStringLiteral("€");
    const QStringList paths{QStringLiteral("/x/") + text.left(5000)};
    EXPECT_EQ(makeContentHash(ClipKind::file, text, std::nullopt, paths),
              referenceHash(ClipKind::file, text, QByteArray(), paths));
}

TEST(ContentHash, FieldBoundariesDoNotCollide)
{
    const auto hash = [](ClipKind kind, std::optional<QString> text, std::optional<QByteArray> image,
                         QStringList paths) { return makeContentHash(kind, text, image, paths); };
    const QString a = QStringLiteral("a"), b = QStringLiteral("b"), ab = QStringLiteral("ab");

    EXPECT_NE(hash(ClipKind::text, ab, {}, {}), hash(ClipKind::text, a, {}, {b}));
    EXPECT_NE(hash(ClipKind::file, {}, {}, {a, b}), hash(ClipKind::file, {}, {}, {ab}));
    EXPECT_NE(hash(ClipKind::file, {}, {}, {ab, QString()}), hash(ClipKind::file, {}, {}, {a, b}));
    EXPECT_NE(hash(ClipKind::text, a, {}, {}), hash(ClipKind::text, {}, QByteArray("a"), {}));
    EXPECT_NE(hash(ClipKind::text, a, {}, {}), hash(ClipKind::link, a, {}, {}));
    EXPECT_NE(hash(ClipKind::file, {}, {}, {}), hash(ClipKind::file, {}, {}, {QString()}));
}

TEST(ContentHash, AbsentAndEmptyAreTheSameContent)
{
    EXPECT_EQ(makeContentHash(ClipKind::image, std::nullopt, std::nullopt, {}),
              makeContentHash(ClipKind::image, QString(), QByteArray(), {}));
}

TEST(ContentHash, UnpairedSurrogatesHashAsReplacementCharacter)
{
    QString lone = QStringLiteral("a_b_");
    lone[1] = QChar(0xD83D); // high half without its low half
    lone[3] = QChar(0xDE00); // low half alone at the end
    EXPECT_EQ(makeContentHash(ClipKind::text, lone, std::nullopt, {}),
              makeContentHash(ClipKind::text, QStringLiteral("a\uFFFDb\uFFFD"), std::nullopt, {}));
}
