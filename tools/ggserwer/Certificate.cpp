#include "ggserwer/Certificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace ggserwer {

namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using Cert = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using Ext = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION, X509_EXTENSION_free>>;

QByteArray drain(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? QByteArray(data, size) : QByteArray();
}

bool addExtension(X509* cert, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  const Ext ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
  return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

}  // namespace

Certificate Certificate::makeSelfSigned() {
  const Key key(EVP_EC_gen("P-256"));
  const Cert cert(X509_new());
  if (!key || !cert) return {};
  X509* x = cert.get();
  // A random serial: a client that remembers an earlier run's certificate
  // must not take this one for it.
  unsigned char serial[16];
  if (RAND_bytes(serial, sizeof serial) != 1) return {};
  serial[0] &= 0x7F;
  BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
  const bool serialSet = bn && BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(x));
  BN_free(bn);
  if (!serialSet || X509_set_version(x, 2) != 1) return {};
  X509_gmtime_adj(X509_getm_notBefore(x), -24L * 3600);
  X509_gmtime_adj(X509_getm_notAfter(x), 365L * 24 * 3600);
  X509_NAME* name = X509_get_subject_name(x);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                             -1, 0);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("ggserwer"), -1, -1,
                             0);
  if (X509_set_issuer_name(x, name) != 1 || X509_set_pubkey(x, key.get()) != 1) return {};
  if (!addExtension(x, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") ||
      !addExtension(x, NID_basic_constraints, "critical,CA:TRUE") ||
      !addExtension(x, NID_key_usage, "critical,digitalSignature,keyCertSign") ||
      !addExtension(x, NID_ext_key_usage, "serverAuth") ||
      !addExtension(x, NID_subject_key_identifier, "hash"))
    return {};
  if (X509_sign(x, key.get(), EVP_sha256()) <= 0) return {};

  const Bio certOut(BIO_new(BIO_s_mem()));
  const Bio keyOut(BIO_new(BIO_s_mem()));
  if (!certOut || !keyOut || PEM_write_bio_X509(certOut.get(), x) != 1 ||
      PEM_write_bio_PrivateKey(keyOut.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
    return {};
  return {drain(certOut.get()), drain(keyOut.get())};
}

}  // namespace ggserwer
