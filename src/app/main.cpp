// Wirmelak: starts in the folder of the user's files (its own folder, or the
// user's when it came in the package), creates the main window, and runs.
// A copy started while another runs the folder's default identity asks that
// one to show itself and leaves.

#include <QApplication>

#include "app/Accessibility.h"
#include "app/SingleInstance.h"
#include "app/TFMain.h"
#include "platform/EndOfSession.h"
#include "platform/ProgramFolders.h"
#include "ui/QtPolish.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TFDialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString::fromUtf8("Komunikator Wirmelak"));
  // The tray keeps the program alive while its window is hidden; it ends
  // only through the close path.
  QApplication::setQuitOnLastWindowClosed(false);

  const ProgramFolders folders = ProgramFolders::OfThisProgram();
  // Before the guard: the guard's name is made from the folder's real path,
  // which a folder that is not there yet does not have. A failure shows
  // later, as the files cannot be written.
  folders.CreateDataDir();
  SingleInstance guard(folders.DataDir());
  if (guard.AnotherCopyShown()) return 0;
  folders.LinkPictures();  // without it the archive only lacks its pictures

  InstallQtPolish(app);
  InstallFontSubstitutes();
  InstallSkinnedMessageBox();
  InstallAccessibility();
  Skin::get().LoadPictures();

  TFMain::Options options;
  options.folders = folders;
  options.arguments = QCoreApplication::arguments().mid(1);
  TFMain main(options);
  guard.SetOnShowRequest([&main] { return main.ShowOnRequest(); });

  // Log-off: the signals of the session's end and the session manager's
  // end take the path that saves and leaves without the question. Its
  // request to save (also a checkpoint, after which the session goes on)
  // only saves.
  EndOfSession endOfSession([&main] { main.WMQueryEndSession(); });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &main,
                   [&main](QSessionManager&) { main.SaveCheckpoint(); });

  main.LoadDefaultIdentity();
  main.ApplyColourScheme();
  main.StartAutoConnect();
  main.ShowAtStart();
  return app.exec();
}
