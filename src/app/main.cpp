// Wirmelak: starts in the folder of the user's files (its own folder, or the
// user's when it came in the package), creates the main window, and runs.
// A copy started while another runs the folder's default identity asks that
// one to show itself and leaves.

#include <QApplication>
#include <QSessionManager>
#include <cstdio>

#include "app/Accessibility.h"
#include "app/SingleInstance.h"
#include "app/TFMain.h"
#include "platform/Cp1250.h"
#include "platform/EndOfSession.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolders.h"
#include "ui/QtPolish.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TFDialog.h"

namespace {

// What every window of the program needs, once.
void PrepareWindows(QApplication& app) {
  InstallQtPolish(app);
  InstallFontSubstitutes();
  InstallSkinnedMessageBox();
  InstallAccessibility();
  Skin::get().LoadPictures();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString::fromUtf8("Komunikator Wirmelak"));
  // The tray keeps the program alive while its window is hidden; it ends
  // only through the close path.
  QApplication::setQuitOnLastWindowClosed(false);

  const ProgramFolders folders = ProgramFolders::OfThisProgram();
  // Before the guard: the guard's name is made from the folder's real path,
  // which a folder that is not there yet does not have. Without the folder
  // the program has nowhere to keep anything, and every other folder is
  // someone else's: it says so and ends.
  if (!folders.CreateDataDir()) {
    const std::string text = T("Nie udało się utworzyć folderu ") + cp1250::fromQString(folders.DataDir()) +
                             T(" na ustawienia, tożsamości i archiwa. Program zostanie zamknięty.");
    std::fprintf(stderr, "%s\n", cp1250::toUtf8(text).c_str());
    PrepareWindows(app);
    MessageBox(text, kOstrzezenie);
    return 1;
  }
  SingleInstance guard(folders.DataDir());
  if (guard.AnotherCopyShown()) return 0;
  folders.LinkPictures();  // without it the archive only lacks its pictures

  PrepareWindows(app);

  TFMain::Options options;
  options.folders = folders;
  options.arguments = QCoreApplication::arguments().mid(1);
  TFMain main(options);
  guard.SetOnShowRequest([&main] { return main.ShowOnRequest(); });

  // Log-off: the signals of the session's end and the session manager's
  // end take the path that saves and leaves without the question. Its
  // request to save (also a checkpoint, after which the session goes on)
  // only saves, and tells of a failure in a box only when the session
  // manager lets the program interact with the user; the interaction is
  // given back once the box is answered.
  EndOfSession endOfSession([&main] { main.WMQueryEndSession(); });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &main, [&main](QSessionManager& manager) {
    bool interacting = false;
    main.SaveCheckpoint([&] { return interacting = manager.allowsInteraction(); });
    if (interacting) manager.release();
  });

  main.LoadDefaultIdentity();
  main.ApplyColourScheme();
  main.StartAutoConnect();
  main.ShowAtStart();
  return app.exec();
}
