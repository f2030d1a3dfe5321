#include "settings/WindowSizeRows.h"

#include "app/AppModel.h"
#include "cards/StoredEntries.h"
#include "platform/Symbols.h"
#include "settings/FormKit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <limits>

namespace tamo {

namespace {

// Whole points with the fraction dropped; none for a value no window has.
std::optional<int> wholePoints(double value)
{
    if (!std::isfinite(value) || value < 0 || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

} // namespace

WindowSizeRows::WindowSizeRows(FormSection &section, AppModel &model, QObject *parent)
    : QObject(parent)
    , m_section(section)
    , m_model(model)
{
    connect(&m_model, &AppModel::accessibilityGrantedChanged, this, &WindowSizeRows::showRows);
}

void WindowSizeRows::reload()
{
    m_screens = m_model.bonusTools().windowSizerScreens();
    showRows();
}

void WindowSizeRows::setShown(bool shown)
{
    m_shown = shown;
    for (FormRow *row : std::as_const(m_rows))
        row->setVisible(shown);
}

void WindowSizeRows::useCurrentWindow(const WindowSizerScreen &screen)
{
    if (m_model.bonusTools().captureWindowSize(screen.id)) {
        m_noWindowScreen.reset();
    } else {
        QApplication::beep();
        m_noWindowScreen = screen.id;
        QTimer::singleShot(noteMs, this, [this, id = screen.id] { clearNoWindowNote(id); });
    }
    reload();
}

void WindowSizeRows::forgetWindowSize(const WindowSizerScreen &screen)
{
    m_model.bonusTools().forgetWindowSize(screen.id);
    reload();
}

void WindowSizeRows::clearNoWindowNote(const QString &screenID)
{
    if (m_noWindowScreen != screenID)
        return;
    m_noWindowScreen.reset();
    showRows();
}

QString WindowSizeRows::status(const WindowSizerScreen &screen) const
{
    if (m_noWindowScreen == screen.id) {
        return m_model.accessibilityGranted() ? QStringLiteral("No window on this screen to take the size from")
                                              : QStringLiteral("This display lacks the XTest extension TamoCove needs");
    }
    const std::optional<int> width = screen.windowSize ? wholePoints(screen.windowSize->width()) : std::nullopt;
    const std::optional<int> height = screen.windowSize ? wholePoints(screen.windowSize->height()) : std::nullopt;
    if (!width || !height)
        return QStringLiteral("Fitted size");
    const QString size = QStringLiteral("%1 \u00D7 %2").arg(*width).arg(*height);
    return screen.isCaptured ? size : size + QStringLiteral(", fitted");
}

QWidget *WindowSizeRows::rowButtons(const WindowSizerScreen &screen)
{
    auto *buttons = new QWidget;
    auto *layout = new QHBoxLayout(buttons);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    const QString title = screenLabel(screen.name, screen.width, screen.height);

    auto *use = new QPushButton(QStringLiteral("Use Current Window"), buttons);
    use->setEnabled(screen.isConnected);
    use->setAccessibleDescription(title);
    // Queued, as the action rebuilds the rows, this button's own among them.
    connect(use, &QPushButton::clicked, this, [this, screen] { useCurrentWindow(screen); }, Qt::QueuedConnection);

    auto *reset = new QToolButton(buttons);
    reset->setIcon(symbolIcon(QStringLiteral("arrow.counterclockwise")));
    reset->setToolTip(QStringLiteral("Back to the fitted size"));
    reset->setAccessibleName(QStringLiteral("Back to the fitted size"));
    reset->setAccessibleDescription(title);
    reset->setEnabled(screen.windowSize.has_value());
    connect(reset, &QToolButton::clicked, this, [this, screen] { forgetWindowSize(screen); }, Qt::QueuedConnection);

    layout->addWidget(use, 0, Qt::AlignVCenter);
    layout->addWidget(reset, 0, Qt::AlignVCenter);
    buttons->setAccessibleName(title);
    return buttons;
}

void WindowSizeRows::showRows()
{
    qDeleteAll(m_rows);
    m_rows.clear();
    for (const WindowSizerScreen &screen : std::as_const(m_screens)) {
        FormRow *row = m_section.addRow(screenLabel(screen.name, screen.width, screen.height), status(screen),
                                        rowButtons(screen));
        row->setVisible(m_shown);
        m_rows.append(row);
    }
}

} // namespace tamo
