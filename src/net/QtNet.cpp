#include "net/THttpCli.h"
#include "net/TWSocket.h"

namespace {
class QtNetFactory final : public NetFactory {
 public:
  Socket* NewSocket() override { return new TWSocket; }
  std::unique_ptr<HttpClient> NewHttpClient() override { return std::make_unique<THttpCli>(); }
};
}  // namespace

NetFactory& QtNet() {
  static QtNetFactory factory;
  return factory;
}
