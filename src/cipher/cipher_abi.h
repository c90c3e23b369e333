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
 * 8-byte key.  Required.  The program relies on two properties, and checks
 * them on a few blocks when it loads a library: decrypting an encryption
 * gives the block back, and the key comes back unchanged. */
typedef void(OVALITH_CALL* ovalith_block_fn)(const unsigned char* in,
                                             unsigned char* out,
                                             const unsigned char* key);

/* encrypt_blocks and decrypt_blocks: count blocks at once, each transformed
 * on its own exactly as by the single-block call; in and out are the same
 * buffer or do not overlap.  They return OVALITH_OK (0) when every block was
 * transformed, anything else when the library could not do it: the program
 * then stops the run as failed and keeps none of its output.  Optional: the
 * program falls back to one call per block when a library lacks them. */
typedef int(OVALITH_CALL* ovalith_blocks_fn)(const unsigned char* in,
                                             unsigned char* out,
                                             const unsigned char* key,
                                             size_t count);

#define OVALITH_OK 0
/* Our library's one failure: null pointers, or buffers that overlap without
 * being the same. */
#define OVALITH_BAD_ARGUMENTS 1

#ifdef __cplusplus
}
#endif

#endif /* OVALITH_CIPHER_ABI_H_ */
