#pragma once

#include <QLatin1StringView>
#include <QPushButton>

#include <functional>

class QKeyEvent;

namespace tamo {

class AppModel;
class Defaults;
class GlobalHotKeyRegistry;

// The global shortcut a recorder sets: its hot-key slot, the key holding the
// glyph text it shows, how a new one is stored (false refuses it) and how
// the slot's hot key comes back once recording ends.
struct RecordedShortcut
{
    int slot = 0;
    QLatin1StringView displayKey;
    std::function<bool(int keyCode, int modifiers, const QString &display)> save;
    std::function<void()> restore;
};

// A button that sets a global shortcut by pressing it. While it records, the
// slot's hot key is released (so pressing the current shortcut reaches it)
// and every key press of the app comes here. Esc ends recording; a
// combination without Ctrl, Alt or Super, one another slot holds, or one
// another app has grabbed is refused with the system beep and recording goes
// on; an accepted one is stored and ends recording.
class ShortcutRecorder : public QPushButton
{
    Q_OBJECT

public:
    ShortcutRecorder(RecordedShortcut shortcut, GlobalHotKeyRegistry &registry, Defaults &defaults,
                     QWidget *parent = nullptr);
    ~ShortcutRecorder() override;

    bool isRecording() const { return m_recording; }
    void startRecording();
    void stopRecording();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void handleKeyPress(const QKeyEvent &press);
    bool offer(int keyCode, int modifiers, const QString &display);
    void refuse();
    void showLabel();

    RecordedShortcut m_shortcut;
    GlobalHotKeyRegistry &m_registry;
    Defaults &m_defaults;
    bool m_recording = false;
    bool m_filtering = false;
};

// The recorder of the main shortcut, "Open TamoCove", wherever it is offered.
ShortcutRecorder *makeMainShortcutRecorder(AppModel &model, Defaults &defaults);

} // namespace tamo
