#include "app/Product.h"

namespace tamo::product {

QString version()
{
#ifdef TAMO_VERSION
    return QStringLiteral(TAMO_VERSION);
#else
    return QStringLiteral("?");
#endif
}

int build()
{
#ifdef TAMO_BUILD
    return parseBuild(QStringLiteral(TAMO_BUILD));
#else
    return 0;
#endif
}

int parseBuild(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace tamo::product
