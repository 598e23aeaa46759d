// The yardstick for start-up: the smallest Qt Widgets program with one main window.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(832, 600);
    window.show();
    return QApplication::exec();
}
