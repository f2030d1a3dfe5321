#include "platform/HtmlEntities.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace tamo {

namespace {

struct NamedEntity
{
    QLatin1StringView name;
    char32_t codePoint;
};

using namespace Qt::StringLiterals;

constexpr std::array namedEntities{
    NamedEntity{"AElig"_L1, 0xC6},   NamedEntity{"Aacute"_L1, 0xC1}, NamedEntity{"Agrave"_L1, 0xC0},
    NamedEntity{"Aring"_L1, 0xC5},   NamedEntity{"Auml"_L1, 0xC4},   NamedEntity{"Ccedil"_L1, 0xC7},
    NamedEntity{"Eacute"_L1, 0xC9},  NamedEntity{"Ntilde"_L1, 0xD1}, NamedEntity{"Oacute"_L1, 0xD3},
    NamedEntity{"Oslash"_L1, 0xD8},  NamedEntity{"Ouml"_L1, 0xD6},   NamedEntity{"Uacute"_L1, 0xDA},
    NamedEntity{"Uuml"_L1, 0xDC},    NamedEntity{"aacute"_L1, 0xE1}, NamedEntity{"acirc"_L1, 0xE2},
    NamedEntity{"aelig"_L1, 0xE6},   NamedEntity{"agrave"_L1, 0xE0}, NamedEntity{"amp"_L1, 0x26},
    NamedEntity{"apos"_L1, 0x27},    NamedEntity{"aring"_L1, 0xE5},  NamedEntity{"atilde"_L1, 0xE3},
    NamedEntity{"auml"_L1, 0xE4},    NamedEntity{"bdquo"_L1, 0x201E}, NamedEntity{"bull"_L1, 0x2022},
    NamedEntity{"ccedil"_L1, 0xE7},  NamedEntity{"cent"_L1, 0xA2},   NamedEntity{"copy"_L1, 0xA9},
    NamedEntity{"deg"_L1, 0xB0},     NamedEntity{"divide"_L1, 0xF7}, NamedEntity{"eacute"_L1, 0xE9},
    NamedEntity{"ecirc"_L1, 0xEA},   NamedEntity{"egrave"_L1, 0xE8}, NamedEntity{"euml"_L1, 0xEB},
    NamedEntity{"euro"_L1, 0x20AC},  NamedEntity{"gt"_L1, 0x3E},     NamedEntity{"hellip"_L1, 0x2026},
    NamedEntity{"iacute"_L1, 0xED},  NamedEntity{"icirc"_L1, 0xEE},  NamedEntity{"iexcl"_L1, 0xA1},
    NamedEntity{"igrave"_L1, 0xEC},  NamedEntity{"iquest"_L1, 0xBF}, NamedEntity{"iuml"_L1, 0xEF},
    NamedEntity{"laquo"_L1, 0xAB},   NamedEntity{"ldquo"_L1, 0x201C}, NamedEntity{"lsaquo"_L1, 0x2039},
    NamedEntity{"lsquo"_L1, 0x2018}, NamedEntity{"lt"_L1, 0x3C},     NamedEntity{"mdash"_L1, 0x2014},
    NamedEntity{"middot"_L1, 0xB7},  NamedEntity{"nbsp"_L1, 0xA0},   NamedEntity{"ndash"_L1, 0x2013},
    NamedEntity{"ntilde"_L1, 0xF1},  NamedEntity{"oacute"_L1, 0xF3}, NamedEntity{"ocirc"_L1, 0xF4},
    NamedEntity{"ograve"_L1, 0xF2},  NamedEntity{"oslash"_L1, 0xF8}, NamedEntity{"otilde"_L1, 0xF5},
    NamedEntity{"ouml"_L1, 0xF6},    NamedEntity{"para"_L1, 0xB6},   NamedEntity{"plusmn"_L1, 0xB1},
    NamedEntity{"pound"_L1, 0xA3},   NamedEntity{"quot"_L1, 0x22},   NamedEntity{"raquo"_L1, 0xBB},
    NamedEntity{"rdquo"_L1, 0x201D}, NamedEntity{"reg"_L1, 0xAE},    NamedEntity{"rsaquo"_L1, 0x203A},
    NamedEntity{"rsquo"_L1, 0x2019}, NamedEntity{"sbquo"_L1, 0x201A}, NamedEntity{"sect"_L1, 0xA7},
    NamedEntity{"shy"_L1, 0xAD},     NamedEntity{"szlig"_L1, 0xDF},  NamedEntity{"thinsp"_L1, 0x2009},
    NamedEntity{"times"_L1, 0xD7},   NamedEntity{"trade"_L1, 0x2122}, NamedEntity{"uacute"_L1, 0xFA},
    NamedEntity{"ucirc"_L1, 0xFB},   NamedEntity{"ugrave"_L1, 0xF9}, NamedEntity{"uuml"_L1, 0xFC},
    NamedEntity{"yacute"_L1, 0xFD},  NamedEntity{"yen"_L1, 0xA5},    NamedEntity{"yuml"_L1, 0xFF},
};

constexpr char32_t replacementCharacter = 0xFFFD;
constexpr qsizetype longestEntityName = 6;

std::optional<char32_t> namedCodePoint(QStringView name)
{
    const auto found = std::find_if(namedEntities.begin(), namedEntities.end(),
                                    [name](const NamedEntity &entity) { return entity.name == name; });
    return found == namedEntities.end() ? std::nullopt : std::optional(found->codePoint);
}

// Numeric references that name no character decode to U+FFFD, as browsers do.
char32_t checkedCodePoint(qint64 value)
{
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value <= 0 || value > 0x10FFFF || surrogate ? replacementCharacter : char32_t(value);
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

// The reference starting at text[at] == '&': its code point and length, if any.
std::optional<std::pair<char32_t, qsizetype>> referenceAt(QStringView text, qsizetype at)
{
    qsizetype pos = at + 1;
    if (pos < text.size() && text[pos] == u'#') {
        ++pos;
        const bool hex = pos < text.size() && (text[pos] == u'x' || text[pos] == u'X');
        if (hex)
            ++pos;
        const int base = hex ? 16 : 10;
        const qsizetype digitsStart = pos;
        qint64 value = 0;
        for (int digit; pos < text.size() && (digit = digitValue(text[pos], base)) >= 0; ++pos)
            value = std::min<qint64>(value * base + digit, 0x110000); // no overflow
        if (pos == digitsStart)
            return std::nullopt;
        if (pos < text.size() && text[pos] == u';')
            ++pos;
        return std::pair(checkedCodePoint(value), pos - at);
    }
    const QStringView candidate = text.sliced(pos).left(longestEntityName + 1);
    const qsizetype semicolon = candidate.indexOf(u';');
    if (semicolon < 0)
        return std::nullopt;
    const auto codePoint = namedCodePoint(candidate.left(semicolon));
    if (!codePoint)
        return std::nullopt;
    return std::pair(*codePoint, pos + semicolon + 1 - at);
}

} // namespace

QString decodeHtmlEntities(QStringView text)
{
    QString decoded;
    decoded.reserve(text.size());
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(u'&'); at >= 0; at = text.indexOf(u'&', at + 1)) {
        const auto reference = referenceAt(text, at);
        if (!reference)
            continue;
        decoded.append(text.sliced(copied, at - copied));
        decoded.append(QStringView(QChar::fromUcs4(reference->first)));
        copied = at + reference->second;
        at = copied - 1;
    }
    decoded.append(text.sliced(copied));
    return decoded;
}

} // namespace tamo
