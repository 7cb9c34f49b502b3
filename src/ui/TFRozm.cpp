#include "ui/TFRozm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"

namespace {

constexpr int kRozmWidth = 152;
constexpr int kRozmHeight = 141;

// Pasting cannot bring anything but digits in either.
class DigitsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (c < u'0' || c > u'9') return Invalid;
    return Acceptable;
  }
};

QLineEdit* Edit(QWidget* parent, const char* name, int y) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setFrame(false);
  e->setFont(SansSerifFont());
  e->setGeometry(72, y, 57, 19);
  e->setValidator(new DigitsValidator(e));
  return e;
}

// The label at the left of its edit.
QLabel* Label(QWidget* parent, const char* name, const char* text, QLineEdit* edit) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);
  l->setFont(SmallFont());
  l->setText(QString::fromUtf8(text));
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setGeometry(8, edit->y(), edit->x() - 12, edit->height());
  l->setBuddy(edit);  // recoloured as the label of a labelled edit
  return l;
}

TNapisButon* CaptionButton(QWidget* parent, const char* name, const char* text, int modal, int x) {
  auto* b = new TNapisButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetNapis(T(text));
  b->SetModal(modal);
  b->setGeometry(x, 80, 57, 49);
  return b;
}

}  // namespace

TFRozm::TFRozm(QWidget* parent) : TSkinnedForm(parent) {
  setObjectName(QStringLiteral("FRozm"));
  setWindowTitle(QStringLiteral("Rozmiar okna"));
  X = Edit(this, "X", 24);
  Y = Edit(this, "Y", 48);
  XLabel = Label(this, "XLabel", "szerokość", X);
  YLabel = Label(this, "YLabel", "wysokość", Y);
  NapisOk = CaptionButton(this, "NapisOk", "Zatwierdź", kMrOk, 16);
  NapisAnuluj = CaptionButton(this, "NapisAnuluj", "Anuluj", kMrCancel, 80);
  BZamknij = new TButon(this);
  BZamknij->setObjectName(QStringLiteral("BZamknij"));
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij"));
  BZamknij->SetIL(&Skin::get().IL());
  BZamknij->SetNumer(6);
  BZamknij->setGeometry(3, 3, 16, 16);
  connect(BZamknij, &TButon::OnClick, this, [this] { close(); });
  for (QLineEdit* e : {X, Y}) {
    e->installEventFilter(this);
    connect(e, &QLineEdit::textChanged, this, [this] { Changed(); });
  }
  setFixedSize(kRozmWidth, kRozmHeight);
}

int TFRozm::Value(const QString& text) {
  if (text.isEmpty() || text.size() > 9) return 0;
  int v = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return 0;
    v = v * 10 + (c.unicode() - u'0');
  }
  return v;
}

int TFRozm::Szerokosc() const { return Value(X->text()); }
int TFRozm::Wysokosc() const { return Value(Y->text()); }

void TFRozm::Changed() { NapisOk->setEnabled(Valid(Szerokosc()) && Valid(Wysokosc())); }

void TFRozm::Prepare(int width, int height) {
  X->setText(QString::number(width));
  Y->setText(QString::number(height));
  NapisOk->setEnabled(true);
  X->selectAll();
}

void TFRozm::showEvent(QShowEvent* event) {
  TSkinnedForm::showEvent(event);
  X->setFocus();
}

// Typed characters other than digits go nowhere; Backspace and the keys that
// type nothing (arrows, Delete, Tab, the clipboard's shortcuts) work as
// always.
bool TFRozm::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == X || watched == Y) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (NapisOk->isEnabled()) NapisOk->Click();
      return true;
    }
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    for (QChar c : key->text())
      if (c.isPrint() && (c < u'0' || c > u'9')) return true;
    return false;
  }
  return TSkinnedForm::eventFilter(watched, event);
}

bool AskWindowSize(int& width, int& height) {
  TFRozm dialog;
  dialog.Prepare(width, height);
  CentreOnScreen(dialog, TSkinnedForm::DialogOwner());
  if (dialog.ShowModal() != kMrOk) return false;
  width = dialog.Szerokosc();
  height = dialog.Wysokosc();
  return true;
}
