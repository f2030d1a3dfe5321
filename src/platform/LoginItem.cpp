#include "platform/LoginItem.h"

#include "platform/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace tamo {

namespace {

// An Exec argument quoted and escaped the way desktop entries require.
QString quotedArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (!argument.isEmpty() && std::none_of(argument.begin(), argument.end(),
                                            [](QChar c) { return reserved.contains(c); }))
        return argument;
    QString quoted = argument;
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'"', QStringLiteral("\\\""));
    quoted.replace(u'`', QStringLiteral("\\`"));
    quoted.replace(u'$', QStringLiteral("\\$"));
    // Inside a desktop file a backslash is itself escaped once more.
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

} // namespace

XdgAutostartItem::XdgAutostartItem(QString entryPath, QString executable)
    : m_entryPath(std::move(entryPath))
    , m_executable(std::move(executable))
{
}

QString XdgAutostartItem::standardEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/autostart/tamocove.desktop");
}

bool XdgAutostartItem::isEnabled() const
{
    // DesktopEntry refuses hidden and non-application entries.
    return DesktopEntry::fromFile(m_entryPath, QStringLiteral("tamocove")).has_value();
}

bool XdgAutostartItem::setEnabled(bool enabled)
{
    if (!enabled) {
        if (!QFileInfo::exists(m_entryPath))
            return true;
        return QFile::remove(m_entryPath);
    }
    if (!QDir().mkpath(QFileInfo(m_entryPath).absolutePath()))
        return false;
    // Written whole or not at all: a half-written entry would start nothing.
    QSaveFile file(m_entryPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryText(m_executable));
    return file.commit();
}

QByteArray XdgAutostartItem::entryText(const QString &executable)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=TamoCove\n"
                          "Comment=Clipboard history\n"
                          "Exec=%1\n"
                          "Icon=tamocove\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quotedArgument(executable))
        .toUtf8();
}

} // namespace tamo
