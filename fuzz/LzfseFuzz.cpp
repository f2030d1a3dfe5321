#include "transfer/Lzfse.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any bytes decode to at most the cap, or to nothing; nothing else may happen.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr qsizetype cap = 4 * 1024 * 1024;
    const auto decoded = tamo::lzfse::decode(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), cap);
    if (decoded && decoded->size() > cap)
        std::abort();
    return 0;
}
