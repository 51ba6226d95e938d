#include "StandInFault.h"

#include <windows.h>

#include <cstring>
#include <vector>

bool PalmStandInFails(const char* call)
{
    DWORD size = GetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, nullptr, 0);
    if (size == 0)
        return false;
    std::vector<char> list(size + 1, '\0');
    if (GetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, list.data(), size) == 0)
        return false;
    const size_t length = std::strlen(call);
    for (const char* p = list.data(); *p;) {
        const char* end = std::strchr(p, ',');
        size_t n = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (n == length && std::strncmp(p, call, n) == 0)
            return true;
        p += end ? n + 1 : n;
    }
    return false;
}
