#pragma once
// The program's four forms, created in order: the main window, then the data
// information, version and options dialogs, hidden until their commands open them.

#include <memory>

class TForm1;

std::unique_ptr<TForm1> CreateForms();
