#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "AppendedTexts.h"
#include "conversation/ConversationLayout.h"
#include "conversation/MessageArchive.h"
#include "platform/TimeZone.h"
#include "platform/Cp1250.h"
#include "platform/desktop/ShellOpen.h"
#include "support/ScriptedMessageBox.h"
#include "support/ZoneScope.h"

namespace {

std::string ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

void WriteAll(const QString& path, const std::string& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

int RunProbe(const QStringList& args) {
  QProcess probe;
  probe.start(QStringLiteral(ARCHIVE_PROBE), args);
  if (!probe.waitForFinished(20000)) return -1;
  return probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
}

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    folder_ = dir_.path();
    now_ = QDateTime(QDate(2026, 12, 8), QTime(17, 20, 0));
  }

  MessageArchive::NameLookup Names() {
    return [this](uint32_t n) -> std::optional<std::string> {
      auto it = contacts_.find(n);
      if (it == contacts_.end()) return std::nullopt;
      return it->second;
    };
  }

  std::unique_ptr<MessageArchive> Make(std::set<std::string> pictures = {}) {
    return std::make_unique<MessageArchive>(
        folder_,
        [pictures](const std::string& n) { return pictures.count(n) > 0; }, Names(),
        [this] { return now_; });
  }

  QString Path(const std::string& number) const {
    return folder_ + "/" + QString::fromStdString(number) + ".html";
  }

  QTemporaryDir dir_;
  QString folder_;
  QDateTime now_;
  std::map<uint32_t, std::string> contacts_;
};

}  // namespace

TEST_F(ArchiveTest, NewArchiveHoldsExactlyTheHead) {
  auto archive = Make();
  EXPECT_FALSE(archive->Exists("123"));
  ASSERT_TRUE(archive->CreateArchive("123"));
  EXPECT_TRUE(archive->IsOpen());
  EXPECT_TRUE(archive->Exists("123"));
  std::string file = ReadAll(Path("123"));
  ASSERT_EQ(file.size(), 318u + 3 + 157 + 3 + 11);
  EXPECT_EQ(file.substr(318, 3), "123");
  EXPECT_EQ(file.substr(318 + 3 + 157, 3), "123");
  EXPECT_EQ(file.rfind("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<html>\r\n", 0), 0u);
  EXPECT_EQ(file.substr(318 - 41, 41), T("<title>Wirmelak - archiwum rozmów numeru "));
  EXPECT_EQ(file.substr(318 + 3, 8), "</title>");
  EXPECT_TRUE(EndsWith(file, T("Archiwum rozmów numeru 123</p></body>")));
  EXPECT_EQ(file.find("</html>"), std::string::npos);
  // Every line ends CR LF.
  EXPECT_EQ(Count(file, "\n"), 12u);
  EXPECT_EQ(Count(file, "\r\n"), 12u);
  EXPECT_EQ(file, MessageArchive::Head("123"));
}

TEST_F(ArchiveTest, FirstEntryFollowsTheHeadingWithASeparator) {
  auto archive = Make();
  ASSERT_TRUE(archive->CreateArchive("123"));
  archive->ArchiveMessage(555, "hej");
  std::string head = MessageArchive::Head("123");
  std::string file = ReadAll(Path("123"));
  EXPECT_EQ(file, head.substr(0, head.size() - 7) +
                      "<hr><p class=czyje><b>Rozmowa z 555</b>, 2026-12-08 17:20:00<br>hej</p>\r\n</body>");
  EXPECT_NE(file.find("</p><hr>"), std::string::npos);
}

