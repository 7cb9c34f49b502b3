// The settings dialog's colour tab: a swatch for each colour of the scheme,
// the texture box, the default and the inverted scheme.

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "app/TFMain.h"
#include "app/TFUsta.h"
#include "app/TFUstaParts.h"
#include "ui/ColourScheme.h"
#include "ui/Skin.h"
#include "ui/PressableAccessible.h"
#include "ui/Tint.h"

namespace {

// A panel in one colour that reports a left click.
class Swatch : public QWidget {
  Q_OBJECT
 public:
  Swatch(QWidget* parent, std::function<void()> onClick) : QWidget(parent), onClick_(std::move(onClick)) {
    setCursor(Qt::PointingHandCursor);
  }
  void Press() { onClick_(); }

 protected:
  // The colour inside a frame, so that a swatch in the background colour
  // still shows where it is.
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Kolor(Skin::get().colours().frameShade[1]));
    p.fillRect(rect().adjusted(1, 1, -1, -1), palette().color(QPalette::Window));
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) onClick_();
  }

 private:
  std::function<void()> onClick_;
};

// A swatch to a screen reader: a button named by the label beside it, its
// colour as its value, pressed as a click presses it (the colour dialog).
class SwatchAccessible : public PressableAccessible {
 public:
  explicit SwatchAccessible(Swatch* swatch) : PressableAccessible(swatch) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return widget()->palette().color(QPalette::Window).name();
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override { return {pressAction()}; }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 protected:
  void Press() override { static_cast<Swatch*>(widget())->Press(); }
};

constexpr int kRow = 24;
constexpr int kTop = 8;

}  // namespace

QAccessibleInterface* SwatchAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("Swatch") && object && object->isWidgetType())
    return new SwatchAccessible(static_cast<Swatch*>(object));
  return nullptr;
}

void PaintSwatch(QWidget* swatch, uint32_t colour) {
  QPalette pal = swatch->palette();
  pal.setColor(QPalette::Window, Kolor(colour));
  swatch->setPalette(pal);
  swatch->update();
}

void TFUsta::BuildTabSheet1() {
  struct Row {
    const char* name;
    const char* label;
    void (TFUsta::*click)();
  };
  const Row rows[] = {
      {"SzTlo", "kolor tła", &TFUsta::SzTloClick},
      {"SzTekst", "gwieździsta tekstura na tle", nullptr},
      {"SzText", "kolor tekstu", &TFUsta::SzTextClick},
      {"SzOpis", "kolor opisów", &TFUsta::SzOpisClick},
      {"SzBlad", "kolor komunikatu", &TFUsta::SzBladClick},
      {"SzWysl", "tło wiadomości odebranej", &TFUsta::SzWyslClick},
      {"SzOdeb", "tło wiadomości wysłanej", &TFUsta::SzOdebClick},
      {"SzCzasu", "czas wysłania wiadomości", &TFUsta::SzCzasuClick},
  };
  QWidget* made[8] = {};
  for (int i = 0; i < 8; ++i) {
    const int y = kTop + i * kRow;
    const Row& row = rows[i];
    if (!row.click) {
      SzTekst = new QCheckBox(TabSheet1);
      SzTekst->setObjectName(QString::fromLatin1(row.name));
      SzTekst->setGeometry(12, y + 1, 18, 18);
      SzTekst->setAccessibleName(QString::fromUtf8(row.label));
      connect(SzTekst, &QCheckBox::clicked, this, [this] { SzTekstClick(); });
    } else {
      auto* swatch = new Swatch(TabSheet1, [this, click = row.click] { (this->*click)(); });
      swatch->setObjectName(QString::fromLatin1(row.name));
      swatch->setGeometry(8, y, 26, 18);
      swatch->setAccessibleName(QString::fromUtf8(row.label));
      made[i] = swatch;
    }
    QLabel* label = usta::Label(TabSheet1, (std::string("L") + row.name).c_str(), {42, y + 2, 230, 16}, 0);
    label->setText(QString::fromUtf8(row.label));
  }
  SzTlo = made[0];
  SzText = made[2];
  SzOpis = made[3];
  SzBlad = made[4];
  SzWysl = made[5];
  SzOdeb = made[6];
  SzCzasu = made[7];
  NapisButon1 = usta::Button(TabSheet1, "NapisButon1", "kolory domyślne", {8, 206, 132, 28});
  NapisButon7 = usta::Button(TabSheet1, "NapisButon7", "odwróć kolory", {148, 206, 132, 28});
  connect(NapisButon1, &TNapisButon::OnClick, this, [this] { NapisButon1Click(); });
  connect(NapisButon7, &TNapisButon::OnClick, this, [this] { NapisButon7Click(); });
}

void TFUsta::ShowColourSwatches() {
  const ColourScheme& s = main_.State().kolory;
  PaintSwatch(SzTlo, s.tlo);
  PaintSwatch(SzText, s.tekst);
  PaintSwatch(SzOpis, s.opis);
  PaintSwatch(SzBlad, s.komunikat);
  PaintSwatch(SzWysl, s.odebrane);
  PaintSwatch(SzOdeb, s.wyslane);
  PaintSwatch(SzCzasu, s.czas);
  // Not a click: the box only shows the flag.
  SzTekst->setChecked(s.tekstura);
}

void TFUsta::SwatchClick(QWidget* swatch, uint32_t ColourScheme::*colour) {
  ColourScheme& s = main_.State().kolory;
  const std::optional<uint32_t> chosen = picker_(s.*colour);
  if (!chosen) return;
  s.*colour = *chosen & 0xFFFFFF;
  PaintSwatch(swatch, s.*colour);
  main_.ApplyColourScheme();
}

void TFUsta::SzTloClick() { SwatchClick(SzTlo, &ColourScheme::tlo); }
void TFUsta::SzTextClick() { SwatchClick(SzText, &ColourScheme::tekst); }
void TFUsta::SzOpisClick() { SwatchClick(SzOpis, &ColourScheme::opis); }
void TFUsta::SzBladClick() { SwatchClick(SzBlad, &ColourScheme::komunikat); }
void TFUsta::SzWyslClick() { SwatchClick(SzWysl, &ColourScheme::odebrane); }
void TFUsta::SzOdebClick() { SwatchClick(SzOdeb, &ColourScheme::wyslane); }
void TFUsta::SzCzasuClick() { SwatchClick(SzCzasu, &ColourScheme::czas); }

void TFUsta::SzTekstClick() {
  main_.State().kolory.tekstura = SzTekst->isChecked();
  main_.ApplyColourScheme();
}

void TFUsta::NapisButon1Click() { main_.Identities().ResetColours(); }

// Every colour turned over; the dimmed caption colour follows from the text
// and the background. The texture stays as it is.
void TFUsta::NapisButon7Click() {
  ColourScheme& s = main_.State().kolory;
  for (uint32_t ColourScheme::*c : {&ColourScheme::tlo, &ColourScheme::tekst, &ColourScheme::opis,
                                    &ColourScheme::komunikat, &ColourScheme::czas, &ColourScheme::odebrane,
                                    &ColourScheme::wyslane})
    s.*c ^= 0xFFFFFF;
  main_.ApplyColourScheme();
  ShowColourSwatches();
}

#include "TFUstaKolory.moc"
