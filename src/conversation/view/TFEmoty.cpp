#include "conversation/view/TFEmoty.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TButon.h"
#include "ui/Tint.h"

namespace {

constexpr int kClientWidth = 302;
constexpr int kClientHeight = 178;
constexpr int kColumns = 9;

// A flat button showing one tinted picture centred; the pointer over it
// draws a thin frame. A picture that could not be read shows the text it
// would insert, so the choice stays possible.
class PictureButton : public QAbstractButton {
 public:
  PictureButton(QWidget* parent, std::string_view fallback)
      : QAbstractButton(parent), fallback_(cp1250::toQString(std::string(fallback))) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
  }
  void SetGlyph(QPixmap glyph) {
    glyph_ = std::move(glyph);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const DerivedColours& d = Skin::get().colours();
    if (underMouse()) {
      p.setPen(Kolor(isDown() ? d.frameShade[0] : d.frameShade[2]));
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!glyph_.isNull()) {
      p.drawPixmap((width() - glyph_.width()) / 2, (height() - glyph_.height()) / 2, glyph_);
    } else {
      p.setFont(SmallFont());
      p.setPen(Kolor(Skin::get().scheme().tekst));
      p.drawText(rect(), Qt::AlignCenter, fallback_);
    }
  }

 private:
  QString fallback_;
  QPixmap glyph_;
};

}  // namespace

TFEmoty::TFEmoty(const QString& programDir, QWidget* parent) : TSkinnedForm(parent) {
  setObjectName(QStringLiteral("FEmoty"));
  setWindowTitle(QString::fromUtf8("Ikonki do wstawienia"));
  setFixedSize(kClientWidth, kClientHeight);
  FormCreate(programDir);
}

void TFEmoty::FormCreate(const QString& programDir) {
  BZamknij = new TButon(this);
  BZamknij->setObjectName(QStringLiteral("BZamknij"));
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij"));
  BZamknij->SetIL(&Skin::get().IL());
  BZamknij->SetNumer(6);
  BZamknij->setGeometry(3, 3, 16, 16);
  connect(BZamknij, &TButon::OnClick, this, [this] { SetModalResult(kZamknieto); });

  // Created in table order: a later button lies over the earlier ones it
  // overlaps, 9 columns on a 30-pixel pitch, 5 rows on a 25-pixel pitch.
  for (int i = 0; i < kLiczbaEmotikon; ++i) {
    const Emotikon& e = kEmotikony[i];
    pictures_[i] = QImage(programDir + QStringLiteral("/ikony/") +
                          QString::fromLatin1(e.obrazek.data(), int(e.obrazek.size())) +
                          QStringLiteral(".bmp"));
    auto* b = new PictureButton(this, e.tekst);
    b->setObjectName(QStringLiteral("Emotikon%1").arg(i));
    b->setGeometry((i % kColumns) * 30 + 10, (i / kColumns) * 25 + 30, 40, 30);
    b->setToolTip(cp1250::toQString(std::string(e.tekst)));
    b->setAccessibleName(b->toolTip());
    connect(b, &QAbstractButton::clicked, this, [this, i] { SetModalResult(kPierwszy + i); });
    Przyciski[i] = b;
  }
}

void TFEmoty::ApplyColours() {
  TSkinnedForm::ApplyColours();
  const uint32_t background = Skin::get().scheme().tlo;
  for (int i = 0; i < kLiczbaEmotikon; ++i) {
    if (pictures_[i].isNull()) continue;
    // The black ground of each picture takes the window's colour.
    QImage glyph = pictures_[i];
    TintBitmap(glyph, background, 0);
    static_cast<PictureButton*>(Przyciski[i])->SetGlyph(QPixmap::fromImage(glyph));
  }
}

int TFEmoty::Choose(QWidget* owner) {
  const QRect area = owner ? owner->frameGeometry()
                           : (QGuiApplication::primaryScreen()
                                  ? QGuiApplication::primaryScreen()->availableGeometry()
                                  : QRect(0, 0, width(), height()));
  move(area.center() - rect().center());
  return ShowModal();
}

std::string_view TFEmoty::InsertedText(int modalResult) {
  const int i = modalResult - kPierwszy;
  if (i < 0 || i >= kLiczbaEmotikon) return {};
  return kEmotikony[i].tekst;
}
