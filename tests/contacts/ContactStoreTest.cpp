#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "contacts/ContactStore.h"
#include "platform/Cp1250.h"

namespace {

QCollator Polish() { return QCollator(QLocale(QLocale::Polish)); }

TKontakt Contact(uint32_t numer, const std::string& nameUtf8) {
  TKontakt k;
  k.numer = numer;
  k.wyswietl = T(nameUtf8);
  return k;
}

std::vector<std::string> ShownNames(const ContactStore& s) {
  std::vector<std::string> out;
  for (int p = 0; p < s.Count(); ++p) out.push_back(cp1250::toUtf8(s.Record(s.RecordAt(p)).wyswietl));
  return out;
}

// The list as a stable bubble sort over the display order orders it, one
// collator comparison per pair: the reference the store must agree with.
std::vector<uint16_t> BubbleOrder(const ContactStore& s, std::vector<uint16_t> order, int* selected) {
  QCollator c = Polish();
  c.setCaseSensitivity(Qt::CaseInsensitive);
  const int n = int(order.size());
  for (int k = 1; k < n; ++k) {
    bool swapped = false;
    for (int p = 0; p <= n - 1 - k; ++p) {
      const TKontakt& a = s.Record(order[p]);
      const TKontakt& b = s.Record(order[p + 1]);
      bool out;
      if (a.Obecny() != b.Obecny()) {
        out = !a.Obecny();
      } else {
        out = c.compare(cp1250::toQString(a.wyswietl), cp1250::toQString(b.wyswietl)) > 0;
      }
      if (out) {
        std::swap(order[p], order[p + 1]);
        swapped = true;
        if (*selected == p) *selected = p + 1;
        else if (*selected == p + 1) *selected = p;
      }
    }
    if (!swapped) break;
  }
  return order;
}

}  // namespace

TEST(ContactStoreTest, AddingToAnEmptyStore) {
  ContactStore s(Polish());
  EXPECT_EQ(s.LastIndex(), -1);
  TKontakt k = Contact(5, "Ala");
  k.status = 4;
  k.opis = "stale";
  ASSERT_TRUE(s.Add(k));
  EXPECT_EQ(s.Count(), 1);
  EXPECT_EQ(s.LastIndex(), 0);
  EXPECT_EQ(s.DisplayOrder(), std::vector<uint16_t>{0});
  EXPECT_EQ(s.Record(0).status, 0);
  EXPECT_TRUE(s.Record(0).opis.empty());
  s.SetSelected(0);
  s.Clear();
  EXPECT_EQ(s.Count(), 0);
  EXPECT_EQ(s.Selected(), -1);
}

TEST(ContactStoreTest, PolishAlphabetPresenceFirstAndEqualNamesInAddedOrder) {
  ContactStore s(Polish());
  for (const char* n : {"ma", "łb", "ąa", "lz", "b", "ALA", "ala", "Ala"}) {
    s.Add(Contact(uint32_t(s.Count() + 1), n));
  }
  EXPECT_EQ(ShownNames(s), (std::vector<std::string>{"ALA", "ala", "Ala", "ąa", "b", "lz", "łb", "ma"}));

  // Present contacts go first whatever their names; blocked (6) is present,
  // "not available with description" (1) is not.
  s.ApplyStatus(1, 6, "", 0);             // ma
  s.ApplyStatus(4, 1, "opis", 0);         // lz
  s.ApplyStatus(7, 2, "", 0);             // the second "ala"
  EXPECT_EQ(ShownNames(s), (std::vector<std::string>{"ala", "ma", "ALA", "Ala", "ąa", "b", "lz", "łb"}));

  s.ResetStatuses();
  // "ala" stood before the other two when the statuses ended.
  EXPECT_EQ(ShownNames(s), (std::vector<std::string>{"ala", "ALA", "Ala", "ąa", "b", "lz", "łb", "ma"}))
      << "equal names keep the order they had in the list";
  for (int r = 0; r < s.Count(); ++r) {
    EXPECT_EQ(s.Record(r).status, 0);
    EXPECT_TRUE(s.Record(r).opis.empty());
  }
}

