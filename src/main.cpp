#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TamoCove"));
    QApplication::setQuitOnLastWindowClosed(false);
    return app.exec();
}
