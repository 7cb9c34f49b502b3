#pragma once
// Qt's own texts (the edit boxes' context menus: "Cofnij", "Wklej", ...) in
// Polish, as the program's own are. They come from Qt's translations
// (Debian's qt6-translations-l10n); where those are not installed the
// English ones stay.

class QCoreApplication;

// Once, before the first window. False when the translation is not there.
bool InstallQtPolish(QCoreApplication& app);
