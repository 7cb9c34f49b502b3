#include <QSignalSpy>
#include <QTest>

#include <QCollator>
#include <QLocale>

#include "UiTestSupport.h"
#include "contacts/view/TLista.h"
#include "platform/Cp1250.h"
#include "ui/TImageList.h"
#include "ui/TSkinnedForm.h"
#include "ui/UNaForm.h"

namespace {

// Seven 16 x 16 pictures, one per status index: picture i is white with a
// black pixel at (5, 5), except picture 4, black all over.
TImageList StatusPictures() {
  QImage strip(7 * 16, 16, QImage::Format_RGB32);
  strip.fill(Qt::white);
  for (int i = 0; i < 7; ++i) strip.setPixel(i * 16 + 5, 5, qRgb(0, 0, 0));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) strip.setPixel(4 * 16 + x, y, qRgb(0, 0, 0));
  return TImageList(strip, 16);
}

TKontakt Contact(uint32_t numer, const char* name) {
  TKontakt k;
  k.numer = numer;
  k.wyswietl = name;
  return k;
}

constexpr uint32_t kWindowColour = 0x400000;  // dark blue: not the scheme's black

// A plain dark-blue window holding the list at its top-left corner, so that
// what the list leaves unpainted shows as the window.
struct ListTest : SkinTest {
  QWidget window;
  ContactStore store{QCollator(QLocale(QLocale::Polish))};
  TImageList pictures = StatusPictures();
  TLista* list = nullptr;

  void SetUp() override {
    SkinTest::SetUp();
    ColourScheme s;
    s.tekstura = false;
    ApplyColourScheme(s);
    window.resize(300, 300);
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, Kolor(kWindowColour));
    window.setPalette(pal);
    list = new TLista(store, &window);
    list->setGeometry(0, 0, 238, 200);
    list->SetIL(&pictures);
    list->RebuildIcons();
  }

  // Adds a contact and gives it a status (record index = order of adding).
  void Add(uint32_t numer, const char* name, uint8_t status, const std::string& opis = {}) {
    store.Add(Contact(numer, name));
    store.ApplyStatus(numer, status, opis, 999);
    list->Refresh();
  }
  QImage Paint() { return Render(window); }
  // Pixels in the area that are not the window's colour.
  static int Ink(const QImage& img, QRect area) {
    return area.width() * area.height() - CountOf(img, kWindowColour, area);
  }
};

}  // namespace

TEST_F(ListTest, SelectedRowIsABandOfTheHalfShadeAndOtherRowsLeaveTheWindowShowing) {
  Add(1, "Ala", 3, "opis Ali");  // present, description: rows 0..27
  Add(2, "Bolek", 2);             // present: rows 28..45
  store.SetSelected(1);
  list->Refresh();
  const QImage img = Paint();
  const uint32_t shade = colours().frameShade[1];
  ASSERT_NE(shade, kWindowColour);
  // Bolek's band, 18 pixels from 28, across the whole width.
  EXPECT_EQ(At(img, 230, 28), shade);
  EXPECT_EQ(At(img, 0, 45), shade);
  EXPECT_EQ(At(img, 237, 40), shade);
  EXPECT_EQ(At(img, 238, 40), kWindowColour);  // the list ends at 238
  EXPECT_EQ(At(img, 230, 46), kWindowColour);  // below the band
  // Ala's row has no background of its own.
  EXPECT_EQ(At(img, 230, 5), kWindowColour);
  EXPECT_EQ(At(img, 230, 22), kWindowColour);
  // Ala's description is in the description colour, on the line under her
  // name; nothing of that colour in the name band.
  const uint32_t opis = Skin::get().scheme().opis;
  EXPECT_GT(CountOf(img, opis, QRect(20, 15, 200, 13)), 0);
  EXPECT_EQ(CountOf(img, opis, QRect(0, 0, 238, 15)), 0);
  // The selected name is written in the text colour, the other in the
  // dimmed text colour.
  const uint32_t text = Skin::get().scheme().tekst, dimmed = colours().dimmedText;
  EXPECT_GT(CountOf(img, text, QRect(20, 28, 200, 18)), 0);
  EXPECT_EQ(CountOf(img, dimmed, QRect(20, 28, 200, 18)), 0);
  EXPECT_GT(CountOf(img, dimmed, QRect(20, 0, 200, 18)), 0);
}

