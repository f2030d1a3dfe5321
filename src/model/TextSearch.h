#pragma once

#include <QStringView>

#include <string>

namespace tamo {

// Containment that ignores case, diacritics and character width: "cafe"
// finds "CAFÉ", "fi" finds "ﬁ", "abc" finds "ＡＢＣ". The needle is one piece,
// not split into words. Build one matcher per query and reuse it for every
// field searched; foundIn() does not allocate for needles of ordinary length.
class TextMatcher
{
public:
    explicit TextMatcher(QStringView needle);

    // An empty needle is found in everything.
    bool foundIn(QStringView haystack) const;

private:
    std::u16string m_foldedNeedle;
};

bool localizedStandardContains(QStringView haystack, QStringView needle);

} // namespace tamo
