#include "secrets/TokenBody.h"

#include "secrets/SecretText.h"

#include <QVarLengthArray>

namespace tamo::tokenbody {

using namespace secrettext;

namespace {

constexpr qsizetype minMixedCase = 20;
constexpr qsizetype minLongMixedCase = 28;
constexpr qsizetype minUpperDigits = 24;

// The body without its dashes and underscores, and the longest run between them.
struct Compact
{
    QVarLengthArray<QChar, 128> chars;
    qsizetype longestRun = 0;
};

Compact compacted(QStringView body)
{
    Compact compact;
    qsizetype run = 0;
    for (QChar c : body) {
        if (is(c, Dash | Underscore)) {
            run = 0;
            continue;
        }
        compact.chars.append(c);
        compact.longestRun = std::max(compact.longestRun, ++run);
    }
    return compact;
}

qsizetype countOf(QStringView text, quint16 classes)
{
    return std::count_if(text.begin(), text.end(), [classes](QChar c) { return is(c, classes); });
}

int digitRuns(QStringView chars)
{
    int runs = 0;
    for (qsizetype at = 0; at < chars.size(); ++at)
        runs += is(chars[at], Digit) && (at == 0 || !is(chars[at - 1], Digit));
    return runs;
}

// As many different characters as random draws from the alphabet give.
bool variedFor(QStringView chars, qsizetype alphabet)
{
    const qsizetype wanted = std::min<qsizetype>(chars.size() * 11 / 20, alphabet * 3 / 4);
    return hasDistinctChars(chars, int(wanted));
}

// How the letters of a name fall into camel-case words: a capital or none,
// then lower case letters with a vowel (With|SHA1|And|40|Bit|RC2,
// Crypto|Pro|Param|Set). Random letters seldom run three lower case long.
struct CamelWords
{
    qsizetype letters = 0;
    qsizetype inWords = 0;
    qsizetype lowerOutside = 0; // lower case letters in no word, past the start
    int words = 0;
};

CamelWords camelWordsOf(QStringView part)
{
    constexpr qsizetype minWord = 3;
    const auto isVowel = [](QChar c) { return std::u16string_view(u"aeiouy").find(c.unicode()) != std::u16string_view::npos; };
    CamelWords found;
    for (qsizetype at = 0; at < part.size();) {
        if (!is(part[at], Lower | Upper)) {
            ++at;
            continue;
        }
        qsizetype end = at + 1;
        bool vowel = isVowel(part[at].toLower());
        while (end < part.size() && is(part[end], Lower)) {
            vowel = vowel || isVowel(part[end]);
            ++end;
        }
        found.letters += end - at;
        if (end - at >= minWord && vowel) {
            found.inWords += end - at;
            ++found.words;
        } else if (at > 0) { // a lower case start is a prefix: xXF86…, szName
            found.lowerOutside += end - at - (is(part[at], Upper) ? 1 : 0);
        }
        at = end;
    }
    return found;
}

// Whether most letters of `part` stand in camel-case words.
bool isCamelWords(QStringView part)
{
    const CamelWords found = camelWordsOf(part);
    return found.letters > 0 && found.inWords * 5 >= found.letters * 3;
}

// Whether a body is a name spelt in words and acronyms, every lower case
// letter but a prefix's in a word (PKCS7DecryptionAllowedCallback,
// xXF86DRIGetClientDriverNameReq): random letters leave some out.
bool isSpeltInWords(QStringView body)
{
    constexpr int minWords = 3;
    const CamelWords found = camelWordsOf(body);
    return found.words >= minWords && found.lowerOutside == 0;
}

// Whether the body's longest part between its dashes and underscores holds
// a capital: random letters of both cases put one in every long part, and
// a digest's lower-case hex behind a capital word (FUSE_fce680…) has none.
bool longestPartHoldsCapital(QStringView body)
{
    QStringView longest;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= body.size(); ++at) {
        if (at < body.size() && !is(body[at], Dash | Underscore))
            continue;
        if (at - start > longest.size())
            longest = body.sliced(start, at - start);
        start = at + 1;
    }
    return containsAny(longest, Upper);
}

// Whether `part` is a word in capitals with its number after it, as
// macros spell them (CYBERSTORM060, PHASE5): random capitals and digits mix,
// and their letters run into clusters no word has.
bool isCapitalWordWithNumber(QStringView part)
{
    Reader reader(part);
    const QStringView letters = reader.take(Upper);
    reader.take(Digit);
    constexpr qsizetype minWord = 4;
    if (!reader.rest().isEmpty() || letters.size() < minWord)
        return false;
    int consonants = 0;
    for (QChar c : letters) {
        consonants = std::u16string_view(u"AEIOUY").find(c.unicode()) != std::u16string_view::npos ? 0 : consonants + 1;
        if (consonants >= 4)
            return false;
    }
    return true;
}

// Whether a part of the body between its underscores, long enough to be
// a token's random part, is no name made of words: in
// OBJ_pbe_WithSHA1And40BitRC2_CBC every part is words or short.
bool holdsUnnamedPart(QStringView body)
{
    constexpr qsizetype minPart = 12;
    for (QStringView part : body.tokenize(u'_')) {
        if (part.size() >= minPart && !isCamelWords(part) && !isCapitalWordWithNumber(part))
            return true;
    }
    return false;
}

} // namespace

bool looksIssued(QStringView body)
{
    const Compact compact = compacted(body);
    const QStringView chars(compact.chars.data(), compact.chars.size());
    // A name split into short parts or spelt in words, or a UUID, however random its letters.
    if (isChainOfShortNames(body) || isUuid(body) || isSpeltInWords(body) || compact.longestRun < 12
        || (body.contains(u'_') && !holdsUnnamedPart(body)))
        return false;
    const qsizetype lower = countOf(chars, Lower);
    const qsizetype upper = countOf(chars, Upper);
    const qsizetype digits = countOf(chars, Digit);
    if (lower > 0 && upper > 0) {
        // Random letters are about half capitals; names hold a few. A short
        // body must also scatter its digits, where names keep one number.
        const bool bothCases = upper * 5 >= lower + upper && lower * 5 >= lower + upper;
        const bool digitsScattered = chars.size() >= minLongMixedCase || digitRuns(chars) >= 2;
        return chars.size() >= minMixedCase && bothCases && digitsScattered && longestPartHoldsCapital(body) && looksGenerated(chars)
            && !looksLikeWords(body) && variedFor(chars, 62);
    }
    const bool digitsMixedIn = digits * 5 >= chars.size() && digits * 5 <= chars.size() * 4;
    // Hex or lower case alone behind a prefix is as often a digest or an id (sha1_…, build-…).
    return upper > 0 && chars.size() >= minUpperDigits && digitsMixedIn && variedFor(chars, 36);
}

} // namespace tamo::tokenbody
