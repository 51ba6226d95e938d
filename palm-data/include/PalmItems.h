// The item records that the Palm control hands to the Palm data library.
// Each begins with its own size, which the library compares with the size of
// its own declaration before it reads anything else; texts are the
// framework's strings, owned by the caller.
#pragma once
#include <afxquill.h>

#include <cstdint>

struct TodoItem {
    uint32_t size = sizeof(TodoItem);
    CString description;     // at most 255 characters are written
    int32_t isPrivate = 0;
    CString category;        // looked up by name
    double dueDate = 0.0;    // automation date; 0: none
    int32_t completed = 0;
    int32_t priority = 1;
    CString note;
};

struct MemoItem {
    uint32_t size = sizeof(MemoItem);
    CString text;            // at most 4095 characters are written
    int32_t isPrivate = 0;
    CString category;
};

// Alarm units of an appointment.
enum { PalmAlarmMinutes = 0, PalmAlarmHours = 1, PalmAlarmDays = 2 };

struct DateBookItem {
    uint32_t size = sizeof(DateBookItem);
    CString description;     // at most 255 characters are written
    int32_t isPrivate = 0;
    CString category;
    CString note;
    double start = 0.0;      // automation date; 0: no time
    double end = 0.0;        // automation date; 0: none given
    int32_t alarmAdvance = -1;   // -1: the desktop's default alarm
    int32_t alarmUnit = PalmAlarmMinutes;
};

// One category of a table's category list.
struct CategoryInfo {
    long id = 0;
    CString name;
    // Carried in the list lines; nothing fills it.
    long reserved = 0;
};

// What CreateCategory and RemoveCategory are asked to do: the category's
// name in the table of a kind (1 to-do, 2 memo, 3 address book).
struct CategoryRequest {
    uint32_t size = sizeof(CategoryRequest);
    CString name;
    int32_t kind = 0;
};

// The kinds that the library's operations name.
enum PalmItemKind { PalmKindTodo = 1, PalmKindMemo = 2, PalmKindDateBook = 3 };
// Category lists name the address book 4, category changes 3.
enum { PalmListKindAddress = 4, PalmChangeKindAddress = 3 };
