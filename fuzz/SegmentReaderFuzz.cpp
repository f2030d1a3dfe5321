#include "transfer/Segment.h"

#include <QCryptographicHash>

#include <cstdint>
#include <cstdlib>

namespace {

const QString device = QStringLiteral("00000000-0000-4000-8000-000000000001");

// The input's lines under a footer that fits them, so the fuzzer reaches the
// change lines behind the checksum it could never forge.
QByteArray sealed(QByteArray lines)
{
    if (!lines.endsWith('\n'))
        lines += '\n';
    const QByteArray sha = QCryptographicHash::hash(lines, QCryptographicHash::Sha256).toHex();
    return lines + "{\"count\":" + QByteArray::number(lines.count('\n') - 1) + ",\"sha256\":\"" + sha + "\"}\n";
}

// Whatever the bytes, reading never crashes, and whatever it accepts writes
// back to a file that reads the same.
void check(const QByteArray &bytes)
{
    using tamo::SegmentRead;
    const SegmentRead read = tamo::readSegment(bytes, device, 1);
    if (read.result == SegmentRead::Result::complete) {
        const SegmentRead again = tamo::readSegment(read.segment.encode(), device, 1);
        if (again.result != SegmentRead::Result::complete || again.segment.changes != read.segment.changes)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(bytes);
    check(sealed(bytes));
    return 0;
}