TEST_F(ArchiveTest, OwnMessageToAContactNamesItWithItsNumber) {
  contacts_[4321] = "Ala";
  contacts_[77] = "<script>alert(1)</script>";
  auto archive = Make();
  ASSERT_TRUE(archive->CreateArchive("123"));
  archive->ArchiveMessage(4321 | kWlasnaWiadomosc, "czesc");
  archive->ArchiveMessage(4321, "siema");
  archive->ArchiveMessage(77, "x");
  std::string file = ReadAll(Path("123"));
  EXPECT_NE(file.find("<p class=moje><b>Rozmowa z Ala (4321)</b>, "), std::string::npos);
  EXPECT_NE(file.find("<p class=czyje><b>Rozmowa z Ala (4321)</b>, "), std::string::npos);
  EXPECT_NE(file.find("<b>Rozmowa z &lt;script&gt;alert(1)&lt;/script&gt; (77)</b>"),
            std::string::npos);
  EXPECT_EQ(file.find("<script>"), std::string::npos);
  EXPECT_TRUE(EndsWith(file, "<br>x</p>\r\n</body>"));
}

TEST_F(ArchiveTest, SeparatorOnFirstEntryOfARunAndAtEveryNewDay) {
  {
    auto archive = Make();
    ASSERT_TRUE(archive->CreateArchive("123"));
    archive->ArchiveMessage(1, "a");
    now_ = now_.addSecs(3600);
    archive->ArchiveMessage(2, "b");  // same day
    EXPECT_EQ(Count(ReadAll(Path("123")), "<hr>"), 1u);
    now_ = QDateTime(QDate(2026, 12, 9), QTime(0, 0, 1));
    archive->ArchiveMessage(3, "c");  // after midnight
    std::string file = ReadAll(Path("123"));
    EXPECT_EQ(Count(file, "<hr>"), 2u);
    EXPECT_NE(file.find("b</p>\r\n<hr><p class=czyje><b>Rozmowa z 3</b>, 2026-12-09 00:00:01"),
              std::string::npos);
  }
  // A restart on the same day separates again.
  auto again = Make();
  ASSERT_TRUE(again->OpenExisting("123"));
  again->ArchiveMessage(4, "d");
  std::string file = ReadAll(Path("123"));
  EXPECT_EQ(Count(file, "<hr>"), 3u);
  EXPECT_TRUE(EndsWith(file, "c</p>\r\n<hr><p class=czyje><b>Rozmowa z 4</b>, 2026-12-09 00:00:01<br>d</p>\r\n</body>"));
  EXPECT_EQ(Count(file, "</body>"), 1u);
}

TEST_F(ArchiveTest, MessageTextIsConverted) {
  auto archive = Make({"b", "usmiech"});
  ASSERT_TRUE(archive->CreateArchive("9"));
  archive->ArchiveMessage(1, "<b>");
  archive->ArchiveMessage(1, "<i>:)\r\nhttp://x.pl");
  std::string file = ReadAll(Path("9"));
  EXPECT_NE(file.find("<br><img align=bottom src=\"../ikony/b.bmp\"></p>"), std::string::npos);
  EXPECT_NE(file.find("<br>&lt;i&gt;<img align=bottom src=\"../ikony/usmiech.bmp\"><br>"
                      "<a href=\"http://x.pl\">http://x.pl</a></p>"),
            std::string::npos);

  auto plain = Make();
  ASSERT_TRUE(plain->CreateArchive("10"));
  plain->ArchiveMessage(1, "<b>");
  EXPECT_NE(ReadAll(Path("10")).find("<br>&lt;b&gt;</p>"), std::string::npos);
}

TEST_F(ArchiveTest, FileNotEndingInBodyKeepsAllItHad) {
  WriteAll(Path("5"), "written by hand, no closing");
  auto archive = Make();
  ASSERT_TRUE(archive->OpenExisting("5"));
  archive->ArchiveMessage(6, "one");
  archive->ArchiveMessage(6, "two");
  std::string file = ReadAll(Path("5"));
  EXPECT_EQ(file.rfind("written by hand, no closing<hr><p class=czyje>", 0), 0u);
  EXPECT_NE(file.find("<br>one</p>\r\n<p class=czyje>"), std::string::npos);
  EXPECT_TRUE(EndsWith(file, "<br>two</p>\r\n</body>"));

  WriteAll(Path("6"), "");
  ASSERT_TRUE(archive->OpenExisting("6"));
  archive->ArchiveMessage(6, "x");
  EXPECT_EQ(ReadAll(Path("6")).rfind("<p class=czyje>", 0), 0u);
}

