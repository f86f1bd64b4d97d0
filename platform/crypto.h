// MD5 and SHA-1 through the seven CryptoAPI operations, with their Windows meaning.
//
// Windows: advapi32 with the "Microsoft Base Cryptographic Provider v1.0". POSIX: the same
// operations on OpenSSL libcrypto. A handle of 0 means none: every operation given a 0 handle
// fails and changes nothing, and a failed acquire or create leaves its out-handle at 0.
// A provider may be shared by hashes on several threads; one hash belongs to one thread at a
// time.
#pragma once

#include <cstdint>

namespace sw {

using CryptProvider = uintptr_t;
using CryptHashHandle = uintptr_t;

enum class HashAlgorithm : uint32_t { kMd5 = 0x8003, kSha1 = 0x8004 };  // CALG_MD5, CALG_SHA1
enum class HashParam : uint32_t { kHashValue = 2, kHashSize = 4 };      // HP_HASHVAL, HP_HASHSIZE

// CryptAcquireContextA(out, null, "Microsoft Base Cryptographic Provider v1.0", PROV_RSA_FULL,
// CRYPT_VERIFYCONTEXT | CRYPT_MACHINE_KEYSET).
bool cryptAcquireContext(CryptProvider* provider);
// CryptCreateHash(provider, algorithm, 0, 0, out).
bool cryptCreateHash(CryptProvider provider, HashAlgorithm algorithm, CryptHashHandle* hash);
// CryptHashData(hash, data, length, 0).
bool cryptHashData(CryptHashHandle hash, const uint8_t* data, uint32_t length);
// CryptGetHashParam(hash, param, data, length, 0). For kHashSize, data receives a 32-bit length;
// for kHashValue, the digest, with *length the buffer size in and the bytes written out.
bool cryptGetHashParam(CryptHashHandle hash, HashParam param, uint8_t* data, uint32_t* length);
bool cryptDestroyHash(CryptHashHandle hash);
bool cryptReleaseContext(CryptProvider provider);

}  // namespace sw
