#include "app/QuillorApplication.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

int main(int argc, char* argv[]) {
    QuillorApplication app(argc, argv);
    PrepareApplication();
    const auto form1 = CreateForms();
    form1->show();
    return QApplication::exec();
}
