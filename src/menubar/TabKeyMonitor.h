#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace tamo {

// Sees Tab and Shift-Tab in one window before the focused control does, so
// the window decides what Tab means. onTab gets true for Tab (forward) and
// answers whether it used the press; an unused press takes its normal course.
// Presses with Control, Alt or Meta pass untouched. Watches while it lives.
class TabKeyMonitor final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<bool(bool forward)>;

    TabKeyMonitor(QWidget *window, Handler onTab, QObject *parent = nullptr);
    ~TabKeyMonitor() override;

    void setOnTab(Handler onTab) { m_onTab = std::move(onTab); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    Handler m_onTab;
};

} // namespace tamo
