#pragma once
// Makes the program's own controls speak to assistive technology: the
// skinned windows and buttons, the contact list, the conversation view, the
// main window's circles, the settings dialog's tabs and colour swatches, the
// tray's balloon.
// What they say costs nothing until a screen reader (or a test) switches
// accessibility on.

void InstallAccessibility();
