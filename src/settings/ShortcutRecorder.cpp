#include "settings/ShortcutRecorder.h"

#include "app/AppModel.h"
#include "app/GlobalHotKeyRegistry.h"
#include "app/HotKey.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyCodes.h"
#include "platform/KeyNames.h"
#include "settings/DefaultsBindings.h"
#include "cards/ViewStyles.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace tamo {

namespace {

constexpr Qt::KeyboardModifiers chordModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
constexpr Qt::KeyboardModifiers keptModifiers = chordModifiers | Qt::ShiftModifier;

// What the key types without modifiers, for its name.
QString keyCharacters(int keyCode)
{
    const Qt::Key key = KeyCodes::toQtKey(keyCode);
    return key == Qt::Key_unknown ? QString() : QKeySequence(key).toString(QKeySequence::PortableText);
}

} // namespace

ShortcutRecorder::ShortcutRecorder(RecordedShortcut shortcut, GlobalHotKeyRegistry &registry, Defaults &defaults,
                                   QWidget *parent)
    : QPushButton(parent)
    , m_shortcut(std::move(shortcut))
    , m_registry(registry)
    , m_defaults(defaults)
{
    setFont(uiFont(13, QFont::Medium));
    setMinimumWidth(130);
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_recording)
            stopRecording();
        else
            startRecording();
    });
    followKeys(this, m_defaults, {m_shortcut.displayKey}, [this] { showLabel(); });
}

ShortcutRecorder::~ShortcutRecorder()
{
    stopRecording();
}

void ShortcutRecorder::startRecording()
{
    m_recording = true;
    showLabel();
    m_registry.unregister(m_shortcut.slot);
    qApp->installEventFilter(this);
    m_filtering = true;
}

void ShortcutRecorder::stopRecording()
{
    if (m_filtering) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
    if (!m_recording)
        return;
    m_recording = false;
    showLabel();
    m_shortcut.restore();
}

bool ShortcutRecorder::eventFilter(QObject *, QEvent *event)
{
    // Nothing typed while recording reaches a window, shortcuts included:
    // an accepted override makes the chord a key press for the recorder.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    handleKeyPress(*static_cast<QKeyEvent *>(event));
    return true;
}

void ShortcutRecorder::hideEvent(QHideEvent *event)
{
    stopRecording();
    QPushButton::hideEvent(event);
}

void ShortcutRecorder::handleKeyPress(const QKeyEvent &press)
{
    if (press.isAutoRepeat())
        return;
    if (press.key() == Qt::Key_Escape) {
        stopRecording();
        return;
    }
    const Qt::KeyboardModifiers held = press.modifiers();
    const std::optional<int> keyCode = KeyCodes::fromQtKey(press.key(), held);
    // Shift alone would take a character from every text field.
    if (!(held & chordModifiers) || !keyCode) {
        refuse();
        return;
    }
    const int modifiers = HotKey::carbonModifiers(held & keptModifiers);
    if (offer(*keyCode, modifiers, HotKey::displayString(*keyCode, modifiers, keyCharacters(*keyCode))))
        stopRecording();
    else
        refuse();
}

bool ShortcutRecorder::offer(int keyCode, int modifiers, const QString &display)
{
    if (m_registry.conflicts(m_shortcut.slot, keyCode, modifiers))
        return false;
    // A combination another app has grabbed would be stored but never fire.
    m_registry.registerSlot(m_shortcut.slot, keyCode, modifiers);
    const bool grabbed = m_registry.isRegistered(m_shortcut.slot);
    m_registry.unregister(m_shortcut.slot);
    return grabbed && m_shortcut.save(keyCode, modifiers, display);
}

void ShortcutRecorder::refuse()
{
    QApplication::beep();
}

void ShortcutRecorder::showLabel()
{
    setText(m_recording ? QStringLiteral("Type shortcut…")
                        : keyNames(m_defaults.string(m_shortcut.displayKey).value_or(QString())));
    // Named after what it sets, the button reads its shortcut, or that it
    // records, as its description.
    setAccessibleDescription(text());
}

ShortcutRecorder *makeMainShortcutRecorder(AppModel &model, Defaults &defaults)
{
    HotKey &hotKey = model.hotKey();
    RecordedShortcut mainShortcut{
        MainShortcutSlot, keys::hotKeyDisplay,
        [&hotKey](int keyCode, int modifiers, const QString &display) {
            return hotKey.setShortcut(keyCode, modifiers, display);
        },
        [&hotKey] { hotKey.registerFromDefaults(); }};
    auto *recorder = new ShortcutRecorder(mainShortcut, model.hotKeyRegistry(), defaults);
    recorder->setAccessibleName(QStringLiteral("Open TamoCove"));
    return recorder;
}

} // namespace tamo
