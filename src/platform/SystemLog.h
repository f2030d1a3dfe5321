#pragma once

#include <QString>

namespace tamo {

// One line in the system log (the journal on systemd machines).
void writeSystemLog(const QString &category, const QString &message);

} // namespace tamo
