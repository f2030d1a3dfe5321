#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QMessageBox;
class QPushButton;

namespace tamo {

// One modal alert: a message, a smaller informative text and its buttons,
// first to last. The first button is the default one; the last answers
// Escape and closing the dialog, so it should be the Cancel button.
struct AlertSpec
{
    // A warning is for something that failed or went wrong; it carries the
    // desktop's warning icon where a question carries the app's.
    enum class Style { informational, warning };

    QString message;
    QString informativeText;
    QStringList buttons;         // empty means a single "OK"
    int destructiveButton = -1;  // index into buttons, or -1
    Style style = Style::informational;

    // A single "OK" alert about something that failed.
    static AlertSpec failure(const QString &message, const QString &informativeText);

    bool operator==(const AlertSpec &) const = default;
};

class Alerts
{
public:
    virtual ~Alerts() = default;

    // Shows the alert and waits; returns the index of the chosen button.
    virtual int runModal(const AlertSpec &spec) = 0;
};

class MessageBoxAlerts final : public Alerts
{
public:
    // Wide enough that the desktop's title bar shows "TamoCove" whole and a
    // short message does not make a cramped box.
    static constexpr int minimumWidth = 420;

    int runModal(const AlertSpec &spec) override;

    // The dialog an alert shows, with its buttons in the order the alert lists them; built
    // but not run.
    struct Box
    {
        std::unique_ptr<QMessageBox> box;
        QList<QPushButton *> buttons;
    };
    static Box build(const AlertSpec &spec);
};

} // namespace tamo
