#include "platform/Alerts.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
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

constexpr int iconSide = 48;

void showIcon(QMessageBox &box, AlertSpec::Style style)
{
    if (style == AlertSpec::Style::warning) {
        box.setIcon(QMessageBox::Warning);
        return;
    }
    const QIcon appIcon = QGuiApplication::windowIcon();
    if (!appIcon.isNull())
        box.setIconPixmap(appIcon.pixmap(iconSide, iconSide));
}

} // namespace

AlertSpec AlertSpec::failure(const QString &message, const QString &informativeText)
{
    AlertSpec spec;
    spec.message = message;
    spec.informativeText = informativeText;
    spec.style = Style::warning;
    return spec;
}

MessageBoxAlerts::Box MessageBoxAlerts::build(const AlertSpec &spec)
{
    const QStringList titles = spec.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : spec.buttons;

    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(QStringLiteral("TamoCove"));
    // Texts carry names and paths the user chose; "<b>" in one must show as typed.
    box->setTextFormat(Qt::PlainText);
    box->setText(spec.message);
    // The headline stands out from the explanation, as the desktop's own alerts do.
    if (auto *headline = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        QFont bold = headline->font();
        bold.setBold(true);
        headline->setFont(bold);
    }
    showIcon(*box, spec.style);
    box->setInformativeText(spec.informativeText);
    if (auto *informative = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);  // QMessageBox leaves this one on AutoText
    // The app's panels float above other windows; an alert must not open behind them.
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    // QMessageBox sizes itself to its texts and ignores a minimum width; a
    // spacer across its grid is the way to widen it.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(minimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());

    QList<QPushButton *> buttons;
    for (int i = 0; i < titles.size(); ++i)
        buttons.append(box->addButton(titles.at(i), roleOf(i, spec, int(titles.size()))));
    box->setDefaultButton(buttons.first());
    box->setEscapeButton(buttons.last());
    return {std::move(box), buttons};
}

int MessageBoxAlerts::runModal(const AlertSpec &spec)
{
    const Box alert = build(spec);
    alert.box->exec();
    const int chosen = int(alert.buttons.indexOf(qobject_cast<QPushButton *>(alert.box->clickedButton())));
    return chosen >= 0 ? chosen : int(alert.buttons.size()) - 1;
}

} // namespace tamo
