#pragma once

#include <QMainWindow>

// The main window; for now the frame the program starts with.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};