TEST_F(ListTest, SelectedDescriptionLinesAreInTheBandAndKeepTheirLineBreaks) {
  Add(1, "Ala", 1, "a\r\nb");
  Add(2, "Ola", 1, "a\r\nb");
  store.SetSelected(1);
  list->Refresh();
  const ContactListLayout& l = list->Layout();
  ASSERT_EQ(l.rows.size(), 2u);
  EXPECT_EQ(l.rows[0].lines.size(), 1u);  // "a¬ b" flows on one line
  ASSERT_EQ(l.rows[1].lines.size(), 2u);  // a, then b
  const QImage img = Paint();
  const uint32_t shade = colours().frameShade[1];
  // Ola's row: 28 + 18 + 2 * 10 = 66 high bottom at 65, all in the shade.
  EXPECT_EQ(At(img, 230, 28), shade);
  EXPECT_EQ(At(img, 230, 50), shade);
  EXPECT_EQ(At(img, 230, 65), shade);
  EXPECT_EQ(At(img, 230, 66), kWindowColour);
  EXPECT_EQ(list->ContentHeight(), 66);
}

TEST_F(ListTest, PresentContactsAreBold) {
  Add(1, "Mmmmmm", 0);
  Add(2, "Mmmmmm", 2);
  // Present first: the bold one is on row 0.
  const QImage img = Paint();
  const int bold = Ink(img, QRect(20, 0, 200, 18));
  const int normal = Ink(img, QRect(20, 18, 200, 18));
  EXPECT_GT(normal, 0);
  EXPECT_GT(bold, normal + normal / 5);
}

TEST_F(ListTest, StatusIconAtOneOneOfItsRowTintedAndTransparentWhereBlack) {
  Add(1, "Ala", 3);  // row 0: picture 3
  Add(2, "Ola", 1);  // row 1 at 18 with one description line: picture 1
  store.SetSelected(1);
  list->Refresh();
  const QImage img = Paint();
  // Picture 3: white from (1, 1) to (16, 16), its black pixel at (6, 6)
  // letting the window show (the background is black, so black stays black
  // and is the icons' transparent colour).
  EXPECT_EQ(At(img, 1, 1), 0xFFFFFFu);
  EXPECT_EQ(At(img, 16, 16), 0xFFFFFFu);
  EXPECT_EQ(At(img, 6, 6), kWindowColour);
  EXPECT_NE(At(img, 0, 0), 0xFFFFFFu);
  EXPECT_NE(At(img, 17, 17), 0xFFFFFFu);
  // On the selected row at 28 the icon is tinted toward the band: its black
  // pixel takes the half shade.
  const uint32_t shade = colours().frameShade[1];
  EXPECT_EQ(At(img, 1, 29), 0xFFFFFFu);
  EXPECT_EQ(At(img, 6, 34), shade);
}

TEST_F(ListTest, IconPairsFollowTheColoursAndNeedAnImageList) {
  ASSERT_EQ(list->IconCount(), 7);
  // A black picture on a black background is all transparent; toward the
  // half shade it is all that shade.
  EXPECT_EQ(list->NormalIcon(4).toImage().pixelColor(3, 3).alpha(), 0);
  EXPECT_EQ(FromQRgb(list->SelectedIcon(4).toImage().pixel(3, 3)), colours().frameShade[1]);
  // A new background: black turns into it.
  ColourScheme s;
  s.tlo = 0x203040;
  s.tekstura = false;
  ApplyColourScheme(s);
  list->RebuildIcons();
  EXPECT_EQ(FromQRgb(list->NormalIcon(4).toImage().pixel(3, 3)), 0x203040u);
  EXPECT_EQ(FromQRgb(list->SelectedIcon(4).toImage().pixel(3, 3)), Skin::get().colours().frameShade[1]);
  // Without an image list the icons stay as they were.
  ContactStore other;
  TLista bare(other);
  bare.RebuildIcons();
  EXPECT_EQ(bare.IconCount(), 0);
}

TEST_F(ListTest, SkinnedWindowRebuildsTheIconsWhenTheSchemeIsApplied) {
  TSkinnedForm form;
  auto* onForm = new TLista(store, &form);
  onForm->SetIL(&pictures);
  ColourScheme s;
  s.tlo = 0x102030;
  s.tekstura = false;
  ApplyColourScheme(s);
  ASSERT_EQ(onForm->IconCount(), 7);
  EXPECT_EQ(FromQRgb(onForm->NormalIcon(4).toImage().pixel(0, 0)), 0x102030u);
}

