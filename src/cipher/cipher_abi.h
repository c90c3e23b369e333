/* cipher_abi.h: the entry points of the cipher library, as the library
 * defines them and the program calls them.  Plain C, so a library written in
 * any language can stand in for ours. */
#ifndef OVALITH_CIPHER_ABI_H_
#define OVALITH_CIPHER_ABI_H_

#include <stddef.h>

#if defined(_WIN32) && !defined(_WIN64)
#define OVALITH_CALL __stdcall
#else
#define OVALITH_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* encrypt and decrypt: one 8-byte block in, one 8-byte block out, under an
 * 8-byte key.  Required. */
typedef void(OVALITH_CALL* ovalith_block_fn)(const unsigned char* in,
                                             unsigned char* out,
                                             const unsigned char* key);

/* encrypt_blocks and decrypt_blocks: count blocks at once, each transformed
 * on its own exactly as by the single-block call.  Optional: the program
 * falls back to one call per block when a library lacks them. */
typedef void(OVALITH_CALL* ovalith_blocks_fn)(const unsigned char* in,
                                              unsigned char* out,
                                              const unsigned char* key,
                                              size_t count);

#ifdef __cplusplus
}
#endif

#endif /* OVALITH_CIPHER_ABI_H_ */
