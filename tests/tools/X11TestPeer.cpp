// A second X client for the X11 tests, reporting on stdout one line at a time.
//
//   copy <mime> <text> [<mime> <text> ...]  owns the clipboard with these
//                                           representations; prints "owned"
//   editor                                  a line edit window; prints "focus-in",
//                                           "key <chord>" and "text <text>"
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>

#include <cstdio>

namespace {

void report(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class Reporter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            report(QStringLiteral("focus-in"));
        } else if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const bool modifierOnly = key->key() == Qt::Key_Shift || key->key() == Qt::Key_Control
                                      || key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta;
            if (!modifierOnly)
                report(QStringLiteral("key ") + QKeySequence(key->keyCombination()).toString());
        }
        return QObject::eventFilter(watched, event);
    }
};

int own(QApplication &app, const QStringList &pairs)
{
    if (pairs.isEmpty() || pairs.size() % 2)
        return 2;
    auto *mimeData = new QMimeData;
    for (qsizetype i = 0; i < pairs.size(); i += 2)
        mimeData->setData(pairs.at(i), pairs.at(i + 1).toUtf8());
    QApplication::clipboard()->setMimeData(mimeData);
    report(QStringLiteral("owned"));
    return app.exec();
}

int edit(QApplication &app)
{
    QLineEdit editor;
    Reporter reporter;
    editor.installEventFilter(&reporter);
    QObject::connect(&editor, &QLineEdit::textChanged, [](const QString &text) {
        report(QStringLiteral("text ") + text);
    });
    editor.setWindowTitle(QStringLiteral("X11 test peer"));
    editor.resize(400, 40);
    editor.show();
    editor.activateWindow();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const QString mode = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (mode == QLatin1String("copy"))
        return own(app, arguments);
    if (mode == QLatin1String("editor"))
        return edit(app);
    return 2;
}
