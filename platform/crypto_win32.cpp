// The CryptoAPI itself: every call goes straight to advapi32 with the program's provider name,
// type and flags.
#include <windows.h>

#include <wincrypt.h>

#include "platform/crypto.h"

namespace sw {

bool cryptAcquireContext(CryptProvider* provider) {
  HCRYPTPROV h = 0;
  const BOOL ok = CryptAcquireContextA(&h, nullptr, "Microsoft Base Cryptographic Provider v1.0",
                                       PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_MACHINE_KEYSET);
  *provider = ok ? static_cast<CryptProvider>(h) : 0;
  return ok != FALSE;
}

bool cryptCreateHash(CryptProvider provider, HashAlgorithm algorithm, CryptHashHandle* hash) {
  HCRYPTHASH h = 0;
  const BOOL ok =
      CryptCreateHash(static_cast<HCRYPTPROV>(provider), static_cast<ALG_ID>(algorithm), 0, 0, &h);
  *hash = ok ? static_cast<CryptHashHandle>(h) : 0;
  return ok != FALSE;
}

bool cryptHashData(CryptHashHandle hash, const uint8_t* data, uint32_t length) {
  return CryptHashData(static_cast<HCRYPTHASH>(hash), data, length, 0) != FALSE;
}

bool cryptGetHashParam(CryptHashHandle hash, HashParam param, uint8_t* data, uint32_t* length) {
  DWORD n = *length;
  const BOOL ok =
      CryptGetHashParam(static_cast<HCRYPTHASH>(hash), static_cast<DWORD>(param), data, &n, 0);
  *length = n;
  return ok != FALSE;
}

bool cryptDestroyHash(CryptHashHandle hash) {
  return CryptDestroyHash(static_cast<HCRYPTHASH>(hash)) != FALSE;
}

bool cryptReleaseContext(CryptProvider provider) {
  return CryptReleaseContext(static_cast<HCRYPTPROV>(provider), 0) != FALSE;
}

}  // namespace sw
