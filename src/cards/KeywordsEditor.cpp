#include "cards/KeywordsEditor.h"

#include "cards/KeywordTokens.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tamo {

KeywordsEditor::KeywordsEditor(QWidget *parent)
    : QWidget(parent)
    , m_tokens(new KeywordTokens(this))
    , m_field(new QLineEdit(this))
{
    m_field->setPlaceholderText(tr("Add keyword"));
    m_field->setAccessibleName(tr("Keywords"));
    m_field->setClearButtonEnabled(false);
    m_field->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_tokens);
    layout->addWidget(m_field);

    connect(m_field, &QLineEdit::returnPressed, this, [this] { takeTypedTokens(true); });
    connect(m_field, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (text.contains(QLatin1Char(',')))
            takeTypedTokens(false);
    });
    connect(m_tokens, &KeywordTokens::removeRequested, this, &KeywordsEditor::removeToken);
}

void KeywordsEditor::setKeywords(const QStringList &keywords)
{
    m_tokens->setTokens(keywords);
    m_field->clear();
}

QStringList KeywordsEditor::keywords() const
{
    QStringList keywords = m_tokens->tokens();
    for (const QString &word : m_field->text().split(QLatin1Char(','))) {
        if (!word.trimmed().isEmpty())
            keywords.append(word);
    }
    return keywords;
}

// Moves the typed words before each comma into tokens; the words after the
// last comma stay in the field unless `includeLast`.
void KeywordsEditor::takeTypedTokens(bool includeLast)
{
    QStringList typed = m_field->text().split(QLatin1Char(','));
    const QString rest = includeLast ? QString() : typed.takeLast();
    QStringList tokens = m_tokens->tokens();
    for (const QString &word : std::as_const(typed)) {
        if (!word.trimmed().isEmpty())
            tokens.append(word.trimmed());
    }
    m_field->setText(rest);
    if (tokens == m_tokens->tokens())
        return;
    m_tokens->setTokens(tokens);
    emit editingFinished();
}

void KeywordsEditor::removeToken(int index)
{
    QStringList tokens = m_tokens->tokens();
    if (index < 0 || index >= tokens.size())
        return;
    tokens.removeAt(index);
    m_tokens->setTokens(tokens);
    emit editingFinished();
}

bool KeywordsEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Backspace && m_field->text().isEmpty() && !m_tokens->tokens().isEmpty()) {
                removeToken(int(m_tokens->tokens().size()) - 1);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            emit editingFinished();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tamo
