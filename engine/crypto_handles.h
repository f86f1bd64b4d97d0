// Owners of the CryptoAPI handles: a provider context and a hash object. Each releases its
// handle when it goes; a handle of 0 (a failed acquire or create) is carried like any other, so
// the operations on it fail without effect.
#pragma once

#include <utility>

#include "engine/text.h"
#include "platform/crypto.h"

namespace sw {

class CryptoContext {
 public:
  CryptoContext() = default;
  ~CryptoContext() { reset(); }
  CryptoContext(CryptoContext&& o) noexcept : handle_(std::exchange(o.handle_, 0)) {}
  CryptoContext& operator=(CryptoContext&& o) noexcept {
    if (this != &o) {
      reset();
      handle_ = std::exchange(o.handle_, 0);
    }
    return *this;
  }
  CryptoContext(const CryptoContext&) = delete;
  CryptoContext& operator=(const CryptoContext&) = delete;

  // Acquires a provider; the handle stays 0 when that fails.
  static CryptoContext acquire() {
    CryptoContext c;
    cryptAcquireContext(&c.handle_);
    return c;
  }
  CryptProvider get() const { return handle_; }
  void reset() {
    if (handle_ != 0) cryptReleaseContext(std::exchange(handle_, 0));
  }

 private:
  CryptProvider handle_ = 0;
};

class CryptoHash {
 public:
  CryptoHash() = default;
  ~CryptoHash() { reset(); }
  CryptoHash(CryptoHash&& o) noexcept : handle_(std::exchange(o.handle_, 0)) {}
  CryptoHash& operator=(CryptoHash&& o) noexcept {
    if (this != &o) {
      reset();
      handle_ = std::exchange(o.handle_, 0);
    }
    return *this;
  }
  CryptoHash(const CryptoHash&) = delete;
  CryptoHash& operator=(const CryptoHash&) = delete;

  // Creates a hash object on provider; the handle stays 0 when that fails.
  static CryptoHash create(const CryptoContext& provider, HashAlgorithm algorithm) {
    CryptoHash h;
    cryptCreateHash(provider.get(), algorithm, &h.handle_);
    return h;
  }
  CryptHashHandle get() const { return handle_; }
  void hashData(const uint8_t* data, uint32_t length) const {
    cryptHashData(handle_, data, length);
  }
  // The digest as lower-case hexadecimal text, two digits a byte; empty when the hash object
  // gives no value.
  Text hexValue() const;
  void reset() {
    if (handle_ != 0) cryptDestroyHash(std::exchange(handle_, 0));
  }

 private:
  CryptHashHandle handle_ = 0;
};

}  // namespace sw
