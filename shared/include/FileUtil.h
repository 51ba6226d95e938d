// File helpers of the main program.
#pragma once
#include <windows.h>

// The program's folder (its module file name up to and including the last
// backslash) followed by name, into out of outLen characters; FALSE, with out
// empty, when the path does not fit.
BOOL GetModulePath(const char* name, char* out, UINT outLen);

// Reads the whole file into a new zero-filled buffer of its size plus 5 bytes
// (free it with delete[]), puts a line feed right after the last byte of a
// file that is not empty, and deletes the file. TRUE when the file was read;
// a file that cannot be read whole is kept and *buffer is null.
BOOL ReadAndDeleteFile(const char* path, char** buffer);
