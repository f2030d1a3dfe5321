#include "transfer/PinboardArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any bytes either read as an archive that writes and reads back the same,
// or fail with an ArchiveError; nothing else may happen.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const auto archive = tamo::PinboardArchive::decode(
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
        if (!(tamo::PinboardArchive::decode(archive.encode()) == archive))
            std::abort();
    } catch (const tamo::ArchiveError &) {
    }
    return 0;
}
