// The main window and a chat window as a screen reader reads them, through
// Qt's accessibility interfaces, with the demo's cast played by the
// emulator: named buttons that press, the contacts with their states in
// display order, a received message's words with its link, the dialogs'
// fields and tabs.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/Accessibility.h"
#include "DemoCast.h"
#include "app/TFMain.h"
#include "app/TFStat.h"
#include "app/TFUsta.h"
#include "app/TZakladki.h"
#include "app/ModalScript.h"
#include "contacts/SpokenContact.h"
#include "conversation/SpokenMessage.h"
#include "contacts/view/TFNowy.h"
#include "contacts/view/TLista.h"
#include "conversation/view/ChatWindows.h"
#include "conversation/view/TFCzat.h"
#include "conversation/view/TRozmowa.h"
#include "ggserwer/Scenario.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "platform/desktop/ShellOpen.h"
#include "support/RecordingTray.h"
#include "support/ScriptedMessageBox.h"
#include "ui/BalloonAccessible.h"
#include "ui/NoticeAccessible.h"
#include "ui/TFDialog.h"
#include "ui/Tint.h"

using ggserwer::Serwer;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Every interface below root, depth first, as a screen reader walks it.
void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit) {
  for (int i = 0; i < root->childCount(); ++i) {
    QAccessibleInterface* c = root->child(i);
    if (!c) continue;
    visit(c);
    Walk(c, visit);
  }
}

QAccessibleInterface* Find(QObject* window, QAccessible::Role role, const QString& name) {
  QAccessibleInterface* found = nullptr;
  Walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* i) {
    if (!found && i->role() == role && i->text(QAccessible::Name) == name && !i->state().invisible) found = i;
  });
  return found;
}

// What a screen reader is told of every control it can reach: no button,
// field or box goes without a name.
std::vector<std::string> Nameless(QObject* window) {
  std::vector<std::string> nameless;
  Walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* i) {
    switch (i->role()) {
      case QAccessible::Button: case QAccessible::EditableText: case QAccessible::CheckBox:
      case QAccessible::List: case QAccessible::ListItem: case QAccessible::PageTab: case QAccessible::Link:
        if (i->text(QAccessible::Name).isEmpty() && !i->state().invisible)
          nameless.push_back(i->object() ? i->object()->objectName().toStdString() : "an item");
        break;
      default: break;
    }
  });
  return nameless;
}

// The tree as a screen reader is told it, one object a line.
std::string Dump(QAccessibleInterface* i, int depth = 0) {
  std::string out = std::string(2 * depth, ' ') + std::to_string(i->role()) + " \"" +
                    i->text(QAccessible::Name).toStdString() + "\"\n";
  for (int c = 0; c < i->childCount(); ++c)
    if (QAccessibleInterface* child = i->child(c); child && !child->state().invisible) out += Dump(child, depth + 1);
  return out;
}

