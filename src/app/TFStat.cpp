#include "app/TFStat.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>

#include "conversation/EmojiEmoticons.h"
#include "platform/Cp1250.h"
#include "protocol/StatusMap.h"
#include "ui/InputFitter.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/TButon.h"

namespace {

constexpr int kStatWidth = 170;
constexpr int kStatHeight = 150;

TButon* StatusButton(QWidget* parent, const char* name, uint8_t numer, int left) {
  auto* b = new TButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetIL(&Skin::get().ILDuze());
  b->SetNumer(numer);
  std::string label;
  if (status::Label(numer, true, label)) b->setToolTip(cp1250::toQString(label));
  b->setGeometry(left, 108, 32, 32);
  return b;
}

}  // namespace

TFStat::TFStat(QWidget* parent) : TSkinnedForm(parent) {
  setObjectName(QStringLiteral("FStat"));
  setWindowTitle(QString::fromUtf8("Zmiana stanu"));
  setFixedSize(kStatWidth, kStatHeight);

  BZamknij = new TButon(this);
  BZamknij->setObjectName(QStringLiteral("BZamknij"));
  BZamknij->SetIL(&Skin::get().IL());
  BZamknij->SetNumer(6);
  BZamknij->setGeometry(3, 3, 16, 16);
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij"));
  connect(BZamknij, &TButon::OnClick, this, [this] { SetModalResult(kMrCancel); });

  Edit1 = new QPlainTextEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setAccessibleName(QString::fromUtf8("Opis"));
  Edit1->setFont(SansSerifFont());
  Edit1->setFrameShape(QFrame::NoFrame);
  Edit1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Edit1->setTabChangesFocus(true);
  Edit1->setGeometry(8, 26, 154, 56);
  // Others read the description as text: an emoji goes as the shorthand
  // everybody reads as a face, or not at all.
  Edit1Fitter = new InputFitter(Edit1, TextFitter(TextFitter::Forms::kPlain, EmojiAsShorthands()), kMaxOpis);
  connect(Edit1, &QPlainTextEdit::textChanged, this, [this] { Edit1Change(); });
  // The dialog opens for the description: the keyboard writes it at once.
  Edit1->setFocus();

  CheckBox1 = new QCheckBox(this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setAccessibleName(QString::fromUtf8("status opisowy"));
  CheckBox1->setGeometry(8, 87, 16, 16);
  CheckBox1->setChecked(true);
  CheckBox1->setEnabled(false);
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(SmallFont());
  Label1->setText(QString::fromUtf8("status opisowy"));
  Label1->setGeometry(26, 89, 120, 13);
  SetTag(Label1, 0);

  Buton1 = StatusButton(this, "Buton1", status::kDostepny, 17);
  Buton2 = StatusButton(this, "Buton2", status::kZarazWracam, 69);
  Buton3 = StatusButton(this, "Buton3", status::kNiedostepny, 121);
  for (TButon* b : {Buton1, Buton2, Buton3})
    connect(b, &TButon::OnClick, this, [this, b] { butStatusClick(b); });

  CentreOnScreen(*this, parent ? parent : TSkinnedForm::DialogOwner());
}

std::string TFStat::Text() const {
  std::string text = cp1250::fromQString(Edit1->toPlainText());
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void TFStat::SetText(const std::string& text) {
  // CR LF, a lone CR and a lone LF each end a line in the box.
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines += '\n';
    } else {
      lines += text[i];
    }
  }
  // A longer stored description shows whole; it may only shrink.
  Edit1Fitter->SetText(cp1250::toQString(lines));
}

void TFStat::Edit1Change() {
  const bool filled = !Edit1->toPlainText().isEmpty();
  CheckBox1->setEnabled(filled);
  if (filled) CheckBox1->setChecked(true);
}

void TFStat::butStatusClick(const TButon* sender) {
  uint8_t v = sender->Numer();
  if (CheckBox1->isChecked() && !Edit1->toPlainText().isEmpty()) ++v;
  wybor_ = v;
  SetModalResult(kMrOk);
}
