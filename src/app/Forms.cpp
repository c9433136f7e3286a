#include "app/Forms.h"

#include "app/MainWindow.h"

std::unique_ptr<TForm1> CreateForms() { return std::make_unique<TForm1>(); }
