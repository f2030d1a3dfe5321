#include "settings/HelpButton.h"

#include "cards/ViewStyles.h"
#include "settings/FormKit.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace tamo {

namespace {

constexpr int side = 20;
constexpr int textWidth = 300;
constexpr int padding = 14;
constexpr int textSpacing = 8;

// Under the anchor when it fits in the window, else above it when there is
// more room there; its trailing edge on the anchor's.
QPoint popoverPosition(const QRect &anchor, const QSize &size, const QRect &bounds)
{
    QRect frame(QPoint(anchor.right() + 1 - size.width(), anchor.bottom() + 1), size);
    const bool fitsBelow = frame.bottom() <= bounds.bottom();
    if (!fitsBelow && anchor.top() - bounds.top() > bounds.bottom() - anchor.bottom())
        frame.moveBottom(anchor.top() - 1);
    frame.moveLeft(std::max(frame.left(), bounds.left()));
    return frame.topLeft();
}

} // namespace

HelpButton::HelpButton(const QString &topic, std::function<QStringList()> texts, QWidget *parent)
    : QToolButton(parent)
    , m_topic(topic)
    , m_texts(std::move(texts))
{
    setText(QStringLiteral("?"));
    setFont(uiFont(13, QFont::DemiBold));
    setFixedSize(side, side);
    setAccessibleName(QStringLiteral("%1 Help").arg(topic));
    setToolTip(QStringLiteral("Help"));
    setStyleSheet(QStringLiteral("QToolButton { border: 1px solid palette(mid); border-radius: %1px;"
                                 " background: palette(button); padding: 0; }"
                                 "QToolButton:pressed { background: palette(midlight); }")
                      .arg(side / 2));
    connect(this, &QToolButton::clicked, this, [this] {
        if (isShowingHelp())
            hideHelp();
        else
            showHelp();
    });
}

bool HelpButton::isShowingHelp() const
{
    return m_popover && m_popover->isVisible();
}

QStringList HelpButton::shownTexts() const
{
    QStringList texts;
    if (isShowingHelp()) {
        for (const QLabel *label : m_popover->findChildren<QLabel *>())
            texts.append(label->text());
    }
    return texts;
}

void HelpButton::showHelp()
{
    hideHelp();
    auto *popover = new QFrame(this, Qt::Popup);
    popover->setAttribute(Qt::WA_DeleteOnClose);
    // The click that closes it by landing on this button must not open it again.
    popover->setAttribute(Qt::WA_NoMouseReplay);
    popover->setFrameShape(QFrame::StyledPanel);
    popover->setAccessibleName(QStringLiteral("%1 Help").arg(m_topic));
    auto *layout = new QVBoxLayout(popover);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(textSpacing);
    for (const QString &text : m_texts()) {
        QLabel *label = formLabel(text, 12, popover);
        label->setFixedWidth(textWidth);
        label->setAlignment(Qt::AlignLeading | Qt::AlignTop);
        layout->addWidget(label);
    }
    popover->adjustSize();
    const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
    popover->move(popoverPosition(anchor, popover->size(), window()->frameGeometry()));
    m_popover = popover;
    popover->show();
}

void HelpButton::hideHelp()
{
    if (m_popover)
        m_popover->close();
}

} // namespace tamo
