#include "secrets/SecretDetector.h"

#include <QString>

#include <cstdint>
#include <cstring>

// Every copy goes through the secret scan, so any text may reach it: the
// scan must neither crash nor read out of bounds, and must stay linear
// (libFuzzer's time-out catches a pattern that backtracks). The bytes are
// read both as UTF-8 and as raw UTF-16, for surrogates and unpaired halves.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString utf8 = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    tamo::SecretDetector::containsSecret(utf8);
    QString utf16(qsizetype(size / 2), Qt::Uninitialized); // copied: the bytes need not be aligned
    std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(QChar));
    tamo::SecretDetector::containsSecret(utf16);
    return 0;
}
