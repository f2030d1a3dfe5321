#include "cards/PreviewContent.h"

#include "cards/FittedImageView.h"
#include "cards/PreviewPages.h"
#include "cards/ViewStyles.h"
#include "model/ClipItem.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QVBoxLayout>


namespace tamo {

namespace {

constexpr int cornerRadius = 12;
constexpr int textMargin = 14;

bool isEditable(const QString &text)
{
    if (text.size() > PreviewContent::longestEditableText)
        return false;
    // The editor lays a document out paragraph by paragraph.
    qsizetype paragraph = 0;
    for (const QChar c : text) {
        const bool breaks = c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
        paragraph = breaks ? 0 : paragraph + 1;
        if (paragraph > PreviewContent::longestEditableParagraph)
            return false;
    }
    return true;
}

// The beginning of a text, not ending in half a character.
QString beginning(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

} // namespace

PreviewContent::PreviewContent(ThumbnailCache &pictures, const QString &storeDirectory, QWidget *parent)
    : QStackedWidget(parent)
    , m_storeDirectory(storeDirectory)
    , m_empty(new QWidget(this))
    , m_textPage(new QWidget(this))
    , m_text(new QPlainTextEdit(m_textPage))
    , m_textNote(new QLabel(tr("This text is too long to edit here; only its beginning is shown."), m_textPage))
    , m_link(new LinkPreviewPage(pictures, this))
    , m_image(new FittedImageView(pictures, this))
    , m_files(new FilePreviewPage(pictures, this))
    , m_color(new ColorPreviewPage(this))
{
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setAccessibleName(tr("Clip Text"));
    m_text->setFont(uiFont(15));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Breaking inside words as well takes time that grows with the square of
    // a long word's length; a long word scrolls sideways instead.
    m_text->setWordWrapMode(QTextOption::WordWrap);
    m_text->viewport()->setAutoFillBackground(false);
    m_text->document()->setDocumentMargin(textMargin);
    m_text->installEventFilter(this);

    m_textNote->setFont(uiFont(12));
    m_textNote->setWordWrap(true);
    m_textNote->setContentsMargins(textMargin, 8, textMargin, 0);
    QPalette secondary = m_textNote->palette();
    secondary.setColor(QPalette::WindowText, sharedSecondaryLabelColor());
    m_textNote->setPalette(secondary);
    auto *textLayout = new QVBoxLayout(m_textPage);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(m_textNote);
    textLayout->addWidget(m_text, 1);

    m_image->setContentsMargins(16, 16, 16, 16);

    for (QWidget *page : {m_empty, m_textPage, static_cast<QWidget *>(m_link), static_cast<QWidget *>(m_image),
                          static_cast<QWidget *>(m_files), static_cast<QWidget *>(m_color)}) {
        addWidget(page);
    }
    setCurrentWidget(m_empty);
}

void PreviewContent::showClip(const ClipItem *clip)
{
    QWidget *page = m_empty;
    if (clip) {
        switch (clip->kind()) {
        case ClipKind::text:
            showText(*clip);
            page = m_textPage;
            break;
        case ClipKind::link:
            m_link->showClip(*clip, m_storeDirectory);
            page = m_link;
            break;
        case ClipKind::image:
            m_image->showPicture(storedPictureRequest(*clip, m_storeDirectory, ThumbnailSlot::image));
            page = m_image;
            break;
        case ClipKind::file:
            m_files->showClip(*clip);
            page = m_files;
            break;
        case ClipKind::color:
            m_color->showClip(*clip);
            page = m_color;
            break;
        }
    }
    setCurrentWidget(page);
    clearPagesBut(page);
}

// A long text or a large picture of a clip no longer shown is not kept.
void PreviewContent::clearPagesBut(const QWidget *shown)
{
    if (shown != m_textPage)
        clearText();
    if (shown != m_link)
        m_link->clear();
    if (shown != m_image)
        m_image->clear();
    if (shown != m_files)
        m_files->clear();
}

void PreviewContent::clearText()
{
    m_textClipID = {};
    m_loadedText.clear();
    m_shownText.clear();
    m_text->clear();
}

void PreviewContent::showText(const ClipItem &clip)
{
    const QString stored = clip.text().value_or(QString());
    if (clip.id() == m_textClipID) {
        if (editorText() == stored || (stored == m_loadedText && editorText() == m_shownText)) {
            // Nothing new: either untouched, or what the editor holds was just saved.
            m_loadedText = stored;
            m_shownText = editorText();
            return;
        }
        if (m_text->hasFocus())
            return; // the user is typing
    }

    const bool editable = isEditable(stored);
    m_textClipID = clip.id();
    m_text->setReadOnly(!editable);
    m_textNote->setVisible(!editable);
    m_loadedText = stored;
    m_text->setPlainText(editable ? stored : beginning(stored, longestEditableParagraph));
    m_shownText = editorText();
}

// The editor's text with its line breaks as typed; non-breaking spaces and
// line separators stay what they are (toPlainText would replace them).
QString PreviewContent::editorText() const
{
    QString text = m_text->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

std::optional<QString> PreviewContent::editedText() const
{
    if (m_textClipID.isNull() || m_text->isReadOnly())
        return std::nullopt;
    QString text = editorText();
    if (text == m_shownText)
        return std::nullopt;
    return text;
}

bool PreviewContent::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::FocusOut)
        emit textEditingFinished();
    return QStackedWidget::eventFilter(watched, event);
}

void PreviewContent::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    QColor fill = palette().color(QPalette::Base);
    fill.setAlphaF(0.85f);
    painter.fillPath(shape, fill);
}

} // namespace tamo
