// wm_screenshots [folder]: renders, from the real window code, a message box
// of each kind, image buttons normal and pressed, caption buttons normal,
// pressed and disabled, and an empty window with and without the texture, as
// PNG files into the folder (default: docs/screenshots); then the same window
// and a question in the inverted (light) scheme; the password prompt and the
// main window with contacts, at the top of its list and paged down; a
// conversation with messages of every delivery state; a chat window, the
// same with a selection and its context menu, and after a paste of what the
// network cannot carry, and the window size dialog; the settings dialog on
// each of its tabs, at a first
// start and with three identities; the demo a quarter of a minute in.

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "Demo.h"
#include "app/TFMain.h"
#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "app/TFStat.h"
#include "app/TFUsta.h"
#include "app/TZakladki.h"
#include "contacts/view/TFNowy.h"
#include "contacts/view/TFPuk.h"
#include "conversation/view/TFCzat.h"
#include "conversation/view/TFEmoty.h"
#include "conversation/view/TRozmowa.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TButon.h"
#include "ui/TFBoks.h"
#include "ui/TFDialog.h"
#include "ui/TFInfo.h"
#include "ui/TFRozm.h"
#include "ui/TPupa.h"
#include "ui/TrayIcon.h"
#include "ui/TNapisButon.h"
#include "ui/TSkinnedForm.h"

