#pragma once

#include "platform/FilePanels.h"

namespace tamo {

class Alerts;
class AppModel;
class Clock;
class Defaults;
class ImportProgress;
class PinboardPicker;

// What export and import of pinboard files work with.
struct TransferServices
{
    AppModel &model;
    Defaults &defaults;
    Alerts &alerts;
    FilePanels &panels;
    PinboardPicker &picker;
    ImportProgress &progress;
    const Clock &clock;
};

// The pinboard file as the save and open panels offer it.
inline FileType pinboardFileType()
{
    return {QStringLiteral("TamoCove Pinboards"), {QStringLiteral("tamocove")}};
}

// Clips copied on the companion phone app keep its id but bring no app entry.
inline bool isCompanionPhoneApp(const QString &bundleID)
{
    return bundleID == QLatin1String("com.vandrel.Tamo-iOS") || bundleID.startsWith(QLatin1String("com.vandrel.Tamo-iOS."));
}

// A warning whose informative text is the error's description.
void showErrorAlert(Alerts &alerts, const QString &title, const QString &error);

// True, once it has said so, while another import is under way: they share
// one progress window, and each stops only itself.
bool refusedWhileImporting(ImportProgress &progress, Alerts &alerts);

// "1 clip", "2 clips".
QString counted(qsizetype count, const QString &noun);

} // namespace tamo
