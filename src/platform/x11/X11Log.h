#pragma once

#include <QLoggingCategory>

namespace tamo::x11 {

Q_DECLARE_LOGGING_CATEGORY(lcX11)

} // namespace tamo::x11