namespace {

QDir out;

void save(QWidget& w, const char* name) {
  const QString path = out.filePath(QString::fromLatin1(name));
  if (!w.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

void press(QWidget* w) {
  const QPointF at(w->width() / 2, w->height() / 2);
  QMouseEvent e(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

void messageBox(const char* text, int kind, const char* name) {
  TFDialog box;
  box.Prepare(T(text), kind);
  box.show();
  save(box, name);
}

// The password prompt with something typed.
void passwordPrompt(const char* name) {
  TFBoks boks;
  boks.Et->setText(QStringLiteral("tajne"));
  boks.show();
  save(boks, name);
}

TButon* closeButton(QWidget* form) {
  auto* b = new TButon(form);
  b->setObjectName(QStringLiteral("BZamknij"));
  b->SetIL(&Skin::get().IL());
  b->SetNumer(6);
  b->move(2, 2);
  return b;
}

void imageButtons() {
  TSkinnedForm form;
  form.setWindowTitle(cp1250::toQString(T("Przyciski z obrazkami")));
  closeButton(&form);
  const int n = std::max(Skin::get().IL().count(), 1);
  form.resize(12 + n * 20, 74);
  for (int row = 0; row < 2; ++row)
    for (int i = 0; i < n; ++i) {
      auto* b = new TButon(&form);
      b->SetIL(&Skin::get().IL());
      b->SetNumer(static_cast<uint8_t>(i));
      b->move(6 + i * 20, 28 + row * 22);
      if (row == 1) press(b);
    }
  form.show();
  save(form, "przyciski-obrazkowe.png");
}

void captionButtons() {
  TSkinnedForm form;
  form.setWindowTitle(cp1250::toQString(T("Przyciski z napisem")));
  closeButton(&form);
  form.resize(280, 64);
  const char* names[3] = {"zwykły", "wciśnięty", "nieczynny"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new TNapisButon(&form);
    b->SetNapis(T(names[i]));
    b->move(8 + i * 89, 30);
    if (i == 1) press(b);
    if (i == 2) b->setEnabled(false);
  }
  form.show();
  save(form, "przyciski-z-napisem.png");
}

void emptyWindow(bool texture, const char* name) {
  ColourScheme s = Skin::get().scheme();
  s.tekstura = texture;
  ApplyColourScheme(s);
  TSkinnedForm form;
  form.setWindowTitle(cp1250::toQString(T("Puste okno — zażółć gęślą jaźń")));
  closeButton(&form);
  form.resize(300, 220);
  form.show();
  save(form, name);
}

// A conversation: received messages with a link and an emoticon, then the
// user's own, delivered, queued and not delivered, on a fixed day.
void conversation(const char* name) {
  DesktopShellOpen shell;
  TSkinnedForm form;
  form.setWindowTitle(cp1250::toQString(T("Rozmowa z Ania (123456)")));
  closeButton(&form);
  form.resize(300, 300);
  auto* view = new TRozmowa(shell, QStringLiteral(WM_ASSETS_DIR), &form);
  view->SetToday([] { return DayNumber(2026, 12, 8); });
  view->setGeometry(3, 21, 294, 276);
  const uint32_t noon = 1796731200;  // 2026-12-08 12:00 UTC
  view->AddMessage(T("Cześć! Jutro wieczorem gramy, szczegóły na www.wp.pl/plan"), noon - 86400 - 3600, Received);
  view->AddMessage(T("Super, będę :) Wezmę też <kwiatek> dla Ewy"), noon - 86400 - 3000, Delivered);
  view->AddMessage(T("A tu zdjęcia: http://example.com/galeria/2026/grudzien/zdjecia-z-wczoraj.html"), noon - 1500,
                   Received);
  view->AddMessage(T("Dzięki!!"), noon + 3600 - 60, Delivered);
  view->AddMessage(T("Jestem już w drodze, zaraz będę"), noon + 300, Queued);
  view->AddMessage(T("Halo? Odezwij się ;)"), noon + 420, NotDelivered);
  form.show();
  save(form, name);
}

// Zosia's chat window, offline, on 2026-12-08, her first message in it:
// what every picture of a chat window starts from.
struct ZosiaChat {
  struct Offline : TFCzat::Outgoing {
    bool Connected() const override { return false; }
    void SendChatMessage(uint32_t, std::string) override {}
  } outgoing;
  DesktopShellOpen shell;
  TFCzat w{5551, shell, QStringLiteral(WM_ASSETS_DIR), outgoing};
  static constexpr uint32_t noon = 1796731200;  // 2026-12-08 12:00 UTC
  ZosiaChat() {
    w.setWindowTitle(cp1250::toQString(T("Zosia (nr 5551)")));
    w.Rozmowa->SetToday([] { return DayNumber(2026, 12, 8); });
    w.Rozmowa->AddMessage(T("Hej! Masz już bilety? Rozkład jest na www.pkp.pl/rozklad :)"), noon - 1800, Received);
  }
};

// A chat window as the user sees it: received messages with a link and
// emoticons, the user's own delivered, queued and not delivered, and a reply
// being typed.
void chatWindow(const char* name) {
  ZosiaChat chat;
  TFCzat& w = chat.w;
  const uint32_t noon = ZosiaChat::noon;
  w.Rozmowa->AddMessage(T("Mam, wagon 7 miejsce 45 ;) Biorę też <kwiatek>"), noon - 1500, Delivered);
  w.Rozmowa->AddMessage(T("Super!! <lol>"), noon - 900, Received);
  w.Rozmowa->AddMessage(T("Będę na peronie kwadrans wcześniej"), noon - 600, Queued);
  w.Rozmowa->AddMessage(T("Halo? :("), noon - 60, NotDelivered);
  w.show();
  w.Memo1->setPlainText(QString::fromUtf8("To do zobaczenia o 17:20 <usmiech>"));
  w.Memo1->moveCursor(QTextCursor::End);
  QCoreApplication::processEvents();
  save(w, name);
}

// A chat window with a selection drawn across two messages, a smile and a
// link among them, and its context menu open over the conversation.
void chatWindowSelection(const char* name) {
  ZosiaChat chat;
  TFCzat& w = chat.w;
  const uint32_t noon = ZosiaChat::noon;
  w.Rozmowa->AddMessage(T("Mam, wagon 7 miejsce 45 ;) Biorę też <kwiatek>"), noon - 1500, Delivered);
  w.Rozmowa->AddMessage(T("Super!! <lol> To do zobaczenia na peronie"), noon - 900, Received);
  w.Rozmowa->AddMessage(T("Będę kwadrans wcześniej"), noon - 600, Delivered);
  w.move(40, 40);
  w.show();
  QCoreApplication::processEvents();
  // A drag from "Rozkład" in the first message to the end of the second.
  TRozmowa* view = w.Rozmowa;
  const ConversationLayout& l = view->Layout();
  const int top = static_cast<int>(view->height() - l.TotalHeight());
  const std::string& first = l.Messages()[0].Lines[0];
  const int x = 2 + QFontMetrics(SansSerifFont()).horizontalAdvance(
                        cp1250::toQString(first.substr(0, first.find(T("Rozkład")))));
  auto mouse = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
  };
  const QPoint from(x + 1, top + 11);
  const QPoint to(view->TextAreaWidth() - 4, static_cast<int>(top + l.Ends()[1] - 6));
  mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  view->ShowContextMenu(view->mapToGlobal(QPoint(190, static_cast<int>(top + l.Ends()[2] + 6))));
  QCoreApplication::processEvents();
  // The menu is a window of its own: drawn onto the chat window's picture.
  QImage shot = w.grab().toImage();
  {
    QPainter p(&shot);
    p.drawPixmap(view->ContextMenu()->pos() - w.pos(), view->ContextMenu()->grab());
  }
  const QString path = out.filePath(QString::fromLatin1(name));
  if (!shot.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
  view->ContextMenu()->hide();
}

// The same window just after a paste of what the network cannot carry:
// the smile became its shorthand, the arrow and the half their plain forms,
// and the notice above the entry names what was left out.
void chatWindowRefused(const char* name) {
  ZosiaChat chat;
  TFCzat& w = chat.w;
  const uint32_t noon = ZosiaChat::noon;
  w.Rozmowa->AddMessage(T("Mam, wagon 7 miejsce 45 ;) Biorę też <kwiatek>"), noon - 1500, Delivered);
  w.show();
  w.Memo1->insertPlainText(QString::fromUtf8("Super 🙂 Pociąg → Kraków za ½ h, Саша pozdrawia 👍🏽"));
  QCoreApplication::processEvents();
  save(w, name);
}

// The size dialog as the chat window opens it.
void sizeDialog(const char* name) {
  TFRozm dialog;
  dialog.Prepare(377, 290);
  dialog.show();
  save(dialog, name);
}

}  // namespace

// A few contacts with their statuses and descriptions; the one at list
// position `selected` is selected.
void fillContacts(TFMain& window, int selected) {
  struct Entry {
    uint32_t numer;
    const char* name;
    uint8_t status;
    const char* opis;
  };
  const Entry entries[] = {
      {1001, "Agnieszka", 3, "Na wykładzie do 14:00, potem w bibliotece"},
      {1002, "Bartek", 2, ""},
      {1003, "Celina Żurawska", 5, "zaraz wracam\r\nkawa"},
      {1004, "Darek", 4, ""},
      {1005, "Ewa", 1, "urlop w górach, bez zasięgu aż do niedzieli"},
      {1006, "Franek", 0, ""},
      {1007, "Grześ", 0, ""},
  };
  for (const Entry& e : entries) {
    TKontakt k;
    k.numer = e.numer;
    k.wyswietl = T(e.name);
    window.Contacts().Add(k);
  }
  for (const Entry& e : entries) window.Contacts().ApplyStatus(e.numer, e.status, T(e.opis), 123456);
  window.Contacts().SetSelected(selected);
  window.RepaintContactList();
}

// The main window of an identity, connected, in a folder of its own; a
// long list is paged down once, so that both arrows show.
void mainWindow(const char* name, bool longList) {
  QTemporaryDir dir;
  const QString cwd = QDir::currentPath();
  TFMain::Options options;
  options.folders = ProgramFolders::OneFolder(dir.path());
  {
    TFMain window(options);
    window.SetIdentity(123456, "x");
    window.Connection().SetConnectionState(2);
    window.ApplyColourScheme();  // builds the list's icons, as loading an identity does
    window.setFixedSize(250, 550);
    window.SetDescription(T("na spacerze, wracam wieczorem"));
    window.ShowOwnStatus(3);
    fillContacts(window, longList ? -1 : 2);
    for (uint32_t i = 0; longList && i < 30; ++i) {
      TKontakt k;
      k.numer = 2000 + i;
      k.wyswietl = T("Znajomy ") + std::to_string(i + 1);
      window.Contacts().Add(k);
      window.Contacts().ApplyStatus(k.numer, static_cast<uint8_t>(i % 4 == 0 ? 3 : i % 3),
                                    T("opis nr ") + std::to_string(i + 1), 123456);
    }
    window.RepaintContactList();
    window.show();
    window.grab();  // the first paint shows or hides the list's arrows
    if (longList) {
      window.Buton4MouseDown();
      window.grab();
    }
    save(window, name);
  }
  QDir::setCurrent(cwd);
}

// The main window's small captions: the title, "połączony", the own status
// "zaraz wracam" and its description, at the zoom the process runs with.
void mainWindowCaptions(const char* name) {
  QTemporaryDir dir;
  const QString cwd = QDir::currentPath();
  TFMain::Options options;
  options.folders = ProgramFolders::OneFolder(dir.path());
  {
    TFMain window(options);
    window.SetIdentity(123456, "x");
    window.Connection().SetConnectionState(2);
    window.ApplyColourScheme();
    window.setFixedSize(250, 550);
    window.SetDescription(T("zaraz wracam, kawa"));
    window.ShowOwnStatus(5);
    fillContacts(window, -1);
    window.show();
    window.grab();
    save(window, name);
  }
  QDir::setCurrent(cwd);
}

// The tray's menu with three chats: a contact's, one holding a new message,
// a stranger's (the newest), the second under the pointer.
void trayMenu(const char* name) {
  TrayIcon::Options o;
  o.available = [] { return true; };
  TrayIcon icon(o);
  icon.SetChats({{T("Agnieszka"), 3, false}, {T("Celina Żurawska"), 4, true}, {"4567890", -1, false}});
  icon.SetOwnStatus(2);
  TPupa& menu = icon.Pupa();
  menu.ensurePolished();
  menu.resize(menu.sizeHint());
  menu.setActiveAction(menu.actions()[2]);
  save(menu, name);
}

// The about window as its button opens it.
void aboutWindow(const char* name) {
  TFInfo info;
  info.Wersja->setText(QString::fromUtf8("wersja 1.2++"));
  info.show();
  QCoreApplication::processEvents();  // the list lays out its lines once shown
  save(info, name);
}

// The size dialog as the main window opens it, with its own size.
void mainSizeDialog(const char* name) {
  TFRozm dialog;
  dialog.Prepare(250, 545);
  dialog.show();
  save(dialog, name);
}

// The status dialog with a description typed, over two lines.
void statusDialog(const char* name) {
  TFStat dialog;
  dialog.SetText(T("na spacerze\r\nwracam wieczorem"));
  dialog.show();
  QCoreApplication::processEvents();  // the box lays out its lines once shown
  save(dialog, name);
}

// The emoticon picker over the program's pictures.
void picker(const char* name) {
  TFEmoty window(QStringLiteral(WM_ASSETS_DIR));
  window.show();
  save(window, name);
}

// The contact data window filled in, and the knock list with two numbers.
void contactWindows() {
  TFNowy nowy;
  nowy.ENumer->setText(QStringLiteral("2345678"));
  nowy.ENazwisko->setText(QString::fromUtf8("Łucja Nowak"));
  nowy.ENazwa->setText(QString::fromUtf8("Łucja"));
  nowy.ETelefon->setText(QStringLiteral("600-700-800"));
  nowy.EAdres->setText(QStringLiteral("lucja@example.pl"));
  nowy.show();
  save(nowy, "okno-znajomego.png");
  TFPuk puk;
  puk.AddKnock(3456789);
  puk.AddKnock(4567);
  puk.ListaPuk->setCurrentRow(1);
  puk.show();
  save(puk, "pukanie.png");
}

// The settings dialog of a program folder of its own; the autostart entry
// is looked for in an empty folder, never the user's.
void settingsDialog() {
  QTemporaryDir dir;
  const QString cwd = QDir::currentPath();
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
  TFMain::Options options;
  options.folders = ProgramFolders::OneFolder(dir.path());
  {
    TFMain window(options);
    TFUsta& usta = window.Settings();
    usta.SetProgramPath(QStringLiteral("/opt/wirmelak/wirmelak"));
    auto shoot = [&](int tab, const char* name) {
      window.Settings().CBAD->setChecked(window.Configuration().autowolit);
      usta.RefreshIdentityTab();
      usta.ShowColourSwatches();
      usta.show();
      usta.Kontroll->SetActivePage(tab);
      QCoreApplication::processEvents();
      save(usta, name);
      usta.hide();
    };
    shoot(0, "ustawienia-pierwszy-start.png");
    // Three identities, the one in use the default, its password stored.
    for (uint32_t number : {2345678u, 5551u}) {
      QFile f(dir.path() + "/osoby/" + QString::number(number));
      const std::string bytes = identity_file::Build("", ColourScheme{}, number, ScramblePassword("", number), {});
      if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), qint64(bytes.size()));
    }
    window.SetIdentity(123456, "tajne");
    window.Identities().SaveIdentity();
    window.Identities().WriteLastIdentity("123456");
    shoot(0, "ustawienia-tozsamosci.png");
    shoot(1, "ustawienia-lista-kontaktow.png");
    shoot(2, "ustawienia-systemowe.png");
    shoot(3, "ustawienia-kolory.png");
  }
  if (config.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", config);
  QDir::setCurrent(cwd);
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The pictures show the times a machine in Poland shows.
  setenv("TZ", "Europe/Warsaw", 1);
  tzset();
  QApplication app(argc, argv);
  InstallFontSubstitutes();
  Skin::get().LoadPictures();
  if (Skin::get().IL().isEmpty() || Skin::get().texture().isNull())
    std::fprintf(stderr, "warning: the program's pictures are not built in; buttons and texture will be blank\n");
  // "--zoom FOLDER": only what is shown at 200 %, run by the first run.
  const bool zoom = argc > 2 && QString::fromLatin1(argv[1]) == "--zoom";
  const int folder = zoom ? 2 : 1;
  out = QDir(argc > folder ? QString::fromLocal8Bit(argv[folder]) : QStringLiteral("docs/screenshots"));
  out.mkpath(QStringLiteral("."));
  out.setPath(out.absolutePath());  // the main window moves to its own folder
  ApplyColourScheme(ColourScheme{});
  if (zoom) {
    mainWindowCaptions("napisy-200.png");
    return 0;
  }

  messageBox("Nie udało się wczytać wybranej tożsamości. Być może jest ona już używana przez program.", kOstrzezenie,
             "komunikat-ostrzezenie.png");
  messageBox("Czy na pewno chcesz usunąć tożsamość o nr 123456?", kPytanie, "komunikat-pytanie.png");
  messageBox("Hasło zostało zapisane w ustawieniach.", kInformacja, "komunikat-informacja.png");
  passwordPrompt("okno-hasla.png");
  imageButtons();
  captionButtons();
  emptyWindow(true, "okno-z-tekstura.png");
  emptyWindow(false, "okno-bez-tekstury.png");
  mainWindow("okno-glowne.png", false);
  mainWindow("okno-glowne-przewiniete.png", true);
  conversation("rozmowa.png");
  chatWindow("okno-rozmowy.png");
  chatWindowSelection("okno-rozmowy-zaznaczenie.png");
  chatWindowRefused("okno-rozmowy-pominiete.png");
  sizeDialog("rozmiar-okna.png");
  mainSizeDialog("rozmiar-okna-glownego.png");
  aboutWindow("informacje.png");
  trayMenu("menu-zasobnika.png");
  mainWindowCaptions("napisy-100.png");
  {
    // The same captions on a screen zoomed to 200 %, from a process of its own:
    // the zoom and the small font's smoothing are chosen at start.
    QProcess zoomed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_SCALE_FACTOR", "2");
    zoomed.setProcessEnvironment(env);
    zoomed.setProcessChannelMode(QProcess::ForwardedChannels);
    zoomed.start(QCoreApplication::applicationFilePath(), {"--zoom", out.path()});
    zoomed.waitForFinished(60000);
  }
  picker("ikonki.png");
  statusDialog("okno-statusu.png");
  contactWindows();
  settingsDialog();
  // The inverted scheme: the stars darken a light background.
  ColourScheme light;
  light.tlo ^= 0xFFFFFF;
  light.tekst ^= 0xFFFFFF;
  ApplyColourScheme(light);
  emptyWindow(true, "okno-jasne-z-tekstura.png");
  messageBox("Czy na pewno chcesz usunąć tożsamość o nr 123456?", kPytanie, "komunikat-pytanie-jasny.png");
  ApplyColourScheme(ColourScheme{});
  return demoScreenshot(out.filePath(QStringLiteral("demo.png"))) ? 0 : 1;
}
