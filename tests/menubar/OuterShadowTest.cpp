#include "menubar/OuterShadow.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

TEST(OuterShadowTest, DarkensOnlyOutsideTheShapeAndMostBelowIt)
{
    OuterShadow shadow(20);
    shadow.resize(200, 200);
    shadow.setShapeRect(QRectF(40, 40, 120, 100));
    QImage image(shadow.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    shadow.render(&image, {}, {}, QWidget::RenderFlags());

    EXPECT_EQ(qAlpha(image.pixel(100, 90)), 0);  // inside: left clear for the glass above
    EXPECT_GT(qAlpha(image.pixel(100, 145)), 0); // just below the shape
    EXPECT_GT(qAlpha(image.pixel(100, 145)), qAlpha(image.pixel(100, 35))); // cast downwards
    EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0);     // beyond the blur
}

} // namespace
