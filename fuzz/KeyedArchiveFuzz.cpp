#include "transfer/PasteItems.h"

#include <cstddef>
#include <cstdint>

// Any bytes read as a list of clipboard items or as nothing, however their
// objects refer to each other.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto items = tamo::PasteImporter::unarchiveItems(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (items)
        tamo::PasteImporter::makeDraft(*items, std::nullopt, std::nullopt);
    return 0;
}
