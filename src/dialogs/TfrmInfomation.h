#pragma once
// The data information dialog: name, size, last update and record count of the data file.

#include <QDialog>

class TfrmInfomation : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfomation(QWidget* parent = nullptr);
};
