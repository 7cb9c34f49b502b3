#include <gtest/gtest.h>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "ggserwer/Serwer.h"

namespace {

const QByteArray kTarget = "/appsvc/appmsg4.asp?fmnumber=4321&version=6,0,0,147&lastmsg=0";

struct Reply {
  bool finished = false;
  QNetworkReply::NetworkError error = QNetworkReply::NoError;
  int status = 0;
  QByteArray body;
};

Reply get(const ggserwer::Serwer& serwer, const QByteArray& target = kTarget) {
  QNetworkAccessManager nam;
  QNetworkReply* r = nam.get(
      QNetworkRequest(QUrl::fromEncoded("http://" + serwer.lookupHost().toLatin1() + target)));
  Reply out;
  out.finished = ggserwer::Serwer::waitFor([r] { return r->isFinished(); }, 5000);
  out.error = r->error();
  out.status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  out.body = r->readAll();
  delete r;
  return out;
}

class LookupTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(serwer.start()); }
  QByteArray address() const { return "127.0.0.1:" + QByteArray::number(serwer.ggPort()); }
  ggserwer::Serwer serwer;
};

}  // namespace

TEST_F(LookupTest, AnswersWithTheProtocolAddressAndRecordsTargets) {
  EXPECT_NE(serwer.httpPort(), 0);
  EXPECT_NE(serwer.httpPort(), serwer.ggPort());
  const Reply r = get(serwer);
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.error, QNetworkReply::NoError);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "0 0 " + address() + " 127.0.0.1");

  get(serwer, "/appsvc/appmsg4.asp?fmnumber=77&version=6,0,0,147&lastmsg=0");
  ASSERT_EQ(serwer.lookupTargets().size(), 2);
  EXPECT_EQ(serwer.lookupTargets()[0], kTarget);
  EXPECT_EQ(serwer.lookupTargets()[1], "/appsvc/appmsg4.asp?fmnumber=77&version=6,0,0,147&lastmsg=0");
}

TEST_F(LookupTest, OtherPathsAreNotFound) {
  const Reply r = get(serwer, "/index.html");
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.status, 404);
  EXPECT_EQ(serwer.lookupTargets().value(0), "/index.html");
}

TEST_F(LookupTest, UnavailableAndNotOperatingBodies) {
  serwer.setLookupMode(ggserwer::LookupMode::Unavailable);
  Reply r = get(serwer);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "1 0 " + address() + " 127.0.0.1");

  serwer.setLookupMode(ggserwer::LookupMode::NotOperating);
  r = get(serwer);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body.split(' ').value(2), "notoperating");
  EXPECT_EQ(r.body.at(0), '0');
}

TEST_F(LookupTest, FailingModes) {
  serwer.setLookupMode(ggserwer::LookupMode::Http503);
  Reply r = get(serwer);
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.status, 503);
  EXPECT_NE(r.error, QNetworkReply::NoError);

  serwer.setLookupMode(ggserwer::LookupMode::Close);
  r = get(serwer);
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.status, 0);  // no HTTP answer at all
  EXPECT_NE(r.error, QNetworkReply::NoError);
  // Every request was read; Qt's client sends a dropped one again once.
  EXPECT_GE(serwer.lookupTargets().size(), 2);
}

TEST_F(LookupTest, CustomBody) {
  serwer.setLookupBody("0 0 127.0.0.1:1 127.0.0.1 extra");
  const Reply r = get(serwer);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "0 0 127.0.0.1:1 127.0.0.1 extra");
}
