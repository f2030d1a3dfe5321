#include "platform/Symbols.h"

#include <QHash>
#include <QStringList>

namespace tamo {

namespace {

// Freedesktop names first, then names Breeze or Adwaita add.
const QHash<QString, QStringList> &themeNames()
{
    static const QHash<QString, QStringList> names{
        {QStringLiteral("list.clipboard"), {QStringLiteral("edit-paste")}},
        {QStringLiteral("doc.on.clipboard"), {QStringLiteral("edit-paste")}},
        {QStringLiteral("doc.on.clipboard.fill"), {QStringLiteral("edit-paste")}},
        {QStringLiteral("doc.on.doc"), {QStringLiteral("edit-copy")}},
        {QStringLiteral("magnifyingglass"), {QStringLiteral("edit-find"), QStringLiteral("system-search")}},
        {QStringLiteral("pin.slash"), {QStringLiteral("window-unpin"), QStringLiteral("edit-delete")}},
        {QStringLiteral("trash"), {QStringLiteral("user-trash"), QStringLiteral("edit-delete")}},
        {QStringLiteral("pencil"), {QStringLiteral("document-edit"), QStringLiteral("edit-rename")}},
        {QStringLiteral("eye"), {QStringLiteral("view-reveal"), QStringLiteral("document-preview")}},
        {QStringLiteral("face.smiling"), {QStringLiteral("face-smile"), QStringLiteral("emoji-people")}},
        {QStringLiteral("safari"), {QStringLiteral("web-browser"), QStringLiteral("internet-web-browser")}},
        {QStringLiteral("link"), {QStringLiteral("insert-link")}},
        {QStringLiteral("photo"), {QStringLiteral("image-x-generic")}},
        {QStringLiteral("doc"), {QStringLiteral("text-x-generic")}},
        {QStringLiteral("text.alignleft"), {QStringLiteral("format-justify-left")}},
        {QStringLiteral("paintpalette"), {QStringLiteral("color-select-symbolic"), QStringLiteral("preferences-color")}},
        {QStringLiteral("plus"), {QStringLiteral("list-add")}},
        {QStringLiteral("clock"), {QStringLiteral("document-open-recent")}},
        {QStringLiteral("xmark.circle.fill"), {QStringLiteral("edit-clear")}},
        {QStringLiteral("line.3.horizontal.decrease"), {QStringLiteral("view-filter"), QStringLiteral("filter")}},
        {QStringLiteral("ellipsis"), {QStringLiteral("view-more")}},
        {QStringLiteral("pin"), {QStringLiteral("pin"), QStringLiteral("view-pin")}},
        {QStringLiteral("pin.circle.fill"), {QStringLiteral("pin"), QStringLiteral("view-pin")}},
        {QStringLiteral("square.and.arrow.up"), {QStringLiteral("document-export"), QStringLiteral("document-send")}},
        {QStringLiteral("square.and.arrow.down"), {QStringLiteral("document-import"), QStringLiteral("document-open")}},
        {QStringLiteral("square.and.arrow.down.on.square"), {QStringLiteral("document-import"), QStringLiteral("document-open")}},
        {QStringLiteral("gearshape"), {QStringLiteral("preferences-system"), QStringLiteral("configure")}},
        {QStringLiteral("rectangle.bottomhalf.inset.filled"), {QStringLiteral("view-split-top-bottom"), QStringLiteral("view-dual")}},
        {QStringLiteral("info.circle"), {QStringLiteral("help-about")}},
        {QStringLiteral("lightbulb"), {QStringLiteral("help-hint"), QStringLiteral("dialog-information")}},
        {QStringLiteral("lightbulb.fill"), {QStringLiteral("help-hint"), QStringLiteral("dialog-information")}},
        {QStringLiteral("gearshape.fill"), {QStringLiteral("preferences-system"), QStringLiteral("configure")}},
        {QStringLiteral("arrow.down.circle"), {QStringLiteral("system-software-update"), QStringLiteral("update-none")}},
        {QStringLiteral("power"), {QStringLiteral("application-exit"), QStringLiteral("system-shutdown")}},
    };
    return names;
}

} // namespace

QIcon symbolIcon(const QString &symbolName)
{
    // Themes that follow GNOME keep many actions only as "-symbolic" icons.
    for (const QString &name : themeNames().value(symbolName)) {
        for (const QString &candidate : {name, name + QStringLiteral("-symbolic")}) {
            if (QIcon::hasThemeIcon(candidate))
                return QIcon::fromTheme(candidate);
        }
    }
    return {};
}

} // namespace tamo
