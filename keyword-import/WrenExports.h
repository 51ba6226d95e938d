// The keyword import's exports, for other programs that convert keyword files.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// 0 unknown or unreadable, 1 eight-column keyword file, 2 item file, 3 index
// file, 4 short keyword file. Exported as "GetFileType" (Wren.def): the name
// is taken by the system's own function of a file handle.
int WrenGetFileType(const char* path);
// Converts the keyword file at input into the item file at output, keeping
// the items output already holds; 0 on success, else one of wren::Result.
int ConvertKeywords(const char* input, const char* output);

#ifdef __cplusplus
}
#endif
