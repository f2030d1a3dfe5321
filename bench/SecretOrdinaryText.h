#pragma once

// The text the secret scan's timings take as ordinary, shared by the benchmarks
// that set other shapes of text against it.

#include <QRandomGenerator>
#include <QString>
#include <QUuid>

namespace tamo::bench {

inline QString randomChars(QRandomGenerator &random, QLatin1String alphabet, int count)
{
    QString chars(count, Qt::Uninitialized);
    for (QChar &c : chars)
        c = QLatin1Char(alphabet[random.bounded(int(alphabet.size()))]);
    return chars;
}

// What people copy: prose, code, URLs with queries, hashes, UUIDs and lines of
// a base64 image, full of the letters the scan stops at.
inline QString ordinaryText(qsizetype length)
{
    static const char *const words[] = {"secret", "access", "every", "graph", "house", "rabbit", "skill", "ask",
                                        "token", "key", "xenon", "eyes", "Amsterdam", "all", "gh", "risk"};
    const QLatin1String hex("0123456789abcdef");
    const QLatin1String base64("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    QRandomGenerator random(42);
    QString text;
    text.reserve(length + 200);
    while (text.size() < length) {
        switch (random.bounded(6)) {
        case 0:
            for (int i = 0; i < 12; ++i)
                text += QLatin1String(words[random.bounded(16)]) + QLatin1Char(' ');
            text += QStringLiteral("-- see the access notes.\n");
            break;
        case 1:
            text += QStringLiteral("    if (task_live_updates && disk_test_results.size() > 3) "
                                   "{ return fetch(url, {headers: h}); }\n");
            break;
        case 2:
            text += QStringLiteral("https://www.example.com/search?q=secret+keys&session=%1&utm_source=news&sk-ref=2\n")
                        .arg(randomChars(random, hex, 32));
            break;
        case 3:
            text += QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char(' ')
                + randomChars(random, hex, 40) + QLatin1Char('\n');
            break;
        default:
            text += randomChars(random, base64, 76) + QLatin1Char('\n');
            break;
        }
    }
    text.truncate(length);
    return text;
}

} // namespace tamo::bench
