#pragma once

#include <QByteArray>
#include <QString>

namespace tamo {

// The identity a display reports in its EDID block: the numbers macOS
// exposes as vendor, model and serial number, and the product name.
struct Edid
{
    quint32 vendor = 0; // manufacturer id as stored (big-endian), e.g. 1552 for "APP"
    quint32 model = 0;  // product code
    quint32 serial = 0; // serial number field
    QString name;       // display product name descriptor, empty when absent

    // All zero and empty for anything that is not an EDID block.
    static Edid parse(const QByteArray &bytes);
};

} // namespace tamo
