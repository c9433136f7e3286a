#include "app/MainWindow.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("QuillorDic"));
    resize(737, 483);
}
