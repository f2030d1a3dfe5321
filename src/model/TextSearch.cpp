#include "model/TextSearch.h"

#include <QVarLengthArray>

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace tamo {

namespace {

// Upper bound of the UTF-16 units one code point folds to; the longest
// compatibility decomposition (U+FDFA) is 18.
constexpr int kMaxFoldLength = 64;

bool isDiacriticMark(UChar32 codePoint)
{
    return (U_GET_GC_MASK(codePoint) & U_GC_M_MASK) && u_hasBinaryProperty(codePoint, UCHAR_DIACRITIC);
}

// Compatibility decomposition, diacritic marks dropped, full case folding.
// Returns the number of units written to out (kMaxFoldLength capacity).
int foldCodePoint(UChar32 codePoint, char16_t *out)
{
    UErrorCode status = U_ZERO_ERROR;
    static const UNormalizer2 *const nfkd = unorm2_getNFKDInstance(&status);

    std::array<UChar, kMaxFoldLength> decomposed;
    int32_t decomposedLength = -1;
    if (nfkd) {
        status = U_ZERO_ERROR;
        decomposedLength = unorm2_getDecomposition(nfkd, codePoint, decomposed.data(), kMaxFoldLength, &status);
        if (U_FAILURE(status))
            decomposedLength = -1;
    }
    if (decomposedLength < 0) {
        decomposedLength = 0;
        U16_APPEND_UNSAFE(decomposed.data(), decomposedLength, codePoint);
    }

    std::array<UChar, kMaxFoldLength> kept;
    int32_t keptLength = 0;
    for (int32_t i = 0; i < decomposedLength;) {
        UChar32 part;
        U16_NEXT(decomposed.data(), i, decomposedLength, part);
        if (!isDiacriticMark(part))
            U16_APPEND_UNSAFE(kept.data(), keptLength, part);
    }

    status = U_ZERO_ERROR;
    const int32_t foldedLength = u_strFoldCase(out, kMaxFoldLength, kept.data(), keptLength, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) {
        std::copy_n(kept.data(), keptLength, out);
        return keptLength;
    }
    return foldedLength;
}

// The folding of every BMP code unit, computed once: the hot loop then costs
// one lookup per character outside ASCII.
class BmpFoldTable
{
public:
    static const BmpFoldTable &instance()
    {
        static const BmpFoldTable table;
        return table;
    }

    std::u16string_view fold(char16_t unit) const
    {
        const quint32 entry = m_entries[unit];
        return std::u16string_view(m_pool.data() + (entry >> 8), entry & 0xFF);
    }

private:
    BmpFoldTable()
        : m_entries(0x10000)
    {
        m_pool.reserve(0x11000);
        std::array<char16_t, kMaxFoldLength> folded;
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            // Surrogate halves reach the table only when unpaired; they stay as they are.
            int length = 1;
            if (QChar::isSurrogate(unit))
                folded[0] = char16_t(unit);
            else
                length = foldCodePoint(UChar32(unit), folded.data());
            m_entries[unit] = quint32(m_pool.size()) << 8 | quint32(length);
            m_pool.append(folded.data(), length);
        }
    }

    std::vector<quint32> m_entries; // pool offset << 8 | length
    std::u16string m_pool;
};

// Folds text into a fixed buffer; the owner drains the buffer when it is
// full and folds on from where the last call stopped.
class FoldedTextWriter
{
public:
    explicit FoldedTextWriter(qsizetype capacity)
        : m_buffer(capacity)
    {
    }

    std::u16string_view folded() const { return {m_buffer.data(), size_t(m_used)}; }

    // Folds text from index on until the buffer is full or the text ends, and
    // returns the index of the first code point left unfolded.
    qsizetype appendFolded(QStringView text, qsizetype index)
    {
        const char16_t *units = text.utf16();
        const qsizetype size = text.size();
        while (index < size) {
            // ASCII runs, the common case, fold one unit to one unit.
            const qsizetype runEnd = std::min(size, index + (m_buffer.size() - m_used));
            char16_t *out = m_buffer.data() + m_used;
            while (index < runEnd && units[index] < 0x80) {
                const char16_t unit = units[index++];
                *out++ = (unit >= u'A' && unit <= u'Z') ? char16_t(unit + (u'a' - u'A')) : unit;
            }
            m_used = out - m_buffer.data();
            if (index == size || m_used + kMaxFoldLength > m_buffer.size())
                break;
            if (units[index] >= 0x80)
                index = appendNonAsciiAt(units, size, index);
        }
        return index;
    }

    // Keeps only the last count units, for a match that spans two drains.
    void keepTail(qsizetype count)
    {
        if (count >= m_used)
            return;
        std::copy(m_buffer.data() + m_used - count, m_buffer.data() + m_used, m_buffer.data());
        m_used = count;
    }

private:
    qsizetype appendNonAsciiAt(const char16_t *units, qsizetype size, qsizetype index)
    {
        const char16_t unit = units[index];
        if (QChar::isHighSurrogate(unit) && index + 1 < size && QChar::isLowSurrogate(units[index + 1])) {
            const char32_t codePoint = QChar::surrogateToUcs4(unit, units[index + 1]);
            m_used += foldCodePoint(UChar32(codePoint), m_buffer.data() + m_used);
            return index + 2;
        }
        const std::u16string_view folded = m_table.fold(unit);
        std::copy(folded.begin(), folded.end(), m_buffer.data() + m_used);
        m_used += qsizetype(folded.size());
        return index + 1;
    }

    const BmpFoldTable &m_table = BmpFoldTable::instance();
    QVarLengthArray<char16_t, 2048> m_buffer;
    qsizetype m_used = 0;
};

} // namespace

TextMatcher::TextMatcher(QStringView needle)
{
    FoldedTextWriter writer(needle.size() * kMaxFoldLength);
    writer.appendFolded(needle, 0);
    m_foldedNeedle = writer.folded();
}

bool TextMatcher::foundIn(QStringView haystack) const
{
    if (m_foldedNeedle.empty())
        return true;

    const std::u16string_view needle = m_foldedNeedle;
    const qsizetype overlap = qsizetype(needle.size()) - 1;
    FoldedTextWriter writer(std::max<qsizetype>(2048, 2 * (overlap + kMaxFoldLength)));
    for (qsizetype index = 0;;) {
        index = writer.appendFolded(haystack, index);
        if (writer.folded().find(needle) != std::u16string_view::npos)
            return true;
        if (index == haystack.size())
            return false;
        writer.keepTail(overlap);
    }
}

bool localizedStandardContains(QStringView haystack, QStringView needle)
{
    return TextMatcher(needle).foundIn(haystack);
}

} // namespace tamo