// With no locale set the names are still Polish: code points would put
// every Polish capital after "Z".
TEST(ContactStoreTest, WithoutALocaleNamesCollateAsPolish) {
  const QLocale saved;
  const std::vector<std::string> expected{"Celina", "Ćma", "Łucja", "Nieznajomy Żbik", "Zenon"};
  for (const QLocale& locale : {QLocale::c(), QLocale(QStringLiteral("POSIX"))}) {
    QLocale::setDefault(locale);
    ContactStore given{QCollator(locale)};
    ContactStore byDefault;
    for (ContactStore* s : {&given, &byDefault})
      for (const char* n : {"Nieznajomy Żbik", "Zenon", "Łucja", "Ćma", "Celina"})
        s->Add(Contact(uint32_t(s->Count() + 1), n));
    EXPECT_EQ(ShownNames(given), expected) << locale.name().toStdString();
    EXPECT_EQ(ShownNames(byDefault), expected) << locale.name().toStdString();
  }
  QLocale::setDefault(saved);
}

TEST(ContactStoreTest, UnknownStatusCodeIsStoredUnchangedAndStillDecidesPresence) {
  ContactStore s(Polish());
  s.Add(Contact(1, "a"));
  s.Add(Contact(2, "b"));
  EXPECT_EQ(s.ApplyStatus(2, 0x41, "x", 0), ContactStore::StatusResult::kZmieniony);
  EXPECT_EQ(s.Record(1).status, 0x41);
  EXPECT_TRUE(s.Record(1).MaOpis());
  EXPECT_EQ(ShownNames(s), (std::vector<std::string>{"b", "a"}));
}

TEST(ContactStoreTest, StrangersAreKnocksButTheOwnNumberIsNot) {
  ContactStore s(Polish());
  s.Add(Contact(100, "a"));
  EXPECT_EQ(s.ApplyStatus(555, 2, "", 100200), ContactStore::StatusResult::kPukanie);
  EXPECT_EQ(s.ApplyStatus(100200, 2, "", 100200), ContactStore::StatusResult::kWlasny);
  EXPECT_EQ(s.Record(0).status, 0);
  // A user who keeps the own number as a contact sees its status.
  s.Add(Contact(100200, "ja"));
  EXPECT_EQ(s.ApplyStatus(100200, 2, "", 100200), ContactStore::StatusResult::kZmieniony);
  EXPECT_EQ(s.Record(1).status, 2);
}

TEST(ContactStoreTest, NameForNumber) {
  ContactStore s(Polish());
  s.Add(Contact(4321, "Żaneta"));
  EXPECT_EQ(s.NameForNumber(4321, false), T("Żaneta"));
  EXPECT_EQ(s.NameForNumber(4321, true), T("Żaneta (4321)"));
  EXPECT_EQ(s.NameForNumber(3000000000u, true), "3000000000");
  EXPECT_EQ(s.FindByNumber(1), -1);
}

TEST(ContactStoreTest, RemoveMovesTheLastRecordAndKeepsEveryOtherOnceInOrder) {
  for (int r = 0; r < 6; ++r) {
    ContactStore s(Polish());
    // Display order differs from record order, so the moved last record sits
    // both before and after the removed one across the cases.
    for (const char* n : {"d", "b", "f", "a", "e", "c"}) s.Add(Contact(uint32_t(s.Count() + 10), n));
    std::vector<std::string> expected = ShownNames(s);
    const std::string gone = s.Record(r).wyswietl;
    std::erase(expected, gone);
    const uint32_t lastNumber = s.Record(5).numer;

    s.Remove(r);
    ASSERT_EQ(s.Count(), 5);
    EXPECT_EQ(ShownNames(s), expected) << "removed record " << r;
    std::set<int> seen(s.DisplayOrder().begin(), s.DisplayOrder().end());
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_EQ(*seen.rbegin(), 4);
    if (r != 5) {
      EXPECT_EQ(s.Record(r).numer, lastNumber);
    }
  }
  ContactStore one(Polish());
  one.Add(Contact(1, "x"));
  one.SetSelected(0);
  one.Remove(0);
  EXPECT_EQ(one.Count(), 0);
  EXPECT_EQ(one.Selected(), -1);
  one.Remove(0);  // nothing left: ignored
  EXPECT_EQ(one.Count(), 0);
}