TEST_F(ListTest, EmptyListDrawsNothingRaisesNothingAndKeepsItsContentHeight) {
  QSignalSpy changes(list, &TLista::NaZmiane);
  QImage img = Paint();
  EXPECT_EQ(Ink(img, QRect(0, 0, 238, 200)), 0);
  EXPECT_EQ(changes.count(), 0);
  for (uint32_t n = 1; n <= 3; ++n) Add(n, "K", 0);
  Paint();
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(list->ContentHeight(), 54);
  store.Clear();
  list->Refresh();
  img = Paint();
  EXPECT_EQ(Ink(img, QRect(0, 0, 238, 200)), 0);
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(list->ContentHeight(), 54);
}

TEST_F(ListTest, OffsetMovesTheRowsUpAndOnlyAChangeRepaints) {
  Add(1, "Ala", 0);
  Add(2, "Ola", 0);
  Add(3, "Ula", 0);
  list->resize(list->width(), 40);  // 54 pixels of rows: 14 to scroll
  store.SetSelected(1);
  list->Refresh();
  list->SetOdGory(10);
  EXPECT_EQ(list->OdGory(), 10u);
  const QImage img = Paint();
  const uint32_t shade = colours().frameShade[1];
  EXPECT_EQ(At(img, 230, 8), shade);   // 18 - 10
  EXPECT_EQ(At(img, 230, 25), shade);
  EXPECT_EQ(At(img, 230, 26), kWindowColour);
  EXPECT_EQ(list->ContentHeight(), 44);
  EXPECT_EQ(list->Layout().rows[0].bottom, 7);
  // Beyond what there is to scroll, an offset comes back to the last row.
  list->SetOdGory(30);
  EXPECT_EQ(list->ContentHeight(), 40);
  EXPECT_EQ(list->OdGory(), 14u);
}

TEST_F(ListTest, MouseDownWithAnyButtonSelectsTheRowOrClearsBelowTheLast) {
  Add(1, "Ala", 1, "opis");  // rows 0..27
  Add(2, "Ola", 0);          // rows 28..45
  Paint();
  QTest::mousePress(list, Qt::LeftButton, {}, QPoint(50, 35));
  EXPECT_EQ(store.Selected(), 1);
  QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(50, 35));
  // The lower part of Ala's description selects her.
  QTest::mousePress(list, Qt::RightButton, {}, QPoint(50, 25));
  EXPECT_EQ(store.Selected(), 0);
  QTest::mouseRelease(list, Qt::RightButton, {}, QPoint(50, 25));
  // The painting follows the selection.
  EXPECT_EQ(At(Paint(), 230, 20), colours().frameShade[1]);
  QTest::mousePress(list, Qt::MiddleButton, {}, QPoint(50, 120));
  EXPECT_EQ(store.Selected(), -1);
  EXPECT_EQ(At(Paint(), 230, 20), kWindowColour);
}

TEST_F(ListTest, DoubleClickReportsTheRecordIndexOfTheSelectedRowOnly) {
  Add(1, "Zenon", 0);  // record 0, shown second
  Add(2, "Adam", 0);   // record 1, shown first
  Add(3, "Bogdan", 2); // record 2, present: shown at the top
  Paint();
  QSignalSpy clicks(list, &TLista::PodwojnyKlik);
  QTest::mouseDClick(list, Qt::LeftButton, {}, QPoint(50, 40));  // position 2: Zenon
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks[0][0].value<TLista*>(), list);
  EXPECT_EQ(clicks[0][1].value<uint16_t>(), 0);
  QTest::mouseDClick(list, Qt::LeftButton, {}, QPoint(50, 5));  // Bogdan
  ASSERT_EQ(clicks.count(), 2);
  EXPECT_EQ(clicks[1][1].value<uint16_t>(), 2);
  // Below the rows the double-click clears the selection and reports nothing.
  QTest::mouseDClick(list, Qt::LeftButton, {}, QPoint(50, 150));
  EXPECT_EQ(store.Selected(), -1);
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ListTest, WidthChangeWrapsTheDescriptionAgain) {
  Add(1, "Ala", 1, T("jeden dwa trzy cztery pięć"));
  const size_t wide = list->Layout().rows[0].lines.size();
  list->resize(80, 200);
  const size_t narrow = list->Layout().rows[0].lines.size();
  EXPECT_EQ(wide, 1u);
  EXPECT_GT(narrow, 2u);
  EXPECT_EQ(list->ContentHeight(), 18 + 10 * static_cast<int64_t>(narrow));
}
