#include "platform/AccessibleWindows.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QDialog>
#include <QWidget>
#include <QWindow>

namespace tamo {

namespace {

// Our own classes only: while a widget is being destroyed it reports plain
// QWidget, and an interface made for it then would outlive it in Qt's cache.
bool isOurs(const QMetaObject *meta)
{
    return QLatin1StringView(meta->className()).startsWith(QLatin1StringView("tamo::"));
}

// The Qt class a class of ours is made from.
const QMetaObject *qtBase(const QMetaObject *meta)
{
    while (meta && isOurs(meta))
        meta = meta->superClass();
    return meta;
}

QAccessibleInterface *windowsFactory(const QString &className, QObject *object)
{
    if (object == qApp && className == QLatin1StringView("QApplication"))
        return new AccessibleApplication;
    if (!object || !object->isWidgetType() || !isOurs(object->metaObject())
        || className != QLatin1StringView(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (!widget->isWindow() || qtBase(object->metaObject()) != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void installAccessibleWindows()
{
    QAccessible::installFactory(windowsFactory);
}

QList<QAccessibleInterface *> AccessibleApplication::windows() const
{
    QList<QAccessibleInterface *> windows;
    const QWindowList topLevel = QGuiApplication::topLevelWindows();
    for (QWindow *window : topLevel) {
        const bool listed = window->type() == Qt::Popup ? window->isVisible() : window->type() != Qt::Desktop;
        QAccessibleInterface *root = listed ? window->accessibleRoot() : nullptr;
        if (root && root->object())
            windows.append(root);
    }
    return windows;
}

int AccessibleApplication::childCount() const
{
    return int(windows().size());
}

int AccessibleApplication::indexOfChild(const QAccessibleInterface *child) const
{
    return int(windows().indexOf(child));
}

QAccessibleInterface *AccessibleApplication::child(int index) const
{
    return windows().value(index);
}

} // namespace tamo
