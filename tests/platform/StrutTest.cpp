#include "platform/Strut.h"

#include <gtest/gtest.h>

using tamo::Strut;

namespace {

QRect visibleArea(const QRect &monitor, const QSize &root, const QList<QList<quint32>> &properties)
{
    QRect area = monitor;
    for (const QList<quint32> &property : properties)
        area = Strut::fromProperty(property, root).cut(area, root);
    return area;
}

} // namespace

TEST(Strut, DocksReduceOnlyTheMonitorsTheyTouch)
{
    struct Row
    {
        const char *description;
        QSize root;
        QList<QList<quint32>> struts;
        QRect monitor;
        QRect visible;
    };
    const QSize sideBySide(3840, 1080);
    const QList<quint32> bottomDockOnRight{0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 1920, 3839};
    const Row rows[] = {
        {"bottom dock on the right monitor", sideBySide, {bottomDockOnRight}, {1920, 0, 1920, 1080},
         {1920, 0, 1920, 1040}},
        {"the left monitor beside it", sideBySide, {bottomDockOnRight}, {0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
        {"old-style top panel spans every monitor", sideBySide, {{0, 0, 24, 0}}, {1920, 0, 1920, 1080},
         {1920, 24, 1920, 1056}},
        {"panels on two edges", sideBySide, {{0, 0, 24, 0}, {64, 0, 0, 0, 0, 1079, 0, 0, 0, 0, 0, 0}},
         {0, 0, 1920, 1080}, {64, 24, 1856, 1056}},
        {"vertical dock on the left does not reach the right monitor", sideBySide,
         {{64, 0, 0, 0, 0, 1079, 0, 0, 0, 0, 0, 0}}, {1920, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
        // A shorter right monitor: its bottom dock's strut counts from the
        // root's lower edge, past the monitor's.
        {"bottom dock on a shorter monitor", {3200, 1080}, {{0, 0, 0, 342, 0, 0, 0, 0, 0, 0, 1920, 3199}},
         {1920, 0, 1280, 768}, {1920, 0, 1280, 738}},
        // Stacked monitors: the lower one's top panel reserves everything
        // above it, which must not swallow the upper monitor.
        {"top panel of the lower stacked monitor", {1920, 2160}, {{0, 0, 1104, 0, 0, 0, 0, 0, 0, 1919, 0, 0}},
         {0, 1080, 1920, 1080}, {0, 1104, 1920, 1056}},
        {"the upper stacked monitor", {1920, 2160}, {{0, 0, 1104, 0, 0, 0, 0, 0, 0, 1919, 0, 0}},
         {0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
        {"malformed property", sideBySide, {{0, 0, 40}}, {0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.description);
        EXPECT_EQ(visibleArea(row.monitor, row.root, row.struts), row.visible);
    }
}
