// From the program's start to the first contact's status shown, in each
// session, against the local server emulator in this process: the main
// window made with 250 contacts, a click on the status circle, the lookup
// and plain TCP (2005) or TLS with the certificate checked (today's), the
// login, the list of 250 numbers, and the server's reply with 250 statuses
// until the first of them is in the list. Target: today's session within
// 1.3 times the 2005 one.
#include "QtBench.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "app/TFMain.h"
#include "app/TShape.h"
#include "ggserwer/Serwer.h"
#include "platform/Sound.h"
#include "platform/Tray.h"
#include "platform/desktop/ShellOpen.h"

namespace {

using ggserwer::Serwer;

constexpr uint32_t kOwn = 123456;
constexpr uint32_t kFirst = 10001;

// The emulator answers every list of numbers with the statuses of all 250.
struct Server {
  Serwer serwer;
  Server() {
    serwer.start();
    serwer.addAccount(kOwn, "haslo");
    QObject::connect(&serwer, &Serwer::packetReceived, [this](int, quint32 type, const QByteArray&) {
      if (type != ggserwer::typ::kNotifyList) return;
      if (serwer.session() == ggserwer::Session::Gg80) {
        QList<ggserwer::Status80> entries;
        for (uint32_t n = 0; n < 250; ++n) entries.append({kFirst + n, 0x04, "w pracy do 17 \xF0\x9F\x92\xBC"});
        serwer.sendNotifyReply80(entries);
      } else {
        QList<ggserwer::StatusEntry> entries;
        for (uint32_t n = 0; n < 250; ++n) entries.append({kFirst + n, 4, "w pracy do 17"});
        serwer.sendNotifyReply(entries);
      }
    });
  }
};

void StartToFirstStatus(benchmark::State& state, Protocol protocol) {
  static Server server;
  NoTray tray;
  Silence sound;
  NoShell shell;
  for (auto _ : state) {
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.tray = &tray;
    o.sound = &sound;
    o.shell = &shell;
    auto main = std::make_unique<TFMain>(o);
    main->Connection().SetProtocol(protocol);
    if (protocol == Protocol::kGG8) {
      main->Connection().SetLookupHost("127.0.0.1:" + std::to_string(server.serwer.tlsPort()));
      QFile pem(dir.filePath("zaufane.pem"));  // read as the connection starts
      if (pem.open(QIODevice::WriteOnly)) pem.write(server.serwer.certificatePem());
    } else {
      main->Connection().SetLookupHost(server.serwer.lookupHost().toStdString());
    }
    main->SetIdentity(kOwn, "haslo");
    for (uint32_t n = 0; n < 250; ++n) {
      TKontakt k;
      k.numer = kFirst + n;
      k.wyswietl = "Znajomy " + std::to_string(n);
      main->Contacts().Add(k);
    }
    main->Dialog->OnMouseDown(Qt::LeftButton);
    const int first = main->Contacts().FindByNumber(kFirst);
    const bool shown =
        Serwer::waitFor([&] { return main->Contacts().Record(first).status == 3; }, 10000);
    state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    if (!shown) state.SkipWithError("no status came");
    main->Connection().DialogMouseDown(Sender::Dialog, true);  // away, and closed
    Serwer::waitFor([&] { return main->Connection().State() == conn::kNiePolaczony; }, 5000);
  }
}

void BM_StartToFirstStatus2005(benchmark::State& state) { StartToFirstStatus(state, Protocol::k2005); }
void BM_StartToFirstStatusToday(benchmark::State& state) { StartToFirstStatus(state, Protocol::kGG8); }

BENCHMARK(BM_StartToFirstStatus2005)->UseManualTime()->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartToFirstStatusToday)->UseManualTime()->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
