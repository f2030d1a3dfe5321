#include "transfer/Segment.h"

#include <cstdint>
#include <cstdlib>

// Whatever the bytes, reading never crashes, and whatever it accepts writes
// back to a file that reads the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using tamo::SegmentRead;
    static const QString device = QStringLiteral("00000000-0000-4000-8000-000000000001");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const SegmentRead read = tamo::readSegment(bytes, device, 1);
    if (read.result == SegmentRead::Result::complete) {
        const SegmentRead again = tamo::readSegment(read.segment.encode(), device, 1);
        if (again.result != SegmentRead::Result::complete || again.segment.changes != read.segment.changes)
            std::abort();
    }
    return 0;
}