void Press(QAccessibleInterface* i) {
  ASSERT_TRUE(i);
  ASSERT_TRUE(i->actionInterface()) << i->text(QAccessible::Name).toStdString();
  ASSERT_TRUE(i->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
  i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  // The press comes as a queued call; it is delivered now, as a click would
  // be, so that the dialog a step pressed in is gone before the script looks
  // for the next one.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

class RecordingShell : public ShellOpen {
 public:
  bool Open(const QString& path, const QString&) override {
    opened.push_back(path);
    return true;
  }
  std::vector<QString> opened;
};

}  // namespace

TEST(AccessibilityTest, TheDemoAsAScreenReaderReadsIt) {
  InstallAccessibility();
  QString error;
  const auto cast = ggserwer::loadScenario(QStringLiteral(DEMO_CAST), &error);
  ASSERT_TRUE(cast.has_value()) << error.toStdString();

  QTemporaryDir dir;
  // The emoticons' pictures: a shorthand with a picture is read as written.
  QDir(dir.path()).mkdir("ikony");
  for (const QString& name : QDir(QStringLiteral(WM_ASSETS_DIR "/ikony")).entryList(QDir::Files))
    QFile::copy(QStringLiteral(WM_ASSETS_DIR "/ikony/") + name, dir.filePath("ikony/" + name));
  const QString savedCwd = QDir::currentPath();
  ScriptedMessageBox box;
  RecordingTray tray;
  CountingSound sound;
  RecordingShell shell;
  Serwer serwer;
  ASSERT_TRUE(serwer.start());
  serwer.addAccount(123456, "demo");
  serwer.play(*cast);
  {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.tray = &tray;
    o.sound = &sound;
    o.shell = &shell;
    TFMain m(o);
    MeetTheCast(m, serwer, *cast);
    if (HasFatalFailure()) return;
    m.ShowOwnStatus(0);
    m.show();
    // The connection indicator and the status button say their state.
    ASSERT_TRUE(Find(&m, QAccessible::Button, U("Stan połączenia: nie połączony")));
    Press(Find(&m, QAccessible::Button, U("Stan połączenia: nie połączony")));
    ASSERT_TRUE(serwer.waitForLogin());
    const ContactStore& contacts = m.Contacts();
    ASSERT_TRUE(Serwer::waitFor(
        [&] {
          int present = 0;
          for (int r = 0; r < contacts.Count(); ++r) present += contacts.Record(r).Obecny();
          return present >= 4 && contacts.Record(contacts.FindByNumber(1004)).status == 1;
        },
        8000));
    EXPECT_TRUE(Find(&m, QAccessible::Button, U("Stan połączenia: połączony")));
    EXPECT_TRUE(Find(&m, QAccessible::Button, U("Aktualny status: nie ma mnie")));
    // A connection the user asked for is kept.
    EXPECT_TRUE(Find(&m, QAccessible::Button, U("Automatyczne ponawianie połączenia: włączone")));

    // Every button of the window a push button named by its hint or caption.
    for (const char* name : {"Zamknij program", "Zminimalizuj do paska zadań", "Zmień rozmiar okna",
                             "Informacje o autorze", "Dodaj znajomego", "Usuń znajomego", "Edytuj znajomego",
                             "Ustawienia", "archiwum"})
      EXPECT_TRUE(Find(&m, QAccessible::Button, U(name))) << name;
    EXPECT_EQ(Nameless(&m), std::vector<std::string>{});

    // The contacts in display order, each with its state in words.
    QAccessibleInterface* list = Find(&m, QAccessible::List, U("Znajomi"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->childCount(), contacts.Count());
    for (int p = 0; p < contacts.Count(); ++p)
      EXPECT_EQ(list->child(p)->text(QAccessible::Name),
                cp1250::toQString(SpokenContact(contacts.Record(contacts.RecordAt(p)))));
    EXPECT_EQ(list->child(0)->text(QAccessible::Name),
              U("Agnieszka, dostępny, Na wykładzie do 14:00, potem w bibliotece"));
    const int darek = contacts.PositionOf(contacts.FindByNumber(1004));
    EXPECT_EQ(list->child(darek)->text(QAccessible::Name), U("Darek, niedostępny, w podróży, wracam w poniedziałek"));
    EXPECT_EQ(list->indexOfChild(list->child(darek)), darek);
    EXPECT_EQ(list->child(contacts.Count()), nullptr);

    // Selected through its action, the item says so; a new status keeps the
    // item and changes what it says.
    QAccessibleInterface* item = list->child(darek);
    item->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return contacts.Selected() == darek; }, 3000));
    EXPECT_EQ(contacts.Selected(), darek);
    EXPECT_TRUE(item->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected || darek == 0);
    m.ApplyStatus(1004, 2, "");
    const int moved = contacts.PositionOf(contacts.FindByNumber(1004));
    EXPECT_LT(moved, darek) << "present contacts come first";
    EXPECT_EQ(list->child(moved), item);
    EXPECT_EQ(item->text(QAccessible::Name), U("Darek, dostępny"));
    EXPECT_TRUE(item->state().selected) << "the selection stays on the contact";
    // The list answers which contact is selected, as a table of one column.
    ASSERT_TRUE(list->tableInterface());
    EXPECT_EQ(list->tableInterface()->selectedCells(), QList<QAccessibleInterface*>{item});

    // The item's default action is the double-click: Agnieszka's chat.
    Press(list->child(contacts.PositionOf(contacts.FindByNumber(1001))));
    ChatWindows& chats = m.Chats();
    EXPECT_TRUE(QTest::qWaitFor([&] { return chats.FindChat(1001) >= 0; }, 3000));
    ASSERT_GE(chats.FindChat(1001), 0);
    TFCzat* chat = chats.At(chats.FindChat(1001));
    EXPECT_TRUE(chat->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(chat)->text(QAccessible::Name), U("Agnieszka (nr 1001)"));
    EXPECT_EQ(Nameless(chat), std::vector<std::string>{});
    for (const char* name : {"Zamknij rozmowę", "Ukryj okno", "Zmień rozmiar okna", "Wstaw emotikonę"})
      EXPECT_TRUE(Find(chat, QAccessible::Button, U(name))) << name;
    QAccessibleInterface* entry = Find(chat, QAccessible::EditableText, U("Twoja wiadomość"));
    ASSERT_TRUE(entry);

    // Written, answered: who, when, what, with the emoticon as its
    // shorthand and the address as a link that opens.
    chat->Memo1->insertPlainText(U("Masz rozkład pociągów?"));
    QTest::keyClick(chat->Memo1, Qt::Key_Return);
    ASSERT_TRUE(Serwer::waitFor([&] { return chat->Rozmowa->Messages().size() >= 2; }, 8000));
    QAccessibleInterface* talk = Find(chat, QAccessible::List, U("Rozmowa"));
    ASSERT_TRUE(talk);
    ASSERT_EQ(talk->childCount(), 2);
    EXPECT_TRUE(talk->state().readOnly);
    const auto& messages = chat->Rozmowa->Messages();
    QAccessibleInterface* mine = talk->child(0);
    QAccessibleInterface* answer = talk->child(1);
    EXPECT_EQ(mine->text(QAccessible::Name), U("Ja, ") + cp1250::toQString(messages[0].TimeLabel) + U(": Masz rozkład pociągów?"));
    const QString heard = U("Agnieszka, ") + cp1250::toQString(messages[1].TimeLabel) +
                          U(": Hej :) Jasne, rozkład jest tu: www.pkp.pl");
    EXPECT_EQ(answer->text(QAccessible::Name), heard);
    ASSERT_TRUE(answer->textInterface());
    EXPECT_EQ(answer->textInterface()->text(0, answer->textInterface()->characterCount()), heard);
    EXPECT_EQ(talk->indexOfChild(answer), 1);
    ASSERT_EQ(answer->childCount(), 1);
    QAccessibleInterface* link = answer->child(0);
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name), U("www.pkp.pl"));
    EXPECT_EQ(link->parent(), answer);
    // No screen reader is on in this process: the answer made no notice.
    ASSERT_FALSE(QAccessible::isActive());
    EXPECT_EQ(NoticeAccessible::Of(chat), nullptr);
    Press(link);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shell.opened.empty(); }, 3000));
    EXPECT_EQ(shell.opened, std::vector<QString>{U("http://www.pkp.pl")});

    // "Dodaj znajomego" pressed through its action opens the contact's data,
    // whose fields are named; so are the status dialog's and the settings'
    // tabs, which show their pages when pressed.
    ModalScript script;
    std::vector<std::string> namelessInDialogs;
    script.Then("TFNowy", [&](QWidget& w) {
      namelessInDialogs = Nameless(&w);
      EXPECT_TRUE(Find(&w, QAccessible::EditableText, U("nr użytkownika")));
      EXPECT_TRUE(Find(&w, QAccessible::EditableText, U("Wyświetl jako")));
      EXPECT_TRUE(Find(&w, QAccessible::EditableText, U("nr telefonu komórkowego (bez +48)")));
      EXPECT_EQ(QAccessible::queryAccessibleInterface(&w)->role(), QAccessible::Dialog);
      Press(Find(&w, QAccessible::Button, U("Anuluj")));
    });
    Press(Find(&m, QAccessible::Button, U("Dodaj znajomego")));
    ASSERT_TRUE(Serwer::waitFor([&] { return script.Left() == 0; }, 3000));
    EXPECT_EQ(namelessInDialogs, std::vector<std::string>{});

    script.Then("TFStat", [&](QWidget& w) {
      namelessInDialogs = Nameless(&w);
      EXPECT_TRUE(Find(&w, QAccessible::EditableText, U("Opis")));
      EXPECT_TRUE(Find(&w, QAccessible::CheckBox, U("status opisowy")));
      Press(Find(&w, QAccessible::Button, U("zaraz wracam")));
    });
    Press(Find(&m, QAccessible::Button, U("Aktualny status: nie ma mnie")));
    ASSERT_TRUE(Serwer::waitFor([&] { return script.Left() == 0 && m.OwnStatus() == 4; }, 3000));
    EXPECT_EQ(namelessInDialogs, std::vector<std::string>{});
    EXPECT_TRUE(Find(&m, QAccessible::Button, U("Aktualny status: zaraz wracam")));

    script.Then("TFUsta", [&](QWidget& w) {
      namelessInDialogs = Nameless(&w);
      SCOPED_TRACE(Dump(QAccessible::queryAccessibleInterface(&w)));
      QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(static_cast<TFUsta&>(w).Kontroll);
      ASSERT_EQ(tabs->role(), QAccessible::PageTabList);
      QStringList names;
      for (int i = 0; i < 4; ++i) names << tabs->child(i)->text(QAccessible::Name);
      EXPECT_EQ(names, (QStringList{U("Tożsamości"), U("Lista kontaktów"), U("Systemowe"), U("Kolory")}));
      EXPECT_TRUE(tabs->child(0)->state().selected);
      Press(tabs->child(3));
      EXPECT_EQ(static_cast<TFUsta&>(w).Kontroll->ActivePage(), 3);
      EXPECT_TRUE(tabs->child(3)->state().selected);
      EXPECT_EQ(tabs->indexOfChild(tabs->child(3)), 3);
      // The colour tab: the texture box and every swatch named by the label
      // beside it, a swatch a button with its colour as its value.
      const std::vector<std::string> colourTab = Nameless(&w);
      EXPECT_EQ(colourTab, std::vector<std::string>{});
      EXPECT_TRUE(Find(&w, QAccessible::CheckBox, U("gwieździsta tekstura na tle")));
      QAccessibleInterface* swatch = Find(&w, QAccessible::Button, U("kolor tekstu"));
      ASSERT_TRUE(swatch);
      EXPECT_EQ(swatch->text(QAccessible::Value), Kolor(m.State().kolory.tekst).name());
      ASSERT_TRUE(swatch->actionInterface());
      EXPECT_EQ(swatch->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
      Press(Find(&w, QAccessible::Button, U("Zamknij")));
    });
    Press(Find(&m, QAccessible::Button, U("Ustawienia")));
    ASSERT_TRUE(Serwer::waitFor([&] { return script.Left() == 0; }, 3000));
    EXPECT_EQ(namelessInDialogs, std::vector<std::string>{});

    // The chat's size dialog: its fields named by the labels beside them.
    script.Then("TFRozm", [&](QWidget& w) {
      namelessInDialogs = Nameless(&w);
      EXPECT_TRUE(Find(&w, QAccessible::EditableText, U("szerokość")));
      EXPECT_TRUE(Find(&w, QAccessible::EditableText, U("wysokość")));
      Press(Find(&w, QAccessible::Button, U("Anuluj")));
    });
    Press(Find(chat, QAccessible::Button, U("Zmień rozmiar okna")));
    ASSERT_TRUE(Serwer::waitFor([&] { return script.Left() == 0; }, 3000));
    EXPECT_EQ(namelessInDialogs, std::vector<std::string>{});
    EXPECT_EQ(script.Unexpected(), std::vector<std::string>{});

    // Chats closed and opened again and again, so that a new window comes
    // where a closed one was: each is read as itself, never as the one gone.
    Press(Find(chat, QAccessible::Button, U("Zamknij rozmowę")));
    for (int round = 0; round < 12; ++round) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      chats.OpenChat(round % 2 ? 1001 : 1002);
      TFCzat* next = chats.At(chats.Count() - 1);
      QAccessibleInterface* read = QAccessible::queryAccessibleInterface(next);
      ASSERT_TRUE(read && read->isValid()) << round;
      ASSERT_EQ(read->object(), next) << round;
      next->close();
    }
    chats.CloseAll();
  }
  QDir::setCurrent(savedCwd);
}

