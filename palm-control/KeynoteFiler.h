// Files a Godwit item record into the Palm Desktop as a to-do, a memo and a
// date-book entry, as its type bits ask; the record is read by property name.
#pragma once
#include <afxquill.h>

#include <oaidl.h>

#include "GodwitDispIdCache.h"
#include "PilotManager.h"

// The text in the ANSI code page, cut to at most `limit` bytes (0: whole).
CString AnsiText(const wchar_t* text, UINT length, int limit = 0);
// A category as the record gives it: a text, or the first text of an
// array of texts; anything else gives no category.
CString CategoryText(const VARIANT& value);

class KeynoteFiler {
public:
    explicit KeynoteFiler(PilotManager& manager);
    KeynoteFiler(const KeynoteFiler&) = delete;
    KeynoteFiler& operator=(const KeynoteFiler&) = delete;

    // The result of the last entry filed: 1 added, 0 not; 1 when the record
    // is null or asks for nothing the Palm Desktop keeps.
    short File(IDispatch* keynote);

private:
    int FileTodo(IDispatch* keynote);
    int FileMemo(IDispatch* keynote);
    int FileDateBook(IDispatch* keynote);

    // A property coerced to `type`; false (and `value` empty) when the
    // record has no such property or it does not convert.
    bool Read(IDispatch* keynote, const wchar_t* name, VARTYPE type, VARIANT* value);
    long Long(IDispatch* keynote, const wchar_t* name);
    double Date(IDispatch* keynote, const wchar_t* name);
    CString Text(IDispatch* keynote, const wchar_t* name);
    CString Category(IDispatch* keynote, const wchar_t* name);

    PilotManager& m_manager;
    GodwitDispIdCache m_cache;
};
