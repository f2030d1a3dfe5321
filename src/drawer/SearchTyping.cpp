#include "drawer/SearchTyping.h"

#include <QStringView>
#include <QTextBoundaryFinder>

namespace tamo {

namespace {

char32_t firstCodePoint(QStringView text)
{
    if (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[0], text[1]);
    return text[0].unicode();
}

// A character is judged by its first code point, so joined emoji, flags,
// keycaps and letters with combining accents pass whole. A combining mark
// starting a character counts with the letters: vowel signs of many scripts
// are typed on keys of their own.
bool isTypable(char32_t c)
{
    return c == U' ' || QChar::isLetter(c) || QChar::isMark(c) || QChar::isNumber(c) || QChar::isPunct(c)
        || QChar::isSymbol(c);
}

} // namespace

QString typableSearchText(const QString &typed)
{
    QString result;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, typed);
    qsizetype start = 0;
    for (qsizetype end = characters.toNextBoundary(); end != -1; end = characters.toNextBoundary()) {
        const QStringView character = QStringView(typed).sliced(start, end - start);
        if (isTypable(firstCodePoint(character)))
            result += character;
        start = end;
    }
    return result;
}

QString deleteSearchWord(const QString &text)
{
    // No white space lies outside the basic plane, so checking UTF-16 units
    // never splits a character that is kept.
    QString result = text;
    while (!result.isEmpty() && result.back().isSpace())
        result.chop(1);
    while (!result.isEmpty() && !result.back().isSpace())
        result.chop(1);
    return result;
}

QString dropLastSearchCharacter(const QString &text)
{
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    characters.toEnd();
    return text.left(std::max<qsizetype>(0, characters.toPreviousBoundary()));
}

} // namespace tamo
