#include "ui/TFBoks.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QScreen>

#include "platform/Cp1250.h"
#include "ui/InputFitter.h"
#include "ui/SkinFonts.h"
#include "ui/TNapisButon.h"

namespace {

// Masked edits show "+" for every character, whatever the desktop's style
// would draw.
class PlusPasswordStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '+';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

constexpr int kBoksWidth = 209;
constexpr int kBoksHeight = 99;

}  // namespace

TFBoks::TFBoks(QWidget* parent) : TSkinnedForm(parent), plusStyle_(new PlusPasswordStyle) {
  setObjectName(QStringLiteral("FBoks"));
  plusStyle_->setParent(this);
  EtLabel = new QLabel(this);
  EtLabel->setObjectName(QStringLiteral("EtLabel"));
  EtLabel->setTextFormat(Qt::PlainText);
  EtLabel->setFont(SmallFont());
  EtLabel->setGeometry(10, 28, 190, 14);
  Et = new QLineEdit(this);
  Et->setObjectName(QStringLiteral("Et"));
  Et->setFrame(false);
  Et->setStyle(plusStyle_);
  Et->setGeometry(10, 43, 189, 19);
  EtLabel->setBuddy(Et);  // recoloured as the label of a labelled edit
  // A password reaches the server as typed or not at all: nothing is put
  // in the place of what the code page lacks.
  EtFitter = new InputFitter(Et, TextFitter(TextFitter::Forms::kExact));
  Et->installEventFilter(this);
  But = new TNapisButon(this);
  But->setObjectName(QStringLiteral("But"));
  But->SetNapis(T("Zatwierdź"));
  But->SetModal(kMrOk);
  But->setGeometry(64, 68, 81, 22);
  setFixedSize(kBoksWidth, kBoksHeight);
  Prepare(T("Wprowadź hasło"), T("Wprowadź hasło do serwera GG:"), true);
}

TFBoks::~TFBoks() {
  // Children go in the order they were made and the style was made first;
  // the edit that borrows it must not outlive it.
  delete Et;
}

void TFBoks::Prepare(const std::string& caption, const std::string& label, bool masked,
                     const std::string& text) {
  setWindowTitle(cp1250::toQString(caption));
  EtLabel->setText(cp1250::toQString(label));
  Et->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
  EtFitter->SetNamesRefused(!masked);
  Et->setText(cp1250::toQString(text));
}

std::string TFBoks::Text() const { return cp1250::fromQString(Et->text()); }

bool TFBoks::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Et && event->type() == QEvent::KeyPress &&
      EtKeyPress(static_cast<QKeyEvent*>(event)->key()))
    return true;
  return TSkinnedForm::eventFilter(watched, event);
}

// Enter confirms: it is swallowed by the edit and clicks the button.
bool TFBoks::EtKeyPress(int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  But->Click();
  return true;
}

std::string AskInBoks(const std::string& caption, const std::string& label, bool masked,
                      const std::string& text) {
  TFBoks boks;
  boks.Prepare(caption, label, masked, text);
  CentreOnScreen(boks, TSkinnedForm::DialogOwner());
  boks.Et->setFocus();
  boks.ShowModal();
  return boks.Text();
}

std::string AskPassword() {
  return AskInBoks(T("Wprowadź hasło"), T("Wprowadź hasło do serwera GG:"), true);
}
