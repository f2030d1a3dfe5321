#include "cards/EmojiPicker.h"

#include "cards/EmojiFont.h"
#include "cards/ViewStyles.h"
#include "model/Emoji.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tamo {

namespace {

constexpr int gridColumns = 8;
constexpr int cellSide = 34;
constexpr qreal emojiSize = 20;   // design points
constexpr qreal inputSize = 15;
constexpr qreal hintSize = 11;
constexpr int margin = 10;
constexpr int spacing = 6;

} // namespace

const QStringList &EmojiPicker::commonEmoji()
{
    // Desktops offer no emoji catalogue to read; these cover what clips are
    // usually marked with.
    static const QStringList emoji = QStringLiteral(
        "📌 ⭐ ❤️ 🔥 ✅ ❗ 💡 📝 📎 🔗 📧 📞 📅 ⏰ 🏠 💼 💰 🛒 🎁 🎉 "
        "😀 😂 😍 🤔 👍 👏 🙏 💪 👀 🚀 ✈️ 🚗 🍕 ☕ 🎵 📷 🔒 🔑 ⚙️ 🌍").split(u' ');
    return emoji;
}

EmojiPicker::EmojiPicker(bool hasIcon, QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_input(new QLineEdit(this))
    , m_hint(new QLabel(QStringLiteral("Type a single emoji."), this))
{
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(spacing);

    m_input->setPlaceholderText(QStringLiteral("Type an emoji"));
    m_input->setAccessibleName(QStringLiteral("Emoji"));
    m_input->setFont(uiFont(inputSize));
    connect(m_input, &QLineEdit::returnPressed, this, [this] { submit(m_input->text()); });
    connect(m_input, &QLineEdit::textEdited, m_hint, &QWidget::hide);
    layout->addWidget(m_input);
    m_hint->setFont(uiFont(hintSize));
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    m_hint->hide();
    layout->addWidget(m_hint);

    auto *grid = new QGridLayout;
    grid->setSpacing(0);
    const QStringList &emoji = commonEmoji();
    for (int i = 0; i < emoji.size(); ++i) {
        auto *button = new QToolButton(this);
        button->setText(emoji[i]);
        button->setFont(emojiFont(emojiSize));
        button->setAutoRaise(true);
        button->setFixedSize(cellSide, cellSide);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, choice = emoji[i]] {
            resolve();
            emit iconChosen(choice);
        });
        grid->addWidget(button, i / gridColumns, i % gridColumns);
    }
    layout->addLayout(grid);

    auto *remove = new QPushButton(QStringLiteral("Remove Icon"), this);
    remove->setFlat(true);
    remove->setEnabled(hasIcon);
    remove->setFocusPolicy(Qt::NoFocus);
    connect(remove, &QPushButton::clicked, this, [this] {
        resolve();
        emit iconRemoved();
    });
    layout->addWidget(remove, 0, Qt::AlignLeft);
}

void EmojiPicker::popUp(const QRect &anchor, const QRect &bounds)
{
    adjustSize();
    // Under the anchor when it fits in the bounds, else on the side with
    // more room: the drawer lies at the bottom of the screen, the menu-bar
    // panel at the top.
    QRect frame(QPoint(anchor.left(), anchor.bottom() + 1), size());
    const bool fitsBelow = frame.bottom() <= bounds.bottom();
    const bool moreRoomAbove = anchor.top() - bounds.top() > bounds.bottom() - anchor.bottom();
    if (!fitsBelow && moreRoomAbove)
        frame.moveBottom(anchor.top() - 1);
    const int rightmost = std::max(bounds.left(), bounds.right() + 1 - frame.width());
    frame.moveLeft(std::clamp(frame.left(), bounds.left(), rightmost));
    move(frame.topLeft());
    show();
    m_input->setFocus(Qt::PopupFocusReason);
}

bool EmojiPicker::submit(const QString &typed)
{
    const QString emoji = typed.trimmed();
    if (!isSingleEmoji(emoji)) {
        m_hint->show();
        return false;
    }
    resolve();
    emit iconChosen(emoji);
    return true;
}

void EmojiPicker::resolve()
{
    m_resolved = true;
}

void EmojiPicker::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    if (!m_resolved) {
        m_resolved = true;
        emit dismissed();
    }
}

} // namespace tamo
