#pragma once
// The data information dialog: name, size, last update and record count of the data
// file. The main window fills the boxes before each showing; nothing is read back.

#include <QDialog>

class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;

class TfrmInfomation : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfomation(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* edtFilename = nullptr;
    QLineEdit* edtFileSize = nullptr;
    QLineEdit* edtFileUpdate = nullptr;
    QLineEdit* edtNumOfData = nullptr;
    QPushButton* Button1 = nullptr;

    // The shortened name goes into the box, the full one into its tooltip.
    void ShowFacts(const QString& shortenedName, const QString& fullName, const QString& size,
                   const QString& update, const QString& count);
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
};