TEST_F(ArchiveTest, AnAppendCutShortIsTakenBackOnOpenAndNothingElseIs) {
  // Every length an append can be stopped at, for the first entry and for
  // one after others: what was written before stays, the cut entry goes
  // (or stays, when only its "</body>" was missing), the next follows.
  auto archive = Make();
  ASSERT_TRUE(archive->CreateArchive("3"));
  const std::string empty = ReadAll(Path("3"));
  archive->ArchiveMessage(9 | kWlasnaWiadomosc, "pierwsza");
  const std::string one = ReadAll(Path("3"));
  archive->ArchiveMessage(9, "druga\r\nlinia www.example.pl <b>");
  const std::string two = ReadAll(Path("3"));
  archive->Close();

  const std::string next =
      "<hr><p class=czyje><b>Rozmowa z 9</b>, 2026-12-08 17:20:00<br>dalej</p>\r\n</body>";
  for (const auto& [before, after] : {std::pair{empty, one}, std::pair{one, two}}) {
    const std::string kept = before.substr(0, before.size() - 7);  // without "</body>"
    const std::string entry = after.substr(kept.size());          // with its own
    for (size_t k = 0; k < entry.size(); ++k) {
      WriteAll(Path("3"), kept + entry.substr(0, k));
      auto reopened = Make();
      ASSERT_TRUE(reopened->OpenExisting("3"));
      const std::string& whole = k < entry.size() - 7 ? before : after;
      ASSERT_EQ(ReadAll(Path("3")), whole) << k;
      reopened->ArchiveMessage(9, "dalej");
      ASSERT_EQ(ReadAll(Path("3")), whole.substr(0, whole.size() - 7) + next) << k;
    }
  }

  // Endings the program never writes are left as they are.
  const std::string kept = two.substr(0, two.size() - 7);
  for (const std::string hand : {"<p>notatka</p>", "</body></html>", "<p class=czyje><b>Rozmowa z x</b></body>\r\n"}) {
    WriteAll(Path("3"), kept + hand);
    auto reopened = Make();
    ASSERT_TRUE(reopened->OpenExisting("3"));
    EXPECT_EQ(ReadAll(Path("3")), kept + hand);
  }
}

TEST_F(ArchiveTest, AKilledAppendKeepsEveryEntryBeforeItAndTheNextFollowsThem) {
  const QString path = Path("7");
  auto entry = [](int i, bool first) {
    return std::string(first ? "<hr>" : "") + "<p class=czyje><b>Rozmowa z 7</b>, 2026-12-08 17:20:00<br>" +
           AppendedText(i) + "</p>\r\n";
  };
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delayUs(0, 12000);

  std::string file;
  int next = 0, none = 0, some = 0, torn = 0;
  for (int kill = 0; kill < 200; ++kill) {
    // Begun again now and then, so that reading it back stays cheap.
    if (file.size() < 7 || file.size() > 1000000) {
      MessageArchive created(folder_, nullptr, nullptr);
      ASSERT_TRUE(created.CreateArchive("7"));
      file = ReadAll(path);
    }
    QProcess appender;
    appender.start(QStringLiteral(ARCHIVE_PROBE), {"append", folder_, "7", QString::number(next)});
    ASSERT_TRUE(appender.waitForReadyRead(10000));
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    appender.kill();
    ASSERT_TRUE(appender.waitForFinished(10000));
    ASSERT_EQ(appender.exitStatus(), QProcess::CrashExit) << "the appender stopped by itself";

    // Untouched up to the "</body>" the next append overwrites.
    const std::string killed = ReadAll(path);
    const std::string kept = file.substr(0, file.size() - 7);
    ASSERT_EQ(killed.compare(0, kept.size(), kept), 0) << "kill " << kill;
    if (!EndsWith(killed, "</body>")) ++torn;

    // Opened again: the entries before, then whole entries of this run.
    MessageArchive archive(folder_, nullptr, nullptr, &AppendedAt);
    ASSERT_TRUE(archive.OpenExisting("7"));
    file = ReadAll(path);
    std::string want = kept;
    const int first = next;
    while (want.size() + 7 < file.size()) want += entry(next, next == first), ++next;
    ASSERT_EQ(file, want + "</body>") << "kill " << kill;
    (next == first ? none : some) += 1;

    archive.ArchiveMessage(7, AppendedText(next));
    file = ReadAll(path);
    ASSERT_EQ(file, want + entry(next, true) + "</body>") << "kill " << kill;
    ++next;
  }
  std::printf("200 kills: %d during the first append, %d after whole appends; %d cut an entry short\n",
              none, some, torn);
  EXPECT_GT(some, 0);
}

