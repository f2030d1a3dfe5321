#pragma once

#include "app/AppHooks.h"

#include <QObject>

#include <optional>

namespace tamo {

class AppModel;
class FormRow;
class FormSection;

// The window sizer's rows of the Bonus page, one per screen: the size the
// sizer gives windows there, a button that takes the size of the window last
// used on that screen, and one that forgets the size. A capture that finds no
// window beeps and says why on its row for a few seconds.
class WindowSizeRows : public QObject
{
    Q_OBJECT

public:
    static constexpr int noteMs = 3000;

    // The rows go at the end of `section`.
    WindowSizeRows(FormSection &section, AppModel &model, QObject *parent = nullptr);

    // Reads the screens again and rebuilds the rows.
    void reload();
    // The rows show only while the sizer is on.
    void setShown(bool shown);

    void useCurrentWindow(const WindowSizerScreen &screen);
    void forgetWindowSize(const WindowSizerScreen &screen);
    // The row's second line.
    QString status(const WindowSizerScreen &screen) const;

    const QList<WindowSizerScreen> &screens() const { return m_screens; }

private:
    void clearNoWindowNote(const QString &screenID);
    void showRows();
    QWidget *rowButtons(const WindowSizerScreen &screen);

    FormSection &m_section;
    AppModel &m_model;
    QList<WindowSizerScreen> m_screens;
    QList<FormRow *> m_rows;
    std::optional<QString> m_noWindowScreen;
    bool m_shown = false;
};

} // namespace tamo