// The message box comes up as an alert: its caption, its text, its buttons.
TEST(AccessibilityTest, AMessageBoxSaysItsCaptionTextAndButtons) {
  InstallAccessibility();
  TFDialog box;
  box.Prepare(T("Czy na pewno chcesz usunąć tożsamość o nr 123?"), 1);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&box);
  EXPECT_EQ(iface->role(), QAccessible::AlertMessage);
  EXPECT_EQ(iface->text(QAccessible::Name), U("Pytanie do użytkownika"));
  EXPECT_EQ(iface->text(QAccessible::Description), U("Czy na pewno chcesz usunąć tożsamość o nr 123?"));
  QTimer::singleShot(0, &box, [&] {
    EXPECT_EQ(Find(&box, QAccessible::Button, U("Rozumiem")), nullptr) << "a question has no OK";
    ASSERT_TRUE(Find(&box, QAccessible::Button, U("Nie")));
    Press(Find(&box, QAccessible::Button, U("Tak")));
  });
  EXPECT_EQ(box.ShowModal(), kMrYes);
}

// A message that came, as a notice says it; the tray's balloon as a
// notification named by its title and text, its close button named.
TEST(AccessibilityTest, NoticesSayTheSenderAndTheText) {
  EXPECT_EQ(MessageNotice("Celina", T("Cześć!"), true), "Celina: " + T("Cześć!"));
  EXPECT_EQ(MessageNotice("Celina", T("Cześć!"), false), T("Wiadomość od Celina: Cześć!"));
  EXPECT_EQ(MessageNotice("Celina", std::string(kNoticeTextMax + 1, 'a'), false), T("Wiadomość od Celina"));

  QWidget balloon;
  new QLabel(U("Celina Żurawska"), &balloon);
  new QLabel(&balloon);  // the picture
  new QLabel(U("Cześć!..."), &balloon);
  auto* close = new QPushButton(&balloon);
  BalloonAccessible iface(&balloon);
  EXPECT_EQ(iface.role(), QAccessible::Notification);
  EXPECT_EQ(iface.text(QAccessible::Name), U("Celina Żurawska: Cześć!..."));
  EXPECT_EQ(close->accessibleName(), U("Zamknij"));
}
