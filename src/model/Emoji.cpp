#include "model/Emoji.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <memory>

namespace tamo {

namespace {

constexpr UChar32 kEmojiPresentationSelector = 0xFE0F;

// Far above the longest emoji sequence (about 15 UTF-16 units); longer text
// is rejected before any Unicode work.
constexpr qsizetype kMaxEmojiLength = 64;

bool isOneGraphemeCluster(const icu::UnicodeString &text)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> graphemes(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status))
        return false;
    graphemes->setText(text);
    return graphemes->next() == text.length();
}

// The cluster's first character decides, together with what follows it:
// emoji presentation by default, or asked for with U+FE0F, or a skin tone
// on a character that takes one.
bool startsAsEmoji(const icu::UnicodeString &cluster)
{
    const UChar32 first = cluster.char32At(0);
    if (u_hasBinaryProperty(first, UCHAR_EMOJI_PRESENTATION))
        return true;
    if (!u_hasBinaryProperty(first, UCHAR_EMOJI) || cluster.countChar32() < 2)
        return false;
    const UChar32 second = cluster.char32At(U16_LENGTH(first));
    return second == kEmojiPresentationSelector
           || (u_hasBinaryProperty(first, UCHAR_EMOJI_MODIFIER_BASE) && u_hasBinaryProperty(second, UCHAR_EMOJI_MODIFIER));
}

} // namespace

bool isSingleEmoji(QStringView text)
{
    if (text.isEmpty() || text.size() > kMaxEmojiLength)
        return false;
    // Read-only alias: no copy of the caller's text.
    const icu::UnicodeString cluster(false, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
    return isOneGraphemeCluster(cluster) && startsAsEmoji(cluster);
}

} // namespace tamo
