#include "app/QuillorApplication.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QStringList>

int main(int argc, char* argv[]) {
    QuillorApplication app(argc, argv);
    PrepareApplication();
    CloseOnTermination();
    const auto form1 = CreateForms();
    // "QuillorDic FILE", as the desktop's Open With passes it.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) form1->OpenAtStart(arguments.at(1));
    form1->show();  // loads the last dictionary and shows its first record
    if (TerminationRequested()) return 0;
    return QApplication::exec();
}
