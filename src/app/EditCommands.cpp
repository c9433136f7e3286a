// Edit mode, the question before edits are dropped, and saving the full-text view.
#include "app/MainWindow.h"

void TForm1::E1Click() {}

bool TForm1::PageControl1Changing(int, int) { return true; }

void TForm1::SaveAs1Click() {}

bool TForm1::ResolveUnsavedEdits() { return true; }
