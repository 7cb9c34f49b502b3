#include "net/TWSocket.h"

#include <QSslConfiguration>
#include <QTimer>

namespace {

CertificateProblem ProblemOf(const QSslError& error) {
  switch (error.error()) {
    case QSslError::HostNameMismatch:
      return CertificateProblem::kHostName;
    case QSslError::CertificateExpired:
      return CertificateProblem::kExpired;
    case QSslError::CertificateNotYetValid:
      return CertificateProblem::kNotYetValid;
    case QSslError::CertificateRevoked:
      return CertificateProblem::kRevoked;
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::CertificateRejected:
      return CertificateProblem::kUntrusted;
    default:
      return CertificateProblem::kOther;
  }
}

}  // namespace

TWSocket::TWSocket() {
  socket_.setReadBufferSize(kReadBuffer);
  connect(&socket_, &QTcpSocket::readyRead, this, [this] { CallOwner(OnDataAvailable); });
  connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
    // Errors of a connected socket are the owner's to act on (it closes);
    // a connect that fails ends through the state change below.
    if (socket_.state() == QAbstractSocket::ConnectedState) CallOwner(OnError);
  });
  connect(&socket_, &QTcpSocket::stateChanged, this, &TWSocket::onStateChanged);
  connect(&socket_, &QSslSocket::sslErrors, this, &TWSocket::onSslErrors);
}

TWSocket::~TWSocket() {
  OnCertificateRefused = nullptr;
  OnDataAvailable = nullptr;
  OnSessionClosed = nullptr;
  OnError = nullptr;
  socket_.abort();
}

void TWSocket::Connect() {
  bool ok = false;
  const uint port = QString::fromStdString(Port).toUInt(&ok);
  started_ = true;
  if (!ok || port == 0 || port > 65535) {
    QTimer::singleShot(0, this, [this] { reportClosed(); });
    return;
  }
  if (!Tls) {
    socket_.connectToHost(QString::fromStdString(Addr), static_cast<quint16>(port));
    return;
  }
  QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
  tls.setProtocol(QSsl::TlsV1_2OrLater);
  tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
  trusted_ = QSslCertificate::fromData(
      QByteArray(TrustedCertificates.data(), static_cast<qsizetype>(TrustedCertificates.size())), QSsl::Pem);
  socket_.setSslConfiguration(tls);
  // The name checked against the certificate is the one the user gave.
  socket_.connectToHostEncrypted(QString::fromStdString(Addr), static_cast<quint16>(port));
}

void TWSocket::onSslErrors(const QList<QSslError>& errors) {
  // Never ignored: the handshake fails and the connection ends. The owner
  // hears why before it hears of the close.
  if (errors.isEmpty() || certificateReported_) return;
  // A certificate the user placed among the trusted ones is taken as an
  // authority of its own: only for exactly that certificate, and only the
  // complaint that no authority signed it; a wrong name or date still fails.
  // (Listing it as an authority instead would make Qt read every authority
  // of the system at each connection.)
  if (!trusted_.isEmpty() && trusted_.contains(socket_.peerCertificate())) {
    bool onlyUnsigned = true;
    for (const QSslError& e : errors)
      onlyUnsigned = onlyUnsigned && ProblemOf(e) == CertificateProblem::kUntrusted &&
                     e.certificate() == socket_.peerCertificate();
    if (onlyUnsigned) {
      socket_.ignoreSslErrors(errors);
      return;
    }
  }
  certificateReported_ = true;
  if (OnCertificateRefused) {
    const auto call = OnCertificateRefused;
    DeferredRelease::Busy busy(release_);
    call(ProblemOf(errors.first()));
  }
}

void TWSocket::Send(std::string_view bytes) {
  // An encrypted socket keeps what is written before its handshake ends.
  if (socket_.state() != QAbstractSocket::ConnectedState) return;
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string TWSocket::ReceiveStr() {
  const QByteArray data = socket_.readAll();
  return std::string(data.constData(), static_cast<size_t>(data.size()));
}

void TWSocket::Close() {
  if (socket_.state() == QAbstractSocket::UnconnectedState) {
    if (started_) QTimer::singleShot(0, this, [this] { reportClosed(); });
    return;
  }
  if (socket_.state() != QAbstractSocket::ConnectedState) {
    socket_.abort();
    return;
  }
  socket_.disconnectFromHost();
  // Queued bytes get FlushTimeout to leave; then the connection is cut.
  if (socket_.state() != QAbstractSocket::UnconnectedState)
    QTimer::singleShot(FlushTimeout, this, [this] { socket_.abort(); });
}

void TWSocket::Flush(int timeoutMs) {
  if (socket_.state() != QAbstractSocket::ConnectedState) return;
  socket_.flush();
  while (socket_.bytesToWrite() > 0 && socket_.waitForBytesWritten(timeoutMs)) {
  }
}

void TWSocket::Release() {
  OnDataAvailable = nullptr;
  OnSessionClosed = nullptr;
  OnError = nullptr;
  OnCertificateRefused = nullptr;
  release_.Release();
}

void TWSocket::CallOwner(const std::function<void()>& handler) {
  if (!handler) return;
  // A copy: the handler's own std::function is emptied by a release inside.
  const std::function<void()> call = handler;
  DeferredRelease::Busy busy(release_);
  call();
}

uint16_t TWSocket::PortNum() const { return socket_.peerPort(); }

void TWSocket::onStateChanged(QAbstractSocket::SocketState state) {
  if (state == QAbstractSocket::UnconnectedState && started_)
    // Leave Qt's signal first: the owner releases the socket in the handler.
    QTimer::singleShot(0, this, [this] { reportClosed(); });
}

void TWSocket::reportClosed() {
  if (closedReported_) return;
  closedReported_ = true;
  CallOwner(OnSessionClosed);
}
