#include "platform/XkbLayoutNames.h"

#include <gtest/gtest.h>

using namespace tamo;

TEST(XkbLayoutNames, LayoutsAndVariantsAreNamedFromTheRegistry)
{
    const QByteArray registry = R"(<xkbConfigRegistry><layoutList>
        <layout><configItem><name>us</name><shortDescription>en</shortDescription>
          <description>English (US)</description><languageList><iso639Id>eng</iso639Id></languageList></configItem>
          <variantList><variant><configItem><name>intl</name><description>English (US, intl.)</description></configItem></variant></variantList>
        </layout>
        <layout><configItem><name>de</name><description>German</description></configItem>
          <variantList><variant><configItem><name>nodeadkeys</name><description>German (no dead keys)</description></configItem></variant></variantList>
        </layout></layoutList></xkbConfigRegistry>)";
    const auto names = XkbLayoutNames::fromRegistry(registry);
    EXPECT_EQ(names.name(QStringLiteral("us")), QStringLiteral("English (US)"));
    EXPECT_EQ(names.name(QStringLiteral("us(intl)")), QStringLiteral("English (US, intl.)"));
    EXPECT_EQ(names.name(QStringLiteral("de")), QStringLiteral("German"));
    EXPECT_EQ(names.name(QStringLiteral("de(nodeadkeys)")), QStringLiteral("German (no dead keys)"));
    EXPECT_EQ(names.name(QStringLiteral("xx")), QStringLiteral("xx")) << "unknown ids name themselves";
    EXPECT_EQ(XkbLayoutNames::fromRegistry("<broken").name(QStringLiteral("us")), QStringLiteral("us"));
}

TEST(XkbLayoutNames, RuleNamesGiveOneIdPerGroup)
{
    struct Case
    {
        QString layouts;
        QString variants;
        QStringList ids;
    };
    const QList<Case> cases = {
        {QStringLiteral("us"), QString(), {QStringLiteral("us")}},
        {QStringLiteral("us,de"), QStringLiteral(",nodeadkeys"), {QStringLiteral("us"), QStringLiteral("de(nodeadkeys)")}},
        {QStringLiteral("us,de,fr,es,it"), QString(),
         {QStringLiteral("us"), QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("es")}},
        {QString(), QString(), {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(xkbLayoutIDs(c.layouts, c.variants), c.ids) << c.layouts.toStdString();
}
