#pragma once
// What the application object needs before the first form exists: its title, the
// font substitutions and the Japanese texts of Qt's own dialogs and buttons.

void PrepareApplication();
