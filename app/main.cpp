#include "app/tessaline.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);

    // Without a Fusion style the platform's default style stays in force.
    if (QStyle *style = QStyleFactory::create(QStringLiteral("fusion")))
        QApplication::setStyle(style);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tessaline.png")));

    TTessaline *window = new TTessaline(nullptr, Qt::WindowFlags());
    window->show();
    const int result = application.exec();
    delete window;
    return result;
}
