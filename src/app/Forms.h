#pragma once
// The program's four forms: the main window, which builds the data information,
// version and options dialogs, hidden until their commands open them.

#include <memory>

class TForm1;

std::unique_ptr<TForm1> CreateForms();
