// ggserwer: a Gadu-Gadu server on 127.0.0.1 for trying the client by hand,
// speaking the 2005 session and today's, in plain TCP and inside TLS.
// Prints one line for every packet a client sends and, when asked, greets a
// client that logged in with a message from number 1000, plays timed actions
// (messages, status changes) to it, or plays a whole cast from a scenario
// file.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

const char* typeName(quint32 type) {
  switch (type) {
    case ggserwer::typ::kNewStatus: return "new status";
    case ggserwer::typ::kPing: return "ping";
    case ggserwer::typ::kSendMessage: return "send message";
    case ggserwer::typ::kAddNotify: return "add notify";
    case ggserwer::typ::kRemoveNotify: return "remove notify";
    case ggserwer::typ::kNotifyList: return "notify list";
    case ggserwer::typ::kListEmpty: return "list empty";
    case ggserwer::typ::kLogin: return "login";
    case ggserwer::typ::kUserlistRequest: return "userlist request";
    case ggserwer::typ80::kLogin: return "login 8.0";
    case ggserwer::typ80::kSendMessage: return "send message 8.0";
    case ggserwer::typ80::kNewStatus: return "new status 8.0";
    case ggserwer::typ80::kNotifyFirst: return "notify first";
    case ggserwer::typ80::kRecvMessageAck: return "receive ack";
    case ggserwer::typ80::kUserlistRequest: return "userlist 100 request";
    default: return "unknown";
  }
}

QByteArray wireToUtf8(const QByteArray& bytes) {
  return QByteArray::fromStdString(cp1250::toUtf8(bytes.toStdString()));
}

QByteArray utf8ToWire(const QString& text) {
  return QByteArray::fromStdString(cp1250::fromQString(text));
}

