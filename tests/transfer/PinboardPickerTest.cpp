#include "transfer/PinboardPicker.h"
#include "support/ShownText.h"
#include "support/UnnamedControls.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>

#include <gtest/gtest.h>

using namespace tamo;

namespace {

PickerRequest requestWith(int rows, const QString &name = QStringLiteral("Work"),
                          std::optional<QString> option = std::nullopt)
{
    PickerRequest request{QStringLiteral("Export Pinboards"), QStringLiteral("Choose."), QStringLiteral("Export…"), {},
                          option};
    for (int i = 0; i < rows; ++i)
        request.rows.append({name, i, QStringLiteral("1 clip")});
    return request;
}

} // namespace

TEST(PinboardPickerTest, ListShowsTenRowsThenScrollsAndKeepsItsWidthInBounds)
{
    struct Case { int rows; QString name; int height; bool scrolls; };
    const std::vector<Case> cases{{10, QStringLiteral("Work"), 240, false},
                                  {11, QStringLiteral("Work"), 240, true},
                                  {1, QString(300, u'W'), 24, false}};
    for (const Case &c : cases) {
        PinboardPickerDialog dialog(requestWith(c.rows, c.name));
        EXPECT_EQ(dialog.list()->height(), c.height) << c.rows;
        EXPECT_EQ(dialog.list()->widget()->height(), 24 * c.rows);
        EXPECT_EQ(dialog.list()->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, c.scrolls) << c.rows;
        EXPECT_GE(dialog.listWidth(), PinboardPickerDialog::minimumWidth);
        EXPECT_LE(dialog.listWidth(), PinboardPickerDialog::maximumWidth);
        for (QCheckBox *box : dialog.rowBoxes())
            EXPECT_LE(box->width(), dialog.listWidth() - 4);
    }
}

TEST(PinboardPickerTest, NamesShowTheirAmpersands)
{
    for (const QString name : {"Links & Docs", "R&D", "&Start", "End&", "Tom && Jerry"}) {
        PinboardPickerDialog dialog(requestWith(1, name, name + QStringLiteral(" option")));
        EXPECT_EQ(tamo::testing::shownText(dialog.rowBoxes().first()), name + QStringLiteral("  ·  1 clip"));
        const auto boxes = dialog.findChildren<QCheckBox *>();
        EXPECT_TRUE(std::any_of(boxes.cbegin(), boxes.cend(), [&](QCheckBox *box) {
            return tamo::testing::shownText(box) == name + QStringLiteral(" option");
        })) << name.toStdString();
    }
}

TEST(PinboardPickerTest, SelectAllFollowsTheTicksAndConfirmNeedsOne)
{
    PinboardPickerDialog dialog(requestWith(3, QStringLiteral("Work"), QStringLiteral("Match the file")));
    EXPECT_EQ(dialog.selectAllButton()->text(), QStringLiteral("Deselect All"));
    EXPECT_FALSE(dialog.optionBox()->isChecked());

    dialog.rowBoxes()[1]->setChecked(false);
    EXPECT_EQ(dialog.selectAllButton()->text(), QStringLiteral("Select All"));
    dialog.toggleAll(); // some ticked: ticks all
    EXPECT_EQ(dialog.answer(true).indices, (QList<int>{0, 1, 2}));
    dialog.toggleAll();
    EXPECT_FALSE(dialog.confirmButton()->isEnabled());
    EXPECT_EQ(dialog.selectAllButton()->text(), QStringLiteral("Select All"));

    dialog.rowBoxes()[2]->setChecked(true);
    dialog.optionBox()->setChecked(true);
    EXPECT_TRUE(dialog.confirmButton()->isEnabled());
    const PickerAnswer confirmed = dialog.answer(true);
    EXPECT_EQ(confirmed.indices, (QList<int>{2}));
    EXPECT_TRUE(confirmed.option);
    const PickerAnswer cancelled = dialog.answer(false);
    EXPECT_FALSE(cancelled.indices);
    EXPECT_FALSE(cancelled.option);
}

TEST(PinboardPickerTest, EveryControlHasAName)
{
    for (const int rows : {1, 11}) {
        PinboardPickerDialog dialog(requestWith(rows, QStringLiteral("Work"), QStringLiteral("Match the file")));
        dialog.show();
        const QStringList unnamed = tamo::testing::unnamedControls(&dialog);
        EXPECT_TRUE(unnamed.isEmpty()) << rows << ": " << unnamed.join(u", ").toStdString();
    }
}
