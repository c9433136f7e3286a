// Repairing a damaged data file into the full-text view.
#include "app/MainWindow.h"

void TForm1::R1Click() {}