bool parsePort(const QString& text, quint16& port) {
  bool ok = false;
  const uint v = text.toUInt(&ok);
  if (!ok || v > 65535) return false;
  port = static_cast<quint16>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("ggserwer");

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Local Gadu-Gadu server emulator on 127.0.0.1. Each connection speaks the session its login "
      "chooses: the 2005 one (0x15) or today's GG 8.0 (0x31), on the plain port and the TLS port alike.");
  parser.addHelpOption();
  const QCommandLineOption portOpt("port", "TCP port of the protocol (0: any).", "N", "0");
  const QCommandLineOption tlsOpt("tls-port", "Port of the protocol inside TLS (0: any).", "T", "0");
  const QCommandLineOption certOpt(
      "cert", "Writes the TLS port's certificate (PEM, made at start, for 127.0.0.1 and localhost) to FILE.",
      "FILE");
  const QCommandLineOption httpOpt("http-port", "Port of the HTTP server lookup (0: any).", "M", "0");
  const QCommandLineOption seedOpt("seed", "Seed sent in the welcome packet.", "S");
  const QCommandLineOption accountOpt("account", "An account, repeatable.", "NUMBER:PASSWORD");
  const QCommandLineOption unavailableOpt("unavailable", "The lookup answers that the server is unavailable.");
  const QCommandLineOption ackOpt("ack-status", "Status of send acknowledgements (default 2).", "K");
  const QCommandLineOption greetOpt("greet", "Message from 1000 sent after each login.", "TEXT");
  const QCommandLineOption actionOpt(
      "action",
      "A timed action after each login, repeatable, run in the order given: \"MS message NUMBER TEXT\", "
      "\"MS status NUMBER CODE [DESCRIPTION]\", \"MS disconnecting\" or \"MS close\". MS counts the "
      "milliseconds from the action before (the first: from the login); \\n in a text is a line break.",
      "ACTION");
  const QCommandLineOption scenarioOpt(
      "scenario",
      "A cast played to every client that logs in, from a UTF-8 file, a line each ('#' begins a comment):\n"
      "  contact NUMBER NAME            one of the cast\n"
      "  MS message NUMBER TEXT         the timed actions, as --action\n"
      "  MS status NUMBER CODE [DESCRIPTION]\n"
      "  MS disconnecting | MS close\n"
      "  repeat                         the actions after it run again and again\n"
      "  reply NUMBER MS TEXT           a message to NUMBER is answered MS later;\n"
      "                                 several replies of one number take turns\n"
      "  ack NUMBER CODE                messages to NUMBER are acknowledged with CODE\n"
      "                                 (2 delivered, 3 queued, 6 not delivered)\n"
      "Status codes: 1 not available, 21 with a description, 2 available, 4 with a description,\n"
      "3 busy, 5 with a description, 20 invisible, 22 with a description (the same in both sessions).\n"
      "Texts are sent whole in today's session and in Windows-1250 in the 2005 one.\n"
      "--action lines run after the scenario's.",
      "FILE");
  parser.addOptions(
      {portOpt, tlsOpt, certOpt, httpOpt, seedOpt, accountOpt, unavailableOpt, ackOpt, greetOpt, actionOpt, scenarioOpt});
  parser.process(app);

  QTextStream out(stdout);
  QTextStream err(stderr);
  ggserwer::Serwer serwer;

  quint16 ggPort = 0, httpPort = 0, tlsPort = 0;
  if (!parsePort(parser.value(portOpt), ggPort) || !parsePort(parser.value(httpOpt), httpPort) ||
      !parsePort(parser.value(tlsOpt), tlsPort)) {
    err << "ggserwer: a port must be a number from 0 to 65535\n";
    return 2;
  }
  if (parser.isSet(seedOpt)) {
    bool ok = false;
    const uint seed = parser.value(seedOpt).toUInt(&ok, 0);
    if (!ok) {
      err << "ggserwer: --seed takes a 32-bit number\n";
      return 2;
    }
    serwer.setSeed(seed);
  }
  for (const QString& account : parser.values(accountOpt)) {
    const qsizetype colon = account.indexOf(':');
    bool ok = false;
    const uint number = account.left(colon).toUInt(&ok);
    if (colon < 0 || !ok || number == 0) {
      err << "ggserwer: --account takes NUMBER:PASSWORD, not " << account << "\n";
      return 2;
    }
    serwer.addAccount(number, utf8ToWire(account.mid(colon + 1)));
  }
  if (parser.isSet(unavailableOpt)) serwer.setLookupMode(ggserwer::LookupMode::Unavailable);
  if (parser.isSet(ackOpt)) {
    bool ok = false;
    const uint status = parser.value(ackOpt).toUInt(&ok);
    if (!ok) {
      err << "ggserwer: --ack-status takes a number\n";
      return 2;
    }
    serwer.setAckStatus(status);
  }
  if (parser.isSet(scenarioOpt)) {
    QString error;
    const auto scenario = ggserwer::loadScenario(parser.value(scenarioOpt), &error);
    if (!scenario) {
      err << "ggserwer: " << error << "\n";
      return 2;
    }
    serwer.play(*scenario);
  }
  for (const QString& text : parser.values(actionOpt)) {
    QString error;
    const auto action = ggserwer::parseTimedAction(text, &error);
    if (!action) {
      err << "ggserwer: --action \"" << text << "\": " << error << "\n";
      return 2;
    }
    serwer.addTimedAction(*action);
  }
  const QByteArray greeting = parser.isSet(greetOpt) ? utf8ToWire(parser.value(greetOpt)) : QByteArray();

  if (!serwer.start(ggPort, httpPort, tlsPort)) {
    err << "ggserwer: cannot listen on 127.0.0.1 (port taken?) or make a certificate\n";
    return 1;
  }
  if (parser.isSet(certOpt)) {
    QSaveFile cert(parser.value(certOpt));
    if (!cert.open(QIODevice::WriteOnly) || cert.write(serwer.certificatePem()) < 0 || !cert.commit()) {
      err << "ggserwer: cannot write the certificate to " << parser.value(certOpt) << "\n";
      return 1;
    }
  }
  // One line, read by ./run demo: keep its shape.
  out << "ggserwer: protocol on 127.0.0.1:" << serwer.ggPort() << ", TLS on 127.0.0.1:" << serwer.tlsPort()
      << ", lookup on " << serwer.lookupHost() << ", seed 0x" << Qt::hex << serwer.seed() << Qt::dec << Qt::endl;

  QObject::connect(&serwer, &ggserwer::Serwer::lookupRequested, [&](const QByteArray& target) {
    out << "lookup GET " << target << " -> " << serwer.lookupBody() << Qt::endl;
  });
  QObject::connect(&serwer, &ggserwer::Serwer::clientConnected, [&](int c) {
    out << "[" << c << "] client connected" << Qt::endl;
  });
  QObject::connect(&serwer, &ggserwer::Serwer::clientDisconnected, [&](int c) {
    out << "[" << c << "] client disconnected" << Qt::endl;
  });
  QObject::connect(&serwer, &ggserwer::Serwer::protocolViolation, [&](int c, const QString& what) {
    out << "[" << c << "] dropped: " << what << Qt::endl;
  });
  QObject::connect(&serwer, &ggserwer::Serwer::packetReceived,
                   [&](int c, quint32 type, const QByteArray& payload) {
    out << "[" << c << "] 0x" << QString::number(type, 16).rightJustified(2, '0') << " "
        << typeName(type) << ", " << payload.size() << " bytes";
    if (payload.size() <= 64) out << ": " << payload.toHex(' ');
    const ggserwer::Session session = serwer.session(c);
    if (session != ggserwer::Session::Gg80 && type == ggserwer::typ::kSendMessage && payload.size() > 12)
      out << " \"" << wireToUtf8(payload.mid(12, payload.indexOf('\0', 12) - 12)) << "\"";
    if (session == ggserwer::Session::Gg80 && type == ggserwer::typ80::kSendMessage) {
      if (const auto m = ggserwer::parseSendMessage80(payload))
        out << " " << m->html;
      else
        out << " (its offsets do not fit: not acknowledged)";
    }
    out << Qt::endl;
  });
  QObject::connect(&serwer, &ggserwer::Serwer::loginChecked, [&](int c, quint32 number, bool ok) {
    const bool today = serwer.session(c) == ggserwer::Session::Gg80;
    out << "[" << c << "] " << (today ? "GG 8.0 " : "2005 ") << "login of " << number
        << (ok ? " accepted" : " refused") << Qt::endl;
    if (ok && !greeting.isEmpty()) {
      if (today)
        serwer.sendMessage80(1000, parser.value(greetOpt));
      else
        serwer.sendMessage(1000, greeting);
    }
  });

  // Signals arrive on a pipe so that the event loop, not the handler, stops the program.
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
    err << "ggserwer: cannot set up signal handling\n";
    return 1;
  }
  QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
    char byte;
    [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &byte, 1);
    out << "ggserwer: stopping" << Qt::endl;
    app.quit();
  });
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);

  const int rc = app.exec();
  serwer.stop();
  return rc;
}
