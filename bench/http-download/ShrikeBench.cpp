// Fetches one file from the local nginx with Shrike and with WinINet, a few
// rounds each, and prints the median throughput of each, their ratio and
// the best rounds.
// Arguments: path, expected size, rounds. Port from SHRIKE_NGINX_PORT.
#include "QuiInet.h"

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <vector>
#include <string>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The pattern the benchmark's file holds, checked at a few places.
bool Intact(const char* data, size_t size)
{
    for (size_t i = 0; i < size; i += 4093) {
        if (static_cast<unsigned char>(data[i]) != ((i * 31 + (i >> 11)) & 0xff))
            return false;
    }
    return size == 0 || static_cast<unsigned char>(data[size - 1]) == (((size - 1) * 31 + ((size - 1) >> 11)) & 0xff);
}

struct Shrike {
    HMODULE module = LoadLibraryA("Shrike.dll");
    QUIINETInitProc init = reinterpret_cast<QUIINETInitProc>(GetProcAddress(module, "QUIINETInit"));
    QUIINETGetFileProc getFile = reinterpret_cast<QUIINETGetFileProc>(GetProcAddress(module, "QUIINETGetFile"));
    QUIINETCloseProc close = reinterpret_cast<QUIINETCloseProc>(GetProcAddress(module, "QUIINETClose"));
};

// Seconds for one download, or a negative number when it failed.
double WithShrike(Shrike& shrike, int port, const char* path, size_t size)
{
    QuiHttpSession* session = shrike.init(nullptr, "127.0.0.1", port);
    if (!session)
        return -1;
    char* data = nullptr;
    double start = Now();
    int count = shrike.getFile(session, path, &data);
    double seconds = Now() - start;
    bool ok = count == static_cast<int>(size) && Intact(data, size);
    std::free(data);
    shrike.close(session);
    return ok ? seconds : -1;
}

// The same work as a Windows program would do it with WinINet: read the
// whole file into one growing block.
double WithWinInet(int port, const char* path, size_t size)
{
    HINTERNET internet = InternetOpenA("ShrikeBench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!internet)
        return -1;
    std::string url = "http://127.0.0.1:" + std::to_string(port) + path;
    double start = Now();
    HINTERNET file = InternetOpenUrlA(internet, url.c_str(), nullptr, 0,
                                      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE,
                                      0);
    size_t total = 0, capacity = 0;
    char* data = nullptr;
    bool ok = file != nullptr;
    while (ok) {
        if (capacity - total < 65536) {
            capacity = capacity ? capacity * 2 : 65536;
            char* grown = static_cast<char*>(std::realloc(data, capacity));
            if (!grown) {
                ok = false;
                break;
            }
            data = grown;
        }
        DWORD got = 0;
        if (!InternetReadFile(file, data + total, static_cast<DWORD>(capacity - total), &got)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        total += got;
    }
    double seconds = Now() - start;
    ok = ok && total == size && Intact(data, size);
    std::free(data);
    if (file)
        InternetCloseHandle(file);
    InternetCloseHandle(internet);
    return ok ? seconds : -1;
}

}

int main(int argc, char** argv)
{
    const char* port = std::getenv("SHRIKE_NGINX_PORT");
    if (argc < 3 || !port) {
        std::fprintf(stderr, "usage: ShrikeBench path size [rounds], with SHRIKE_NGINX_PORT set\n");
        return 2;
    }
    const char* path = argv[1];
    size_t size = std::strtoul(argv[2], nullptr, 10);
    int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    Shrike shrike;
    if (!shrike.init || !shrike.getFile || !shrike.close) {
        std::fprintf(stderr, "Shrike.dll or its exports not found\n");
        return 1;
    }
    std::vector<double> shrikeRates, winInetRates;
    for (int i = 0; i < rounds; ++i) {
        double s = WithShrike(shrike, std::atoi(port), path, size);
        double w = WithWinInet(std::atoi(port), path, size);
        if (s < 0 || w < 0) {
            std::fprintf(stderr, "round %d failed (Shrike %s, WinINet %s)\n", i + 1, s < 0 ? "failed" : "ok",
                         w < 0 ? "failed" : "ok");
            return 1;
        }
        double ms = size / s / 1e6, mw = size / w / 1e6;
        std::printf("round %d: Shrike %.1f MB/s, WinINet %.1f MB/s\n", i + 1, ms, mw);
        shrikeRates.push_back(ms);
        winInetRates.push_back(mw);
    }
    std::sort(shrikeRates.begin(), shrikeRates.end());
    std::sort(winInetRates.begin(), winInetRates.end());
    double medianShrike = shrikeRates[rounds / 2], medianWinInet = winInetRates[rounds / 2];
    std::printf("%zu bytes, median of %d rounds: Shrike %.1f MB/s, WinINet %.1f MB/s, ratio Shrike/WinINet %.2f\n",
                size, rounds, medianShrike, medianWinInet, medianShrike / medianWinInet);
    std::printf("best: Shrike %.1f MB/s, WinINet %.1f MB/s\n", shrikeRates.back(), winInetRates.back());
    return 0;
}
