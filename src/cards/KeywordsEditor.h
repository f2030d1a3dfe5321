#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;

namespace tamo {

class KeywordTokens;

// Edits a clip's keywords as tokens with a field for new ones: Return or a
// comma turns what was typed into tokens, Backspace in the empty field
// removes the last token, and a token's remove button drops it.
class KeywordsEditor : public QWidget
{
    Q_OBJECT

public:
    explicit KeywordsEditor(QWidget *parent = nullptr);

    // Shows these tokens and empties the field.
    void setKeywords(const QStringList &keywords);
    // The tokens, then the words typed in the field and not yet tokens.
    QStringList keywords() const;

    QLineEdit *field() const { return m_field; }
    KeywordTokens *tokens() const { return m_tokens; }

signals:
    // The tokens changed or the field lost the keyboard: a moment to save.
    void editingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeTypedTokens(bool includeLast);
    void removeToken(int index);

    KeywordTokens *m_tokens;
    QLineEdit *m_field;
};

} // namespace tamo
