#include "platform/Alerts.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using tamo::AlertSpec;
using tamo::MessageBoxAlerts;

namespace {

// Runs the alert and, once it is on screen, acts on it as a user would.
int runAndAnswer(const AlertSpec &spec, const std::function<void(QMessageBox *)> &act)
{
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll.stop();
            act(box);
        }
    });
    poll.start();
    return MessageBoxAlerts().runModal(spec);
}

std::function<void(QMessageBox *)> click(const QString &title)
{
    return [title](QMessageBox *box) {
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == title)
                button->click();
        }
    };
}

} // namespace

TEST(MessageBoxAlerts, AnswersTheIndexOfTheButtonInTheGivenOrder)
{
    const AlertSpec spec{QStringLiteral("Remove 3 clips?"), QStringLiteral("This can't be undone."),
                         {QStringLiteral("Remove Clips"), QStringLiteral("Export First"), QStringLiteral("Cancel")},
                         0};
    for (int i = 0; i < spec.buttons.size(); ++i) {
        SCOPED_TRACE(spec.buttons.at(i).toStdString());
        EXPECT_EQ(runAndAnswer(spec, click(spec.buttons.at(i))), i);
    }
}

TEST(MessageBoxAlerts, EscapeAndClosingChooseTheLastButton)
{
    const AlertSpec spec{QStringLiteral("Clear History?"), QString(),
                         {QStringLiteral("Clear History"), QStringLiteral("Cancel")}, 0};
    EXPECT_EQ(runAndAnswer(spec, [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); }), 1);
    EXPECT_EQ(runAndAnswer(spec, [](QMessageBox *box) { box->close(); }), 1);
}

TEST(MessageBoxAlerts, ShowsTheTextsAsTypedAndAnOkButtonWhenNoneIsGiven)
{
    const AlertSpec spec{QStringLiteral("Export failed"), QStringLiteral("<b>Work</b> could not be written."), {}, -1};
    QStringList shownTexts;
    QStringList richTexts;
    QStringList titles;
    const int answer = runAndAnswer(spec, [&](QMessageBox *box) {
        for (const QLabel *label : box->findChildren<QLabel *>()) {
            if (label->text().isEmpty())
                continue;
            shownTexts.append(label->text());
            if (label->textFormat() != Qt::PlainText)
                richTexts.append(label->text());
        }
        for (QAbstractButton *button : box->buttons())
            titles.append(button->text());
        box->close();
    });
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(shownTexts.contains(spec.message));
    EXPECT_TRUE(shownTexts.contains(spec.informativeText));
    EXPECT_EQ(richTexts, QStringList());
    EXPECT_EQ(titles, QStringList{QStringLiteral("OK")});
}

// A short result once made a box so narrow that its title bar read "Tam…ove".
TEST(MessageBoxAlerts, EvenAShortAlertIsWideEnoughForItsTitle)
{
    const struct
    {
        const char *message;
        const char *informative;
    } rows[] = {
        {"1 pinboard imported", ""},
        {"Nothing new to import", "Everything in the file is already here."},
        {"OK?", ""},
    };
    for (const auto &row : rows) {
        const MessageBoxAlerts::Box alert
            = MessageBoxAlerts::build({QString::fromUtf8(row.message), QString::fromUtf8(row.informative), {}, -1});
        alert.box->show();
        EXPECT_EQ(alert.box->windowTitle(), QStringLiteral("TamoCove"));
        EXPECT_GE(alert.box->width(), MessageBoxAlerts::minimumWidth) << row.message;
        alert.box->close();
    }
}

TEST(MessageBoxAlerts, TheHeadlineIsBoldAndAFailureCarriesTheWarningIcon)
{
    QPixmap appIcon(32, 32);
    appIcon.fill(Qt::blue);
    QApplication::setWindowIcon(QIcon(appIcon));
    const struct
    {
        const char *name;
        AlertSpec spec;
        QMessageBox::Icon icon;
    } rows[] = {
        {"a question", {QStringLiteral("Turn on sync?"), QStringLiteral("TamoCove restarts."), {}}, QMessageBox::NoIcon},
        {"a failure", AlertSpec::failure(QStringLiteral("Import failed"), QStringLiteral("Disk full.")),
         QMessageBox::Warning},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const MessageBoxAlerts::Box alert = MessageBoxAlerts::build(row.spec);
        EXPECT_EQ(alert.box->icon(), row.icon);
        EXPECT_FALSE(alert.box->iconPixmap().isNull()) << "no empty gutter beside the texts";
        for (const QLabel *label : alert.box->findChildren<QLabel *>()) {
            if (label->text() == row.spec.message) {
                EXPECT_TRUE(label->font().bold());
            } else if (label->text() == row.spec.informativeText) {
                EXPECT_FALSE(label->font().bold());
            }
        }
    }
    EXPECT_EQ(AlertSpec::failure(QStringLiteral("a"), QStringLiteral("b")).buttons, QStringList());
}
