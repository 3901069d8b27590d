// The head of the uninstall information file (see format.h): signature, product title and language,
// the 270 bytes before its archive. The module writes it; the module and the packaging tool read it.
#pragma once

#include <stdint.h>

enum UninstallHeadResult { UninstallHeadOk, UninstallHeadTooShort, UninstallHeadWrongSignature };

// Fills head (UninstallArchiveOffset bytes): the signature, the title cut to 259 bytes with zeros after
// it (a null title is empty), and the language byte: 0 for language 0 (Korean), 1 for any other, so
// that no language value turns into Korean by losing its high bits.
void FillUninstallHead(unsigned char* head, const char* title, int language);

// Checks the first length bytes of a file. Only on UninstallHeadOk are title (PathBufferSize bytes, cut
// at 259 bytes when its terminator is missing) and language (the stored byte) written.
UninstallHeadResult ParseUninstallHead(const unsigned char* bytes, uint32_t length, char* title,
                                       int* language);
