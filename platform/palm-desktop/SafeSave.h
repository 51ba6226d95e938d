// Writes a stand-in file the safe way: into a temporary file beside the
// target, renamed over it only once the whole archive is written.
#pragma once
#include <afxquill.h>

#include <functional>

// Throws CFileException* or CArchiveException* and leaves the target as it
// was when anything fails.
void SaveReplacing(const CString& path, const std::function<void(CArchive&)>& write);
