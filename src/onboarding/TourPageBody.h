#pragma once

#include "onboarding/TourPages.h"

#include <QWidget>

#include <functional>

class QPushButton;
class QVBoxLayout;

namespace tamo {

class Accessibility;
class AppModel;
class Defaults;

// What a tour page needs of the app to switch features in place.
struct TourEnvironment
{
    AppModel &model;
    Defaults &defaults;
    Accessibility &accessibility;
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
    QWidget *accessibilityWarning(std::function<void()> openSettings);
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
