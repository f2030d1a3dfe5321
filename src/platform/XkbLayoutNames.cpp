#include "platform/XkbLayoutNames.h"

#include <QFile>
#include <QXmlStreamReader>

namespace tamo {

namespace {

constexpr int maxGroups = 4;

QString layoutID(const QString &layout, const QString &variant)
{
    return variant.isEmpty() ? layout : layout + QLatin1Char('(') + variant + QLatin1Char(')');
}

} // namespace

XkbLayoutNames XkbLayoutNames::system()
{
    QFile registry(QStringLiteral("/usr/share/X11/xkb/rules/evdev.xml"));
    if (!registry.open(QIODevice::ReadOnly))
        return {};
    return fromRegistry(registry.readAll());
}

XkbLayoutNames XkbLayoutNames::fromRegistry(const QByteArray &xml)
{
    // <layout><configItem><name>de</name><description>German</description></configItem>
    //   <variantList><variant><configItem><name>nodeadkeys</name>…
    XkbLayoutNames names;
    QXmlStreamReader reader(xml);
    QString layout;
    QString itemName;
    bool inVariant = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto element = reader.name();
            if (element == QLatin1String("layout")) {
                layout.clear();
                inVariant = false;
            } else if (element == QLatin1String("variant")) {
                inVariant = true;
            } else if (element == QLatin1String("name")) {
                itemName = reader.readElementText();
                if (!inVariant)
                    layout = itemName;
            } else if (element == QLatin1String("description") && !layout.isEmpty()) {
                const QString id = inVariant ? layoutID(layout, itemName) : layout;
                names.m_names.insert(id, reader.readElementText());
            }
        } else if (reader.isEndElement() && reader.name() == QLatin1String("variant")) {
            inVariant = false;
        }
    }
    return names;
}

QString XkbLayoutNames::name(const QString &id) const
{
    return m_names.value(id, id);
}

QStringList xkbLayoutIDs(const QString &layouts, const QString &variants)
{
    const QStringList layoutList = layouts.split(QLatin1Char(','));
    const QStringList variantList = variants.split(QLatin1Char(','));
    QStringList ids;
    for (int i = 0; i < layoutList.size() && ids.size() < maxGroups; ++i) {
        const QString layout = layoutList.at(i).trimmed();
        if (!layout.isEmpty())
            ids.append(layoutID(layout, variantList.value(i).trimmed()));
    }
    return ids;
}

} // namespace tamo
