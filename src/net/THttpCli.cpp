#include "net/THttpCli.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

QString THttpCli::WithScheme(const std::string& url) {
  QString text = QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size()));
  if (!text.contains(QLatin1String("://"))) text.prepend(QLatin1String("http://"));
  return text;
}

std::string THttpCli::Get(const std::string& url) {
  const QUrl target(WithScheme(url));
  if (!target.isValid() || target.host().isEmpty()) throw HttpError("invalid URL");

  QNetworkRequest request(target);
  request.setTransferTimeout(kTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  std::unique_ptr<QNetworkReply> reply(manager_.get(request));

  bool tooLarge = false;
  QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                   [&](qint64 received, qint64) {
                     if (received > kMaxBody) {
                       tooLarge = true;
                       reply->abort();
                     }
                   });
  QEventLoop loop;
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec();

  if (tooLarge) throw HttpError("reply too large");
  if (reply->error() != QNetworkReply::NoError)
    throw HttpError(reply->errorString().toStdString());
  const QByteArray body = reply->readAll();
  return std::string(body.constData(), static_cast<size_t>(body.size()));
}
