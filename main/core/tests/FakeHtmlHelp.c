/* Stands in for the HTML Help control: remembers the last call and answers
   with the window the test chose. */
#include <windows.h>
#include <string.h>

static HWND g_caller;
static char g_file[MAX_PATH];
static UINT g_command;
static DWORD_PTR g_data;
static int g_calls;
static HWND g_result;

HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data)
{
    g_caller = caller;
    lstrcpynA(g_file, file ? file : "", MAX_PATH);
    g_command = command;
    g_data = data;
    ++g_calls;
    return g_result;
}

/* The number of calls so far, and the arguments of the last one. */
int FakeHtmlHelpLastCall(HWND* caller, char* file, UINT* command, DWORD_PTR* data)
{
    *caller = g_caller;
    strcpy(file, g_file);
    *command = g_command;
    *data = g_data;
    return g_calls;
}

void FakeHtmlHelpSetResult(HWND result)
{
    g_result = result;
}
