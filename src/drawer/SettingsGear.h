#pragma once

#include <QToolButton>

namespace tamo {

class AppModel;

// The bar's gear: a click opens the settings, pressing and holding shows the
// menu of application commands.
class SettingsGear : public QToolButton
{
    Q_OBJECT

public:
    explicit SettingsGear(AppModel &model, QWidget *parent = nullptr);

private:
    QMenu *makeMenu();

    AppModel &m_model;
};

} // namespace tamo
