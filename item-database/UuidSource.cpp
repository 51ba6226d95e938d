#include "UuidSource.h"

#include <cctype>

#ifdef _WIN32
#include <windows.h>
#include <rpc.h>

namespace {
// A machine without a network adapter gets identifiers unique to itself:
// still identifiers.
bool Made(RPC_STATUS status)
{
    return status == RPC_S_OK || status == RPC_S_UUID_LOCAL_ONLY;
}
}

namespace kestrel {
std::string NewUuidText()
{
    UUID uuid;
    RPC_CSTR text = nullptr;
    std::string result;
    if (!Made(UuidCreate(&uuid)) && !Made(UuidCreateSequential(&uuid)))
        return result;
    if (UuidToStringA(&uuid, &text) != RPC_S_OK)
        return result;
    result = reinterpret_cast<const char*>(text);
    RpcStringFreeA(&text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}
}

#else
#include <cstdio>
#include <random>

namespace kestrel {
// Version 4 (random) UUID from the host's random device.
std::string NewUuidText()
{
    static thread_local std::random_device device;
    unsigned char b[16];
    for (int i = 0; i < 16; i += 4) {
        unsigned v = device();
        for (int k = 0; k < 4; ++k)
            b[i + k] = static_cast<unsigned char>(v >> (8 * k));
    }
    b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);
    char text[37];
    std::snprintf(text, sizeof text,
                  "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11],
                  b[12], b[13], b[14], b[15]);
    return text;
}
}
#endif
