#include "platform/Alerts.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace tamo {

namespace {

// Roles tell the desktop's button layout which button is which, so the
// dialog follows the platform's order; the index returned still counts in the
// order the AlertSpec lists the buttons.
QMessageBox::ButtonRole roleOf(int index, const AlertSpec &spec, int count)
{
    if (index == spec.destructiveButton)
        return QMessageBox::DestructiveRole;
    if (index == count - 1 && count > 1)
        return QMessageBox::RejectRole;
    return QMessageBox::AcceptRole;
}

} // namespace

int MessageBoxAlerts::runModal(const AlertSpec &spec)
{
    const QStringList titles = spec.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : spec.buttons;

    QMessageBox box;
    // Texts carry names and paths the user chose; "<b>" in one must show as typed.
    box.setTextFormat(Qt::PlainText);
    box.setText(spec.message);
    box.setInformativeText(spec.informativeText);
    if (auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);  // QMessageBox leaves this one on AutoText
    // The app's panels float above other windows; an alert must not open behind them.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);

    QList<QPushButton *> buttons;
    for (int i = 0; i < titles.size(); ++i)
        buttons.append(box.addButton(titles.at(i), roleOf(i, spec, int(titles.size()))));
    box.setDefaultButton(buttons.first());
    box.setEscapeButton(buttons.last());

    box.exec();
    const int chosen = int(buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return chosen >= 0 ? chosen : int(buttons.size()) - 1;
}

} // namespace tamo