TEST_F(ArchiveTest, NoArchiveOpenWarnsAndWritesNothing) {
  ScriptedMessageBox boxes;
  auto archive = Make();
  archive->ArchiveMessage(1, "lost");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.textsUtf8()[0], "Błąd wewnętrzny EArchiwumNULL");
  EXPECT_EQ(boxes.shown()[0].kind, kOstrzezenie);

  ASSERT_TRUE(archive->CreateArchive("1"));
  archive->Close();
  EXPECT_FALSE(archive->IsOpen());
  archive->ArchiveMessage(1, "lost too");
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(ReadAll(Path("1")), MessageArchive::Head("1"));
}

TEST_F(ArchiveTest, OpeningAMissingArchiveFailsAndKeepsTheOpenOne) {
  auto archive = Make();
  ASSERT_TRUE(archive->CreateArchive("1"));
  EXPECT_FALSE(archive->OpenExisting("2"));
  ASSERT_TRUE(archive->IsOpen());
  archive->ArchiveMessage(3, "still here");
  EXPECT_NE(ReadAll(Path("1")).find("still here"), std::string::npos);
  // Reopening and recreating the archive this object holds itself.
  EXPECT_TRUE(archive->OpenExisting("1"));
  EXPECT_TRUE(archive->CreateArchive("1"));
  EXPECT_EQ(ReadAll(Path("1")), MessageArchive::Head("1"));
  EXPECT_FALSE(archive->CreateArchive("no/such/folder/1"));
  EXPECT_TRUE(archive->IsOpen());
}

TEST_F(ArchiveTest, AnotherProcessCannotOpenReplaceOrDeleteAHeldArchive) {
  auto archive = Make();
  ASSERT_TRUE(archive->CreateArchive("123"));
  archive->ArchiveMessage(1, "keep me");
  const std::string before = ReadAll(Path("123"));
  const QStringList where{folder_, QStringLiteral("123")};

  EXPECT_EQ(RunProbe(QStringList{"open"} + where), 1);
  EXPECT_EQ(RunProbe(QStringList{"create"} + where), 1);
  EXPECT_EQ(ReadAll(Path("123")), before) << "a refused create truncated the archive";
  EXPECT_EQ(RunProbe(QStringList{"locked"} + where), 0);

  archive->Close();
  EXPECT_EQ(RunProbe(QStringList{"locked"} + where), 1);
  EXPECT_EQ(RunProbe(QStringList{"open"} + where), 0);
  EXPECT_FALSE(MessageArchive::IsLockedElsewhere(folder_, "123"));
  EXPECT_FALSE(MessageArchive::IsLockedElsewhere(folder_, "404"));
}

TEST_F(ArchiveTest, ArchiveHeldByAnotherProcessIsRefusedUntilItLetsGo) {
  auto archive = Make();
  ASSERT_TRUE(archive->CreateArchive("1"));
  ASSERT_TRUE(archive->CreateArchive("2"));
  ASSERT_TRUE(archive->OpenExisting("1"));

  QProcess holder;
  holder.start(QStringLiteral(ARCHIVE_PROBE), {"hold", folder_, "2"});
  ASSERT_TRUE(holder.waitForReadyRead(20000));
  ASSERT_EQ(holder.readAll().trimmed(), "ready");

  EXPECT_TRUE(MessageArchive::IsLockedElsewhere(folder_, "2"));
  EXPECT_FALSE(archive->OpenExisting("2"));
  EXPECT_FALSE(archive->CreateArchive("2"));
  EXPECT_TRUE(archive->IsOpen()) << "the failed switch lost the current archive";

  holder.closeWriteChannel();
  ASSERT_TRUE(holder.waitForFinished(20000));
  EXPECT_TRUE(archive->OpenExisting("2"));
}

