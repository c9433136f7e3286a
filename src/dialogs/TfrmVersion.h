#pragma once
// The about box: a borderless panel with the program's name and version.

#include <QDialog>

class TfrmVersion : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVersion(QWidget* parent = nullptr);
};
