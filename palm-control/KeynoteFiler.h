// Files a Godwit item record into the Palm Desktop as a to-do, a memo and a
// date-book entry, as its type bits ask; the record is read by DISPID only,
// each member with the type the record declares for it.
#pragma once
#include <afxquill.h>

#include <oaidl.h>

#include "PilotManager.h"

// The text in the ANSI code page, cut to at most `limit` bytes (0: whole).
CString AnsiText(const wchar_t* text, UINT length, int limit = 0);
// A category as the record gives it: a text, or the first text of an
// array of texts; anything else gives no category.
CString CategoryText(const VARIANT& value);

class KeynoteFiler {
public:
    explicit KeynoteFiler(PilotManager& manager) : m_manager(manager) {}
    KeynoteFiler(const KeynoteFiler&) = delete;
    KeynoteFiler& operator=(const KeynoteFiler&) = delete;

    // The result of the last entry filed: 1 added, 0 not (also when the
    // record did not answer a member the entry needs); 1 when the record is
    // null or asks for nothing the Palm Desktop keeps; 0 when it does not
    // answer its type.
    short File(IDispatch* keynote);

private:
    // Each throws the dispatch driver's exception when the record does not
    // answer a member it reads.
    int FileTodo(const COleDispatchDriver& record);
    int FileMemo(const COleDispatchDriver& record);
    int FileDateBook(const COleDispatchDriver& record);

    PilotManager& m_manager;
};
