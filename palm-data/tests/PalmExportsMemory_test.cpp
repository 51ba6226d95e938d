// The operations when memory runs out: they are built into this program
// (as into each library) so that its allocations can be made to fail. No
// failure leaves an operation: it answers 0 and the caller's record keeps
// what it held.
#include <gtest/gtest.h>

#include <string>

#include "AllocationLimit.h"
#include "PalmItems.h"
#include "PalmModule.h"
#include "quifw/Prompt.h"

extern "C" int __stdcall AddTodoItem(void* argument);
extern "C" int __stdcall AddMemoItem(void* argument);
extern "C" int __stdcall AddDateBookItem(void* argument);

namespace {

int g_managersAsked = 0;

// Answers the missing desktop's report, so that no message box waits.
struct NoDesktopAnswer : CPromptHandler {
    CPromptAnswer Respond(const CPromptRequest&) override
    {
        CPromptAnswer answer;
        answer.nResult = IDOK;
        return answer;
    }
};

} // namespace

// This program's manager is made only when asked for, which an operation
// that ran out of memory before writing never does.
PalmAccessManager& GetPalmAccessManager()
{
    ++g_managersAsked;
    static NoDesktopAnswer answer;
    CPromptHandler* previous = AfxSetPromptHandler(&answer);
    static PalmAccessManager manager("Lark.dll");
    AfxSetPromptHandler(previous);
    return manager;
}

namespace {

template <class Record> int AddFailingToShorten(int (__stdcall *operation)(void*), CString Record::*text, int length)
{
    Record record;
    record.*text = std::string(static_cast<size_t>(length), 'x').c_str();
    int answer = -1;
    {
        // Shortening copies the text, and that copy is the allocation that fails.
        FailingAllocations failing(static_cast<size_t>(length) / 2);
        try {
            answer = operation(&record);
        } catch (...) {
            ADD_FAILURE() << "an exception left the operation";
        }
    }
    EXPECT_EQ(length, (record.*text).GetLength()) << "the caller's record is as it was";
    EXPECT_EQ(0, g_managersAsked) << "nothing was written";
    return answer;
}

} // namespace

TEST(PalmExportsMemory, ShorteningThatRunsOutOfMemoryAnswersZero)
{
    EXPECT_EQ(0, AddFailingToShorten(AddTodoItem, &TodoItem::description, 300));
    EXPECT_EQ(0, AddFailingToShorten(AddMemoItem, &MemoItem::text, 5000));
    EXPECT_EQ(0, AddFailingToShorten(AddDateBookItem, &DateBookItem::description, 300));
}
