#include "transfer/Base64Decoder.h"
#include "transfer/PinboardArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The bytes after the first as Base64 text, handed over in two pieces at a
// place the first byte picks: they decode exactly when Qt's own decoder
// takes them and they are the one encoding of what they decode to.
void checkBase64(QByteArrayView data)
{
    if (data.isEmpty())
        return;
    const QByteArray text = data.sliced(1).toByteArray();
    const qsizetype split = qsizetype(uchar(data[0])) % (text.size() + 1);
    tamo::Base64Decoder decoder(text.size());
    decoder.take(QLatin1StringView(text.first(split)));
    decoder.take(QLatin1StringView(text.sliced(split)));
    const bool decoded = decoder.finish() == tamo::Base64Decoder::Status::ok;
    const auto expected =
        QByteArray::fromBase64Encoding(text, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    const bool valid = expected && expected.decoded.toBase64() == text;
    if (decoded != valid || (valid && decoder.takeBytes() != expected.decoded))
        std::abort();
}

} // namespace

// Any bytes either read as an archive that writes and reads back the same,
// or fail with an ArchiveError; nothing else may happen. The same bytes
// check the Base64 decoder the reader decodes byte values with.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const auto archive = tamo::PinboardArchive::decode(bytes);
        if (!(tamo::PinboardArchive::decode(archive.encode()) == archive))
            std::abort();
    } catch (const tamo::ArchiveError &) {
    }
    checkBase64(bytes);
    return 0;
}
