#pragma once

#include <QStringList>
#include <QUuid>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;

namespace tamo {

class ClipItem;
class KeywordsEditor;

// The preview's side column: the clip's title and keywords to edit, and what
// is known about it (kind, source app, when it was made).
class ClipInspector : public QWidget
{
    Q_OBJECT

public:
    explicit ClipInspector(QWidget *parent = nullptr);

    // Fills the fields from the clip; none empties and disables them. For the
    // clip already shown, a field the user is typing in keeps its text.
    void showClip(const ClipItem *clip);

    // What the user changed since a field was filled.
    std::optional<QString> editedTitle() const;
    std::optional<QStringList> editedKeywords() const;

    enum class Fact { kind, source, created };
    QString fact(Fact fact) const;

    QLineEdit *titleField() const { return m_title; }
    KeywordsEditor *keywordsEditor() const { return m_keywords; }

signals:
    // A field was left or a keyword added or removed: a moment to save.
    void editingFinished();

private:
    QLabel *addHeading(const QString &text);

    QLineEdit *m_title;
    KeywordsEditor *m_keywords;
    QList<QLabel *> m_facts; // by Fact
    QUuid m_clipID;
    QString m_shownTitle;
    QStringList m_shownKeywords;
};

} // namespace tamo
