// The dump of a stand-in file as text: a table file line by line (its
// categories, settings and records), or the desktop's users file. The dump
// tool prints it; tests compare it with what they expect to be written.
#pragma once
#include <afxquill.h>

// "error: <reason>" when the file cannot be read.
CString PalmDumpFile(LPCTSTR path);
