"""The web tests' independent DES: OpenSSL's command line (`openssl enc
-des-ecb -nopad`), and containers built from their layout with it, as
tests/test_util does for the C++ tests."""
import subprocess

_LEGACY = None


def des_ecb(data, key, encrypt=True):
    """DES-ECB of every whole 8-byte block of data under the 8-byte key."""
    global _LEGACY
    data = data[:len(data) // 8 * 8]
    if not data:
        return b""
    command = ["openssl", "enc", "-des-ecb", "-nopad", "-K", key.hex()]
    if not encrypt:
        command.append("-d")
    if _LEGACY is None:
        # OpenSSL 3 keeps single DES in its legacy provider; 1.1 has no
        # providers at all.
        probe = subprocess.run(command + ["-provider", "legacy", "-provider",
                                          "default"], input=b"\0" * 8,
                               capture_output=True)
        _LEGACY = probe.returncode == 0
    if _LEGACY:
        command += ["-provider", "legacy", "-provider", "default"]
    return subprocess.run(command, input=data, capture_output=True,
                          check=True).stdout


def fold_key(password):
    """The key of a password: 8 spaces XORed with its 8-byte pieces, the
    last one filled up with spaces."""
    key = bytearray(b" " * 8)
    for i in range(0, max(len(password), 1), 8):
        piece = password[i:i + 8].ljust(8, b" ")
        for j in range(8):
            key[j] ^= piece[j]
    return bytes(key)


def expected_container(plain, extension, password):
    """Header "Ov2" and the extension's first 5 characters, the data filled
    up with spaces, trailer "Ov2End." and the count of the last block."""
    header = (b"Ov2" + extension[:5]).ljust(8, b" ")
    count = len(plain) % 8 or (8 if plain else 0)
    data = plain + b" " * ((8 - len(plain) % 8) % 8)
    trailer = b"Ov2End." + str(count).encode()
    return des_ecb(header + data + trailer, fold_key(password))
