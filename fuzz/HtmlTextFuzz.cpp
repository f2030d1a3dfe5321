#include "platform/HtmlText.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// What a page gives must never be longer than the page, and a conversion
// told to stop gives nothing (an empty page gives its empty text at once).
void check(const QString &html)
{
    const std::optional<QString> text = tamo::HtmlText::plainText(html, [] { return false; });
    if (!text || text->size() > html.size() || text->contains(u'\r'))
        std::abort();
    if (!html.isEmpty() && tamo::HtmlText::plainText(html, [] { return true; }))
        std::abort();
}

} // namespace

// An HTML-only copy is turned into its text: any owner's page may reach the
// converter. It must neither crash nor read out of bounds, and must stay
// linear (libFuzzer's time-out catches a page that is read more than once).
// The bytes are read both as UTF-8 and as raw UTF-16.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    QString utf16(qsizetype(size / 2), Qt::Uninitialized); // copied: the bytes need not be aligned
    std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(QChar));
    check(utf16);
    return 0;
}
