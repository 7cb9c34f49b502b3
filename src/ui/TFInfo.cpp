#include "ui/TFInfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextDocument>

#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/TButon.h"
#include "ui/Tint.h"

namespace {

constexpr int kInfoWidth = 387;
constexpr int kInfoHeight = 210;

// Everything the program is made of and links, and what it is tested and
// measured with.
constexpr const char* kSkladniki =
    "Qt 6: Core, Gui, Widgets, Network,\n"
    "        Multimedia i DBus\n"
    "GNU: libstdc++, libgcc i glibc\n"
    "czcionki DejaVu\n"
    "testy: GoogleTest, pomiary: Google Benchmark\n"
    "obrazki i dźwięk: rysownik, narzędzie programu";
constexpr int kSkladnikiLines = 6;

QLabel* Label(QWidget* parent, const char* name, const char* text, QRect at, const QFont& font) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);
  l->setFont(font);
  l->setText(QString::fromUtf8(text));
  l->setGeometry(at);
  SetTag(l, 0);  // the dimmed text colour
  return l;
}

}  // namespace

TFInfo::TFInfo(QWidget* parent) : TSkinnedForm(parent) {
  setObjectName(QStringLiteral("FInfo"));
  setWindowTitle(QString::fromUtf8("Informacje o programie"));
  setFixedSize(kInfoWidth, kInfoHeight);
  BZamknij = new TButon(this);
  BZamknij->setObjectName(QStringLiteral("BZamknij"));
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij"));
  BZamknij->SetIL(&Skin::get().IL());
  BZamknij->SetNumer(6);
  BZamknij->setGeometry(3, 3, 16, 16);
  connect(BZamknij, &TButon::OnClick, this, [this] { close(); });

  Logo = new QLabel(this);
  Logo->setObjectName(QStringLiteral("Logo"));
  Logo->setGeometry(14, 34, 96, 96);
  QFont name = TahomaFont(16);
  name.setBold(true);
  Nazwa = Label(this, "Nazwa", "Wirmelak", {124, 26, 250, 28}, name);
  Wersja = Label(this, "Wersja", "", {126, 53, 120, 14}, SansSerifFont());
  Freeware = Label(this, "Freeware", "freeware", {253, 53, 124, 14}, SansSerifFont());
  Freeware->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  Skladniki = new QPlainTextEdit(this);
  Skladniki->setObjectName(QStringLiteral("Skladniki"));
  Skladniki->setReadOnly(true);
  Skladniki->setFrameShape(QFrame::NoFrame);
  Skladniki->setFont(SmallFont());
  Skladniki->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Skladniki->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Skladniki->setPlainText(QString::fromUtf8(kSkladniki));
  // Every line whole: a text line takes a pixel more than the font's spacing.
  const int margins = 2 * int(Skladniki->document()->documentMargin()) + 2;
  Skladniki->setGeometry(124, 72, 253, (QFontMetrics(SmallFont()).lineSpacing() + 1) * kSkladnikiLines + margins);

  StronaLabel = Label(this, "StronaLabel", "Strona programu:", {14, 156, 100, 14}, SmallFont());
  Strona = Label(this, "Strona", "README.md w źródłach programu", {124, 156, 250, 14}, SmallFont());
  KontaktLabel = Label(this, "KontaktLabel", "Kontakt:", {14, 176, 100, 14}, SmallFont());
  Kontakt = Label(this, "Kontakt", "błędy zgłaszaj w systemie zgłoszeń projektu", {124, 176, 250, 14}, SmallFont());
  for (QLabel* l : {Strona, Kontakt}) SetTag(l, 3);  // what to follow, in the colour of descriptions
}

// The logo is tinted like the buttons: its black ground becomes the window.
void TFInfo::ApplyColours() {
  TSkinnedForm::ApplyColours();
  QImage logo(QStringLiteral(":/obrazki/logo.png"));
  if (logo.isNull()) return;
  TintWithBackground(logo, 0.0f);
  Logo->setPixmap(QPixmap::fromImage(logo));
}

void ShowAbout() {
  TFInfo info;
  info.Wersja->setText(QString::fromUtf8("wersja 1.2++"));
  CentreOnScreen(info, TSkinnedForm::DialogOwner());
  info.ShowModal();
}
