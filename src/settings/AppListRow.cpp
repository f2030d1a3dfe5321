#include "settings/AppListRow.h"

#include "cards/ViewStyles.h"
#include "model/DefaultSettings.h"
#include "platform/Workspace.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace tamo {

QString appDisplayName(const Workspace &workspace, const QString &bundleID)
{
    for (const AppInfo &app : workspace.installedApps()) {
        if (app.bundleID == bundleID && !app.name.isEmpty())
            return app.name;
    }
    const QString known = defaultIgnoredAppName(bundleID);
    return known.isEmpty() ? bundleID : known;
}

AppListRow::AppListRow(const Workspace &workspace, const QString &bundleID, QWidget *parent)
    : QWidget(parent)
    , m_bundleID(bundleID)
    , m_name(new QLabel(appDisplayName(workspace, bundleID), this))
{
    auto *icon = new QLabel(this);
    icon->setPixmap(workspace.icon(bundleID).pixmap(24, 24));
    icon->setFixedSize(24, 24);
    m_name->setFont(uiFont(13));
    setAccessibleName(m_name->text());
    setFocusPolicy(Qt::ClickFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 5, 6, 5);
    layout->setSpacing(10);
    layout->addWidget(icon);
    layout->addWidget(m_name, 1);
}

void AppListRow::setSelected(bool selected)
{
    m_selected = selected;
    QPalette colours = m_name->palette();
    colours.setColor(QPalette::WindowText, selected ? QColor(Qt::white) : palette().color(QPalette::WindowText));
    m_name->setPalette(colours);
    update();
}

void AppListRow::paintEvent(QPaintEvent *)
{
    if (!m_selected)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight));
    painter.drawRoundedRect(QRectF(rect()), 6, 6);
}

void AppListRow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(m_bundleID);
    QWidget::mousePressEvent(event);
}

} // namespace tamo
