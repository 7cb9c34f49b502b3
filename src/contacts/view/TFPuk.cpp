#include "contacts/view/TFPuk.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>

#include "ui/Skin.h"
#include "ui/TButon.h"
#include "ui/Tint.h"

namespace {

constexpr int kPukWidth = 186;
constexpr int kPukHeight = 191;
constexpr int kItemHeight = 13;

TButon* Button(QWidget* parent, const char* name, uint8_t picture, int x, int y) {
  auto* b = new TButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetIL(&Skin::get().IL());
  b->SetNumer(picture);
  b->setGeometry(x, y, 16, 16);
  return b;
}

}  // namespace

TFPuk::TFPuk(QWidget* parent) : TSkinnedForm(parent) {
  setObjectName(QStringLiteral("FPuk"));
  setWindowTitle(QStringLiteral("Pukanie"));
  ListaPuk = new QListWidget(this);
  ListaPuk->setObjectName(QStringLiteral("ListaPuk"));
  ListaPuk->setFrameShape(QFrame::NoFrame);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPointSize(8);
  ListaPuk->setFont(font);
  ListaPuk->setGeometry(16, 24, 121, 153);
  connect(ListaPuk, &QListWidget::itemDoubleClicked, this, [this] { ListaPukDblClick(); });
  Buton1 = Button(this, "Buton1", 9, 152, 24);
  Buton2 = Button(this, "Buton2", 10, 152, 48);
  BZamknij = Button(this, "BZamknij", 6, 3, 3);
  ListaPuk->setAccessibleName(QString::fromUtf8("Pukający"));
  Buton1->setAccessibleName(QString::fromUtf8("Dodaj do znajomych"));
  Buton2->setAccessibleName(QString::fromUtf8("Usuń z listy"));
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij"));
  connect(Buton1, &TButon::OnClick, this, [this] { Buton1Click(); });
  connect(Buton2, &TButon::OnClick, this, [this] { Buton2Click(); });
  connect(BZamknij, &TButon::OnClick, this, [this] { close(); });
  setFixedSize(kPukWidth, kPukHeight);
  CentreOnScreen(*this, parent ? parent : TSkinnedForm::DialogOwner());
}

void TFPuk::ApplyColours() {
  TSkinnedForm::ApplyColours();
  QPalette pal = ListaPuk->palette();
  pal.setColor(QPalette::Base, Kolor(0x373737));
  pal.setColor(QPalette::Text, Kolor(0xDADADA));
  ListaPuk->setPalette(pal);
}

bool TFPuk::AddKnock(uint32_t numer) {
  if (!knocks_.Add(numer)) return false;
  auto* item = new QListWidgetItem(QString::fromStdString(knocks_.At(knocks_.Count() - 1)));
  item->setSizeHint(QSize(ListaPuk->width(), kItemHeight));
  ListaPuk->addItem(item);
  emit Changed();
  return true;
}

void TFPuk::Clear() {
  knocks_.Clear();
  ListaPuk->clear();
  emit Changed();
}

int TFPuk::SelectedIndex() const {
  const int row = ListaPuk->currentRow();
  if (row < 0 || row >= knocks_.Count() || !ListaPuk->item(row)->isSelected()) return -1;
  return row;
}

std::string TFPuk::SelectedNumber() const {
  const int i = SelectedIndex();
  return i < 0 ? std::string() : knocks_.At(i);
}

void TFPuk::RemoveAt(int i) {
  if (i < 0 || i >= knocks_.Count()) return;
  knocks_.RemoveAt(i);
  delete ListaPuk->takeItem(i);
  ListaPuk->setCurrentRow(-1);
  ListaPuk->clearSelection();
  emit Changed();
}

void TFPuk::Buton1Click() {
  if (SelectedIndex() >= 0) emit AddRequested();
}

void TFPuk::Buton2Click() { RemoveAt(SelectedIndex()); }

// The number stays in the list.
void TFPuk::ListaPukDblClick() {
  bool ok = false;
  const uint32_t numer = QString::fromStdString(SelectedNumber()).toUInt(&ok);
  if (ok && numer > 0) emit OpenChatRequested(numer);
}
