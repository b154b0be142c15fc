// Decryption of a data file that carries its own pass in its first eight bytes: the
// rest is RC4 under a key derived from the MD5 of that pass.
#pragma once

// Replaces `destinationPath` with the plain text of `sourcePath`. Returns 1 on success,
// 0 on any failure; a destination already opened keeps the bytes written before the
// failure. The same file given twice (in any spelling the path mapping equates) is
// refused before either is touched.
int DecryptFileTo(const char* sourcePath, const char* destinationPath);
