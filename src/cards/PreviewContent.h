#pragma once

#include <QStackedWidget>
#include <QString>
#include <QUuid>

#include <optional>

class QLabel;
class QPlainTextEdit;

namespace tamo {

class ClipItem;
class ColorPreviewPage;
class FilePreviewPage;
class FittedImageView;
class LinkPreviewPage;
class ThumbnailCache;

// The clip itself, full size, in the way its kind is best seen: a text clip
// in an editor, a link's page, an image fitted to the room, a clip's files,
// a colour's swatch.
class PreviewContent : public QStackedWidget
{
    Q_OBJECT

public:
    PreviewContent(ThumbnailCache &pictures, const QString &storeDirectory, QWidget *parent = nullptr);

    // Shows the clip as it is now; none shows nothing. Showing the same clip
    // again keeps the text while the user is in the editor, and otherwise
    // brings back the stored text unless the editor already shows it.
    void showClip(const ClipItem *clip);

    // The editor's text when the user changed it since it was filled or saved.
    std::optional<QString> editedText() const;

    // Texts with a paragraph longer than this, or longer than
    // longestEditableText in all, are shown only in part and not edited:
    // laying out one long paragraph would hold the main thread for seconds.
    static constexpr qsizetype longestEditableParagraph = 100'000;
    static constexpr qsizetype longestEditableText = 2'000'000;

    QPlainTextEdit *textEditor() const { return m_text; }
    FittedImageView *imageView() const { return m_image; }
    LinkPreviewPage *linkPage() const { return m_link; }
    FilePreviewPage *filePage() const { return m_files; }
    ColorPreviewPage *colorPage() const { return m_color; }

signals:
    // The text editor lost the keyboard: a moment to save.
    void textEditingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showText(const ClipItem &clip);
    void clearPagesBut(const QWidget *shown);
    void clearText();
    QString editorText() const;

    QString m_storeDirectory;
    QWidget *m_empty;
    QWidget *m_textPage;
    QPlainTextEdit *m_text;
    QLabel *m_textNote;
    LinkPreviewPage *m_link;
    FittedImageView *m_image;
    FilePreviewPage *m_files;
    ColorPreviewPage *m_color;
    QUuid m_textClipID;   // the text clip in the editor
    QString m_loadedText; // the clip's text the editor was filled with
    QString m_shownText;  // the same as the editor gives it back, for telling edits apart
};

} // namespace tamo
