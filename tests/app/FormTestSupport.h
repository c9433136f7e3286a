#pragma once
// What the widget tests share: the real forms, shown and active offscreen, and files
// written into a folder of their own.

#include "app/QuillorApplication.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/Startup.h"

#include "common/Sjis.h"
#include "textview/TEditorEx.h"
#include "browser/BrowserView.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <functional>
#include <memory>
#include <string>

// Answers the next modal dialog, once it is up, with `answer`.
inline void WhenModalShows(std::function<void(QWidget*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start(20);
}

// Runs a script in the program's own world of the browser view and returns its result.
inline QVariant Evaluate(BrowserView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10'000)) return QStringLiteral("<no answer>");
    return result;
}

inline QString BodyText(BrowserView* view) {
    return Evaluate(view, QStringLiteral("document.body.innerText")).toString();
}

// Eight records of the search tests; "heart" is a word in records 1, 2 and 3, "lung" in 3.
inline std::string EightRecords() {
    const auto sjis = [](const char* utf8) { return Sjis::FromUtf8(utf8).bytes; };
    return "1 abate///" + sjis("軽減する") + ":::The fever began to abate./ Pain did not abate.\r\n" +
           "2 heart///" + sjis("心臓") + ":::The heart beats.\r\n" +
           "3 heart failure///" + sjis("心不全") + ":::Heart failure worsened the heart.\r\n" +
           "4 lung///" + sjis("肺") + ":::The lung and the heart.\r\n" +
           "5 kidney///" + sjis("腎臓") + ":::Nothing to see here.\r\n" +
           "6 liver///" + sjis("肝臓") + ":::The liver was enlarged.\r\n" +
           "7 bone///" + sjis("骨") + ":::The bone healed slowly.\r\n" +
           "8 nerve///" + sjis("神経") + ":::The nerve was cut.\r\n";
}

// The centre of a row of a text view, in its viewport.
inline QPoint RowCentre(const TEditorEx* view, std::int64_t visibleRow) {
    return {20, static_cast<int>(visibleRow) * view->RowHeight() + view->RowHeight() / 2};
}

class FormTestBase : public QObject {
protected:
    std::unique_ptr<TForm1> form;
    QTemporaryDir dir;

    // The window's one control, action, menu or dialog of this object name and type.
    // What lies inside its dialogs is theirs, not the window's. None, or more than
    // one, ends the test run with a message that names what was looked for.
    template <typename T>
    T* Child(const char* name) const {
        const QString objectName = QString::fromLatin1(name);
        const char* type = T::staticMetaObject.className();
        if (!form) qFatal("No window to find the %s \"%s\" in", type, name);
        QList<T*> found;
        for (T* child : form->findChildren<T*>(objectName)) {
            bool inDialog = false;
            for (const QObject* up = child->parent(); up && up != form.get(); up = up->parent())
                if (qobject_cast<const QDialog*>(up)) inDialog = true;
            if (!inDialog) found.append(child);
        }
        if (found.size() != 1)
            qFatal("The window has %d objects of type %s named \"%s\"; the test needs exactly one",
                   static_cast<int>(found.size()), type, name);
        return found.front();
    }

    // The ones most tests use.
    TEditorEx* EditorEx1() const { return Child<TEditorEx>("EditorEx1"); }  // the full text
    TEditorEx* EditorEx2() const { return Child<TEditorEx>("EditorEx2"); }  // the headword index
    TEditorEx* EditorEx3() const { return Child<TEditorEx>("EditorEx3"); }  // the search index
    QComboBox* cmbSubStr() const { return Child<QComboBox>("cmbSubStr"); }  // the search box
    BrowserView* WebBrowser1() const { return Child<BrowserView>("WebBrowser1"); }
    QTabWidget* PageControl1() const { return Child<QTabWidget>("PageControl1"); }
    QAction* Action(const char* name) const { return Child<QAction>(name); }
    QToolButton* Button(const char* name) const { return Child<QToolButton>(name); }

    // A panel of the status bar, found by its name, StatusPanel0 to StatusPanel2, and
    // the text it shows.
    QLabel* StatusLabel(StatusPanel panel) const {
        static const char* const names[kStatusPanelCount] = {"StatusPanel0", "StatusPanel1", "StatusPanel2"};
        return Child<QLabel>(names[static_cast<int>(panel)]);
    }
    QString Status(StatusPanel panel) const { return StatusLabel(panel)->text(); }

    // The forms as the program creates them, with the settings file in this test's own
    // folder, so no test reads or writes settings next to the test program.
    void CreateTestForms() {
        form = CreateForms();
        form->Files().settings = dir.filePath(QStringLiteral("QuillorDic.ini"));
        // Nor does any keep edits there, or find a user's.
        form->Files().stateFolder = dir.filePath(QStringLiteral("state"));
        form->Files().keptEditsFolder = form->Files().stateFolder;
        // Nor any history or word list.
        form->Files().database = dir.filePath(QStringLiteral("quillordic.sqlite"));
    }

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

namespace form_test_detail {
inline QString SettingsBesideTheProgram() {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return program.path() + QLatin1Char('/') + program.completeBaseName() + QStringLiteral(".ini");
}
}  // namespace form_test_detail

// main() of a widget test: the program's own application object and start-up.
template <typename Test>
int RunFormTests(int argc, char* argv[]) {
    QuillorApplication app(argc, argv);
    PrepareApplication();
    // The forms read the settings next to the program when they are created: start
    // every run without any.
    QFile::remove(form_test_detail::SettingsBesideTheProgram());
    Test test;
    return QTest::qExec(&test, argc, argv);
}
