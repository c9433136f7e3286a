#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuillorDic"));
    QApplication::setApplicationDisplayName(QStringLiteral("QuillorDic"));
    TForm1 form1;
    form1.show();
    return QApplication::exec();
}
