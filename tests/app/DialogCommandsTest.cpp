// The main window's dialog commands: options, data information and version, and the
// message box the core's questions come up in.
#include "app/DesktopServices.h"
#include "app/FormTestSupport.h"
#include "common/Sjis.h"
#include "common/SystemHelpers.h"
#include "dialogs/TfrmInfomation.h"
#include "dialogs/TfrmOption.h"
#include "dialogs/TfrmVersion.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

class DialogCommandsTest : public FormTestBase {
    Q_OBJECT

    // Runs `command`, which opens a modal dialog, and reads the dialog once it is up
    // before `close` ends it.
    template <typename Dialog>
    void WithDialog(const std::function<void()>& command, const std::function<void(Dialog*)>& whileOpen) {
        bool seen = false;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<Dialog*>(modal);
            if (!dialog) return;
            seen = true;
            whileOpen(dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        command();
        QVERIFY(seen);
    }

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
    }

    void cleanup() { form.reset(); }

    void theOptionsDialogShowsTheHitLimitAndTakesWhateverTheBoxHolds() {
        const auto typeAndClose = [this](const QString& typed) {
            WithDialog<TfrmOption>([this] { Action("O1")->trigger(); },
                                   [&](TfrmOption* dialog) {
                                       QCOMPARE(dialog->Edit1->text(), QString::number(form->Session().HitLimit()));
                                       dialog->Edit1->setText(typed);
                                       dialog->Button1->click();
                                   });
        };
        typeAndClose(QStringLiteral("1,000"));
        QCOMPARE(form->Session().HitLimit(), 1000);
        typeAndClose(QStringLiteral("1 000"));
        QCOMPARE(form->Session().HitLimit(), 1000);
        typeAndClose(QStringLiteral("abc"));
        QCOMPARE(form->Session().HitLimit(), 0);
        typeAndClose(QStringLiteral("-5"));
        QCOMPARE(form->Session().HitLimit(), -5);
    }

    void dataInformationNeedsADataFileAndShowsItsFacts() {
        Button("SpeedButton9")->click();  // no data file yet: a message, no dialog
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("データファイルが指定されていません"));
        QVERIFY(!Child<TfrmInfomation>("frmInfomation")->isVisible());

        // A long path in a read-only file: shortened name, full path as the hint, and
        // the last update all the same.
        const QString folder = dir.filePath(QStringLiteral("a-rather-long-folder-name/and-another-one/and-a-third"));
        QVERIFY(QDir().mkpath(folder));
        const std::string text = "1 abate///" + Sjis::FromUtf8("軽減する").bytes + ":::x\r\n2 b///c:::d\r\n3 e///f:::g\r\n";
        const QString path = folder + QStringLiteral("/medical-dictionary.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.close();
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        form->LoadDictionary(path);

        for (const auto& open : {std::function<void()>([this] { Action("P1")->trigger(); }),
                                std::function<void()>([this] { Button("SpeedButton9")->click(); })}) {
            WithDialog<TfrmInfomation>(open, [&](TfrmInfomation* dialog) {
                QVERIFY2(dialog->edtFilename->text().startsWith(QStringLiteral(".../")) ||
                             dialog->edtFilename->text().startsWith(QStringLiteral("/.../")),
                         qPrintable(dialog->edtFilename->text()));
                QVERIFY(dialog->edtFilename->text().endsWith(QStringLiteral("medical-dictionary.txt")));
                QVERIFY(dialog->edtFilename->fontMetrics().horizontalAdvance(dialog->edtFilename->text()) <=
                        dialog->edtFilename->width());
                QCOMPARE(dialog->edtFilename->toolTip(), path);
                QCOMPARE(dialog->edtFileSize->text(), QString::number(text.size()));
                QVERIFY(!dialog->edtFileUpdate->text().isEmpty());
                QCOMPARE(dialog->edtNumOfData->text(), QStringLiteral("3"));
                dialog->Button1->click();
            });
        }

        // An empty file shows 0 bytes.
        form->Session().SetDataFile(WriteFile(QStringLiteral("empty.txt"), ""));
        WithDialog<TfrmInfomation>([this] { Action("P1")->trigger(); }, [](TfrmInfomation* dialog) {
            QCOMPARE(dialog->edtFileSize->text(), QStringLiteral("0"));
        });
    }

    void theVersionDialogShowsTheFileVersionAndClosesOnAClick() {
        WithDialog<TfrmVersion>([this] { Action("V1")->trigger(); }, [](TfrmVersion* dialog) {
            QCOMPARE(dialog->Label2->text(), QString(41, QLatin1Char(' ')) + QStringLiteral("Ver.1.0.0.2"));
            QVERIFY(dialog->Timer1->isActive());
            QTest::mouseClick(dialog->Label4, Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
    }

    void questionsComeUpAsMessageBoxesWithTheAskedButtons() {
        const AskBoxLayout readOnly = AskBoxLayoutOf(65);
        QCOMPARE(readOnly.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(readOnly.icon, QMessageBox::Information);
        QCOMPARE(readOnly.defaultButton, QMessageBox::Ok);
        const AskBoxLayout save = AskBoxLayoutOf(AskFlags::YesNoCancel | AskFlags::IconQuestion | AskFlags::DefaultButton2);
        QCOMPARE(save.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(save.icon, QMessageBox::Question);
        QCOMPARE(save.defaultButton, QMessageBox::No);
        QCOMPARE(AskBoxLayoutOf(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        for (const auto& [button, answer] : {std::pair{QMessageBox::Ok, AskAnswer::Ok},
                                             std::pair{QMessageBox::Cancel, AskAnswer::Cancel}}) {
            QString shownText, shownCaption;
            WhenModalShows([&, button = button](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box) return;
                shownText = box->text();
                shownCaption = box->windowTitle();
                box->button(button)->click();
            });
            QCOMPARE(AskUser("読み出し専用です。書き込みますか", "問合わせ", 65), answer);
            QCOMPARE(shownText, QStringLiteral("読み出し専用です。書き込みますか"));
            QCOMPARE(shownCaption, QStringLiteral("問合わせ"));
        }
    }
};

int main(int argc, char* argv[]) { return RunFormTests<DialogCommandsTest>(argc, argv); }

#include "DialogCommandsTest.moc"