TEST(ContactStoreTest, SelectionStaysOnItsContact) {
  ContactStore s(Polish());
  for (const char* n : {"a", "b", "c", "d"}) s.Add(Contact(uint32_t(s.Count() + 1), n));
  s.SetSelected(2);  // "c"
  s.ApplyStatus(4, 2, "", 0);  // "d" to the top
  EXPECT_EQ(s.Record(s.RecordAt(s.Selected())).wyswietl, "c");
  s.ApplyStatus(3, 4, "", 0);  // "c" itself moves
  EXPECT_EQ(s.Record(s.RecordAt(s.Selected())).wyswietl, "c");
  s.Add(Contact(9, "0"));
  EXPECT_EQ(s.Record(s.RecordAt(s.Selected())).wyswietl, "c");
  s.Remove(0);  // "a", shown below "c"
  EXPECT_EQ(s.Record(s.RecordAt(s.Selected())).wyswietl, "c");
  s.Remove(s.FindByNumber(4));  // "d", shown above "c"
  EXPECT_EQ(s.Record(s.RecordAt(s.Selected())).wyswietl, "c");
  TKontakt renamed = Contact(0, "zz");
  s.Edit(s.FindByNumber(3), renamed);
  EXPECT_EQ(s.Record(s.RecordAt(s.Selected())).wyswietl, "zz");
  EXPECT_EQ(s.Record(s.RecordAt(s.Selected())).numer, 3u) << "editing keeps the number";
  s.Remove(s.FindByNumber(3));
  EXPECT_EQ(s.Selected(), -1);
}

TEST(ContactStoreTest, AgreesWithTheBubbleSortOverRandomOperations) {
  std::mt19937 rng(7);
  const std::vector<std::string> names = {"Ala", "ala", "Ąda", "Bartek", "łukasz", "Lucyna",
                                          "Marek", "marek", "Źdźbło", "Zenon", "ćma", "Cezary"};
  ContactStore s(Polish());
  for (int step = 0; step < 600; ++step) {
    const int op = int(rng() % 10);
    if (s.Count() < 3 || op < 3) {
      s.Add(Contact(uint32_t(rng() % 40 + 1), names[rng() % names.size()]));
    } else if (op < 8) {
      const uint32_t numer = s.Record(int(rng() % s.Count())).numer;
      s.ApplyStatus(numer, uint8_t(rng() % 7), "", 0);
    } else if (op < 9 && s.Count() > 1) {
      s.Remove(int(rng() % s.Count()));
    } else {
      s.SetSelected(int(rng() % s.Count()));
    }
    if (s.Count() >= 30) s.Remove(0);

    // The store keeps its list in order; the bubble sort must find nothing to do
    // and a full sort must change nothing.
    int sel = s.Selected();
    const auto bubbled = BubbleOrder(s, s.DisplayOrder(), &sel);
    ASSERT_EQ(bubbled, s.DisplayOrder()) << "step " << step;
    const auto before = s.DisplayOrder();
    s.Sort();
    ASSERT_EQ(s.DisplayOrder(), before);
  }
}

TEST(ContactStoreTest, IncrementalPlacementMatchesTheBubbleSortStepByStep) {
  // The same status change applied to the store and, starting from the same
  // order, to the reference bubble sort: order and selection must agree.
  ContactStore s(Polish());
  for (const char* n : {"Ola", "ola", "OLA", "Ela", "ela", "Ula"}) s.Add(Contact(uint32_t(s.Count() + 1), n));
  const std::vector<std::pair<uint32_t, uint8_t>> changes = {{2, 2}, {5, 3}, {3, 2}, {2, 0}, {1, 2}, {5, 0}, {3, 1}};
  for (size_t i = 0; i < changes.size(); ++i) {
    s.SetSelected(int(i % 6));
    auto order = s.DisplayOrder();
    int sel = s.Selected();
    s.ApplyStatus(changes[i].first, changes[i].second, "", 0);
    order = BubbleOrder(s, order, &sel);
    EXPECT_EQ(s.DisplayOrder(), order) << "change " << i;
    EXPECT_EQ(s.Selected(), sel) << "change " << i;
  }
}

TEST(ContactStoreTest, AFullStoreRefusesMore) {
  ContactStore s(Polish());
  for (int i = 0; i < ContactStore::kPojemnosc; ++i) ASSERT_TRUE(s.Add(Contact(uint32_t(i + 1), "x")));
  EXPECT_FALSE(s.Add(Contact(9999, "y")));
  EXPECT_EQ(s.Count(), ContactStore::kPojemnosc);
}
