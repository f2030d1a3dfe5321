#include "transfer/PasteItems.h"

#include <cstddef>
#include <cstdint>

// Any bytes of a newer history's item column read as items and a capture,
// or as nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto items = tamo::PasteImporter::rawPasteboardItems(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (items)
        tamo::PasteImporter::makeDraft(*items, std::nullopt, std::nullopt);
    return 0;
}