TEST_F(ArchiveTest, ProcessesStartedMeanwhileDoNotKeepTheLock) {
  auto archive = Make();
  ASSERT_TRUE(archive->CreateArchive("1"));
  ASSERT_TRUE(archive->CreateArchive("2"));
  archive->Close();
  ASSERT_TRUE(archive->OpenExisting("1"));
  // Like a browser started through the shell while archive 1 is open.
  QProcess child;
  child.start(QStringLiteral(ARCHIVE_PROBE), {"hold", folder_, "2"});
  ASSERT_TRUE(child.waitForReadyRead(20000));
  archive->Close();
  EXPECT_FALSE(MessageArchive::IsLockedElsewhere(folder_, "1"));
  child.closeWriteChannel();
  child.waitForFinished(20000);
}

namespace {
class RecordingShell : public ShellOpen {
 public:
  bool Open(const QString& path, const QString& workingDir) override {
    calls.push_back({path, workingDir});
    return true;
  }
  std::vector<std::pair<QString, QString>> calls;
};
}  // namespace

TEST(ArchButClick, OpensTheIdentitysArchiveOnlyWithAnIdentity) {
  RecordingShell shell;
  EXPECT_FALSE(ArchButClick(0, "/opt/Wirmelak", shell));
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_TRUE(ArchButClick(4321, "/opt/Wirmelak", shell));
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].first, "/opt/Wirmelak/osoby/4321.html");
  EXPECT_EQ(shell.calls[0].second, "/opt/Wirmelak/osoby");
}

// The partner's question at 17:17 UTC and the answer a minute later: the
// archive stamps them on the machine's clock, as the chat window labels
// them, in any zone.
TEST_F(ArchiveTest, StampsAgreeWithTheViewsLabelsInEveryZone) {
  constexpr int64_t kQuestion = 1796750220;  // 2026-12-08 17:17 UTC
  struct Case {
    const char* zone;
    const char* question;
    const char* answer;
  };
  for (const Case& c : {Case{"UTC", "2026-12-08 17:17:00", "2026-12-08 17:18:00"},
                        Case{"Europe/Warsaw", "2026-12-08 18:17:00", "2026-12-08 18:18:00"},
                        Case{"America/New_York", "2026-12-08 12:17:00", "2026-12-08 12:18:00"}}) {
    SCOPED_TRACE(c.zone);
    ZoneScope zone(c.zone);
    const std::string number = std::string("9") + std::to_string(std::strlen(c.zone));
    auto archive = Make();
    ASSERT_TRUE(archive->CreateArchive(number));
    now_ = QDateTime::fromSecsSinceEpoch(kQuestion);
    archive->ArchiveMessage(5551, "o ktorej?");
    now_ = QDateTime::fromSecsSinceEpoch(kQuestion + 60);
    archive->ArchiveMessage(5551 | kWlasnaWiadomosc, "zaraz");
    const std::string file = ReadAll(Path(number));
    EXPECT_NE(file.find(std::string("czyje><b>Rozmowa z 5551</b>, ") + c.question), std::string::npos);
    EXPECT_NE(file.find(std::string("moje><b>Rozmowa z 5551</b>, ") + c.answer), std::string::npos);
    const int32_t today = DayNumber(2026, 12, 8);
    EXPECT_EQ(TimeLabelFor(LocalWallSeconds(kQuestion), Received, today) + ":00", std::string(c.question).substr(11));
    EXPECT_EQ(TimeLabelFor(LocalWallSeconds(kQuestion + 60), Delivered, today) + ":00",
              std::string(c.answer).substr(11));
  }
}
