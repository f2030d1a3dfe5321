#pragma once

#include "onboarding/TourPages.h"
#include "settings/SettingsPage.h"

#include <QWidget>

class QPushButton;
class QVBoxLayout;

namespace tamo {

class AppModel;
class Defaults;

// What a tour page needs of the app to switch features in place.
struct TourEnvironment
{
    AppModel &model;
    Defaults &defaults;
};

// The text under a tour page's illustration: badges, title, text or the
// shortcut explanation, the Direct Paste offer and a bonus tool's switch.
// The offer and the switch follow the settings and the permission as they
// change, wherever the change came from.
class TourPageBody : public QWidget
{
    Q_OBJECT

public:
    TourPageBody(const TourPage &page, const TourEnvironment &environment, double scale, QWidget *parent = nullptr);

private:
    void addBadge(QVBoxLayout *layout, const QString &text, const QColor &colour);
    QWidget *shortcutBlock();
    // The warning where synthetic input is missing, with a button to the
    // settings page that explains it.
    QWidget *accessibilityWarning(SettingsPage explainedOn);
    QWidget *onLabel(const QString &text);
    QPushButton *actionButton(const QString &text) const;
    void rebuildDirectPasteOffer();
    void rebuildBonusState();
    void switchBonus(bool on);

    TourPage m_page;
    TourEnvironment m_env;
    double m_scale;
    QWidget *m_offer = nullptr;      // its content is replaced as its state changes
    QWidget *m_bonusState = nullptr;
    QWidget *m_bonusWarning = nullptr;
};

} // namespace tamo
