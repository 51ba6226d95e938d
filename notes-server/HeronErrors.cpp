#include "HeronErrors.h"

#include <vector>

namespace {

HINSTANCE g_resources = nullptr;

}  // namespace

void HeronLastError::Set(int kind, int code, const char* message)
{
    m_kind = kind;
    m_code = code;
    m_message = message ? message : "";
}

void SetHeronResourceModule(HINSTANCE module)
{
    g_resources = module;
}

std::string HeronString(UINT id, int limit)
{
    if (id == 0 || limit < 1)
        return std::string();
    std::vector<char> text(limit, 0);
    int length = LoadStringA(g_resources, id, text.data(), limit);
    return std::string(text.data(), length > 0 ? length : 0);
}
