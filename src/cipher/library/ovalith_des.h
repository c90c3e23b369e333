/* ovalith_des.h: the entry points libovalith exports, declared for the
 * library itself and for programs that link it directly (its tests and
 * benchmark).  The program proper loads them at run time instead. */
#ifndef OVALITH_CIPHER_LIBRARY_OVALITH_DES_H_
#define OVALITH_CIPHER_LIBRARY_OVALITH_DES_H_

#include <stddef.h>

#include "cipher/cipher_abi.h"

#if defined(_WIN64)
#define OVALITH_EXPORT __declspec(dllexport)
#elif defined(_WIN32)
#define OVALITH_EXPORT /* ovalith.def exports the undecorated names */
#else
#define OVALITH_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* DES of one 8-byte block under an 8-byte key; out may be in. */
OVALITH_EXPORT void OVALITH_CALL encrypt(const unsigned char* in,
                                         unsigned char* out,
                                         const unsigned char* key);
OVALITH_EXPORT void OVALITH_CALL decrypt(const unsigned char* in,
                                         unsigned char* out,
                                         const unsigned char* key);

/* count blocks, each as by the single-block call.  in and out are either the
 * same buffer or do not overlap.  OVALITH_OK, or OVALITH_BAD_ARGUMENTS when
 * they overlap otherwise or a pointer is null (nothing is written then). */
OVALITH_EXPORT int OVALITH_CALL encrypt_blocks(const unsigned char* in,
                                               unsigned char* out,
                                               const unsigned char* key,
                                               size_t count);
OVALITH_EXPORT int OVALITH_CALL decrypt_blocks(const unsigned char* in,
                                               unsigned char* out,
                                               const unsigned char* key,
                                               size_t count);

#ifdef __cplusplus
}
#endif

#endif /* OVALITH_CIPHER_LIBRARY_OVALITH_DES_H_ */
