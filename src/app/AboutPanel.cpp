#include "app/AboutPanel.h"

#include "app/Product.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr int iconSide = 128;
constexpr int panelWidth = 360;

QLabel *centredLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QFont scaledFont(const QFont &base, double factor, QFont::Weight weight = QFont::Normal)
{
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * factor);
    font.setWeight(weight);
    return font;
}

} // namespace

const QString AboutPanel::copyrightLine = QStringLiteral("© 2026 The TamoCove developers");
const QString AboutPanel::licence = QStringLiteral("This program comes with absolutely no warranty.");

AboutPanel::AboutPanel(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("About TamoCove"));
    setAccessibleName(tr("About TamoCove"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 24, 24, 16);
    column->setSpacing(6);

    auto *icon = new QLabel(this);
    icon->setAlignment(Qt::AlignHCenter);
    icon->setPixmap(QApplication::windowIcon().pixmap(iconSide, iconSide));
    icon->setAccessibleName(tr("TamoCove icon"));
    column->addWidget(icon);
    column->addSpacing(6);

    QLabel *name = centredLabel(QStringLiteral("TamoCove"), this);
    name->setFont(scaledFont(font(), 1.6, QFont::Bold));
    column->addWidget(name);

    QLabel *versionLabel = centredLabel(tr("Version %1").arg(product::version()), this);
    versionLabel->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(versionLabel);
    column->addSpacing(6);

    column->addWidget(centredLabel(tr("A clipboard manager that lives in the tray"), this));
    column->addSpacing(12);

    QLabel *copyright = centredLabel(copyrightLine, this);
    copyright->setFont(scaledFont(font(), 0.9));
    column->addWidget(copyright);
    QLabel *licenceLabel = centredLabel(licence, this);
    licenceLabel->setFont(scaledFont(font(), 0.9));
    licenceLabel->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(licenceLabel);
    column->addSpacing(8);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    column->addWidget(buttons);

    setFixedWidth(panelWidth);
    setFixedHeight(sizeHint().height());
}

void AboutPanel::showAbout()
{
    show();
    raise();
    activateWindow();
}

} // namespace tamo
