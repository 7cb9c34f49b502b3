// A hostile server floods the program from strangers, through the whole
// main window (contacts, knock list, chat windows, archive on disk):
// - one notify reply of 1 MiB, every entry a stranger's number (about
//   75,000 entries): the time to dispatch it (target: under 50 ms);
// - 100,000 messages from distinct strangers: the time to dispatch them
//   all and the resident memory they add (targets: under 10 s, 200 MB).
#include "QtBench.h"

#include <malloc.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "app/TFMain.h"
#include "contacts/view/TFPuk.h"
#include "conversation/view/ChatWindows.h"
#include "platform/Tray.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/Sound.h"
#include "protocol/Packets.h"

namespace {

// The main window with an identity and its archive in a folder of its own.
struct Program {
  QTemporaryDir dir;
  NoTray tray;
  Silence sound;
  NoShell shell;
  std::unique_ptr<TFMain> main;
  Program() {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.tray = &tray;
    o.sound = &sound;
    o.shell = &shell;
    main = std::make_unique<TFMain>(o);
    main->SetIdentity(123456, "haslo");
    main->CreateArchive("123456");
    for (uint32_t n = 1; n <= 250; ++n) {  // a full list, searched for every number
      TKontakt k;
      k.numer = n;
      k.wyswietl = "Znajomy " + std::to_string(n);
      main->Contacts().Add(k);
    }
  }
};

std::string NotifyReplyOfStrangers(size_t bytes) {
  std::string payload;
  for (uint32_t n = 1000000; payload.size() + 14 <= bytes; ++n) {
    gg::AppendLe32(payload, n);
    payload += '\x02';  // available, without a description
    payload.append(9, '\0');
  }
  return payload;
}

void BM_NotifyReplyOfStrangers(benchmark::State& state) {
  Program p;
  const std::string payload = NotifyReplyOfStrangers(1 << 20);
  for (auto _ : state) {
    p.main->Events().DispatchPacket(gg::in::kNotifyReply, payload);
    state.PauseTiming();
    if (p.main->Knocks().Knocks().Count() == 0) state.SkipWithError("no knocks");
    p.main->EmptyKnockList();
    state.ResumeTiming();
  }
  state.counters["entries"] = double(payload.size() / 14);
}
BENCHMARK(BM_NotifyReplyOfStrangers)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_MessagesFromStrangers(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    Program p;
    std::vector<std::string> packets;
    packets.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
      std::string m;
      gg::AppendLe32(m, 3000000 + uint32_t(i));  // sender
      gg::AppendLe32(m, 1);                      // sequence
      gg::AppendLe32(m, 1796731200 + uint32_t(i));
      gg::AppendLe32(m, 8);
      m += "Tanie kredyty bez BIK! Wejdz na http://example.com/oferta :) <usmiech>";
      m += '\0';
      packets.push_back(std::move(m));
    }
    QCoreApplication::processEvents();
    malloc_trim(0);
    const double rss0 = ResidentMb();
    state.ResumeTiming();

    for (const std::string& m : packets) p.main->Events().DispatchPacket(gg::in::kRecvMsg, m);
    QCoreApplication::processEvents();

    state.PauseTiming();
    state.counters["rss_added_MB"] = ResidentMb() - rss0;
    state.counters["windows"] = p.main->Chats().Count();
    state.counters["archive_MB"] =
        double(QFileInfo(p.dir.filePath("osoby/123456.html")).size()) / (1024.0 * 1024.0);
    p.main->Chats().CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MessagesFromStrangers)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
