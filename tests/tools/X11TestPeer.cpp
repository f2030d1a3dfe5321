// A second X client for the X11 tests, reporting on stdout one line at a time.
//
//   copy <mime> <text> [<mime> <text> ...]  owns the clipboard with these
//                                           representations; prints "owned"
//   editor                                  a line edit window; prints "focus-in",
//                                           "key <chord>" and "text <text>"
//   windows <title> [<title> ...]           one small window per title; prints
//                                           "window <title> <X window id>" for each
//   browser                                 a window with three tabs, an address
//                                           field and File > New Tab (Ctrl+T); prints
//                                           "browser <X window id>", "tab <index>"
//                                           and "new-tab"
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <vector>

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

int showWindows(QApplication &app, const QStringList &titles)
{
    if (titles.isEmpty())
        return 2;
    std::vector<std::unique_ptr<QWidget>> windows;
    int offset = 0;
    for (const QString &title : titles) {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(title);
        window->setGeometry(80 + offset, 80 + offset, 320, 200);
        offset += 40;
        window->show();
        report(QStringLiteral("window ") + title + QLatin1Char(' ') + QString::number(window->winId()));
        windows.push_back(std::move(window));
    }
    return app.exec();
}

int browse(QApplication &app)
{
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Browser Peer"));
    auto *tabs = new QTabBar;
    for (const char *title : {"News", "Mail", "Docs"})
        tabs->addTab(QLatin1String(title));
    auto *address = new QLineEdit(QStringLiteral("https://news.example.org/today"));
    address->setAccessibleName(QStringLiteral("Address"));
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->addWidget(tabs);
    layout->addWidget(address);
    window.setCentralWidget(content);
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("File"));
    QAction *newTab = file->addAction(QStringLiteral("New Tab"));
    newTab->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    QObject::connect(newTab, &QAction::triggered, [tabs] {
        tabs->addTab(QStringLiteral("New"));
        report(QStringLiteral("new-tab"));
    });
    QObject::connect(tabs, &QTabBar::currentChanged, [](int index) { report(QStringLiteral("tab %1").arg(index)); });
    window.resize(500, 300);
    window.show();
    report(QStringLiteral("browser ") + QString::number(window.winId()));
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
    if (mode == QLatin1String("windows"))
        return showWindows(app, arguments);
    if (mode == QLatin1String("browser"))
        return browse(app);
    return 2;
}
