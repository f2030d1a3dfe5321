#pragma once

#include "cards/CardContext.h"

#include <QPalette>
#include <QString>

namespace tamo::sheets {

// Sheets of sample cards, every kind in both styles and in the menu bar's
// size, at 1× and 2×: cards-<style>-<theme>-<ratio>x.png in the folder.
void writeCardSheets(const CardContext &context, const QPalette &palette, const QString &theme, const QString &folder);

} // namespace tamo::sheets
