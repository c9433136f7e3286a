#pragma once
// What the widget tests share: the real forms, shown and active offscreen, and files
// written into a folder of their own.

#include "app/QuillorApplication.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

class FormTestBase : public QObject {
protected:
    std::unique_ptr<TForm1> form;
    QTemporaryDir dir;

    QString WriteFile(const QString& name, const std::string& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }

    // The main window, shown and active; a closed modal dialog may have taken the
    // activation, and shortcuts only reach the active window.
    bool ShowAndActivate() {
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) return false;
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }
};

// main() of a widget test: the program's own application object and start-up.
template <typename Test>
int RunFormTests(int argc, char* argv[]) {
    QuillorApplication app(argc, argv);
    PrepareApplication();
    Test test;
    return QTest::qExec(&test, argc, argv);
}
