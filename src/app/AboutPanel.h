#pragma once

#include "app/AppHooks.h"

#include <QDialog>

class QLabel;

namespace tamo {

// The about panel, as a Linux desktop's about dialog shows an app: its icon,
// name and version, the copyright line and the licence. One panel, made on
// first use and brought to the front when asked for again.
class AboutPanel final : public QDialog, public AboutWindow
{
    Q_OBJECT

public:
    explicit AboutPanel(QWidget *parent = nullptr);

    void showAbout() override;

    static const QString copyrightLine;
    static const QString licence;
};

} // namespace tamo
