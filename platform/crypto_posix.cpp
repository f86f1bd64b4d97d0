// The CryptoAPI operations on OpenSSL's EVP interface. A provider holds the fetched MD5 and
// SHA-1 implementations; a hash holds a digest context and, once its value has been asked for,
// the finished digest.
#include <openssl/evp.h>

#include <cstring>
#include <memory>

#include "platform/crypto.h"

namespace sw {
namespace {

struct Provider {
  EVP_MD* md5 = nullptr;
  EVP_MD* sha1 = nullptr;
  ~Provider() {
    EVP_MD_free(md5);
    EVP_MD_free(sha1);
  }
};

struct Hash {
  EVP_MD_CTX* context = nullptr;
  uint32_t size = 0;
  bool finished = false;
  unsigned char value[EVP_MAX_MD_SIZE] = {};
  ~Hash() { EVP_MD_CTX_free(context); }
};

Provider* asProvider(CryptProvider h) {
  return reinterpret_cast<Provider*>(h);
}
Hash* asHash(CryptHashHandle h) {
  return reinterpret_cast<Hash*>(h);
}

bool finish(Hash& hash) {
  if (hash.finished) return true;
  unsigned int n = 0;
  if (EVP_DigestFinal_ex(hash.context, hash.value, &n) != 1) return false;
  hash.finished = true;
  return true;
}

}  // namespace

bool cryptAcquireContext(CryptProvider* provider) {
  if (provider == nullptr) return false;
  auto p = std::make_unique<Provider>();
  p->md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
  p->sha1 = EVP_MD_fetch(nullptr, "SHA1", nullptr);
  if (p->md5 == nullptr || p->sha1 == nullptr) return false;
  *provider = reinterpret_cast<CryptProvider>(p.release());
  return true;
}

bool cryptCreateHash(CryptProvider provider, HashAlgorithm algorithm, CryptHashHandle* hash) {
  if (provider == 0 || hash == nullptr) return false;
  const EVP_MD* md = nullptr;
  switch (algorithm) {
    case HashAlgorithm::kMd5:
      md = asProvider(provider)->md5;
      break;
    case HashAlgorithm::kSha1:
      md = asProvider(provider)->sha1;
      break;
  }
  if (md == nullptr) return false;
  auto h = std::make_unique<Hash>();
  h->context = EVP_MD_CTX_new();
  if (h->context == nullptr || EVP_DigestInit_ex(h->context, md, nullptr) != 1) return false;
  h->size = static_cast<uint32_t>(EVP_MD_get_size(md));
  *hash = reinterpret_cast<CryptHashHandle>(h.release());
  return true;
}

bool cryptHashData(CryptHashHandle hash, const uint8_t* data, uint32_t length) {
  if (hash == 0 || asHash(hash)->finished) return false;
  if (length == 0) return true;
  if (data == nullptr) return false;
  return EVP_DigestUpdate(asHash(hash)->context, data, length) == 1;
}

bool cryptGetHashParam(CryptHashHandle hash, HashParam param, uint8_t* data, uint32_t* length) {
  if (hash == 0 || length == nullptr) return false;
  Hash& h = *asHash(hash);
  switch (param) {
    case HashParam::kHashSize: {
      if (data == nullptr) {
        *length = sizeof(uint32_t);
        return true;
      }
      if (*length < sizeof(uint32_t)) {
        *length = sizeof(uint32_t);
        return false;
      }
      std::memcpy(data, &h.size, sizeof(uint32_t));
      *length = sizeof(uint32_t);
      return true;
    }
    case HashParam::kHashValue: {
      if (data == nullptr) {
        *length = h.size;
        return true;
      }
      if (*length < h.size) {
        *length = h.size;
        return false;
      }
      if (!finish(h)) return false;
      std::memcpy(data, h.value, h.size);
      *length = h.size;
      return true;
    }
  }
  return false;
}

bool cryptDestroyHash(CryptHashHandle hash) {
  if (hash == 0) return false;
  delete asHash(hash);
  return true;
}

bool cryptReleaseContext(CryptProvider provider) {
  if (provider == 0) return false;
  delete asProvider(provider);
  return true;
}

}  // namespace sw
