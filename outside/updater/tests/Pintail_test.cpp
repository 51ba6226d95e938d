// The updater as the main program starts it: a command file, a catalogue on
// a local HTTP server (fetched through Shrike) or in a local folder, the list
// of fetched files and the broadcast.
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "QuiTesting.h"

namespace {

using QuiTesting::Exists;
using QuiTesting::ReadText;
using QuiTesting::WriteText;

std::string Folder(const char* name)
{
    char full[MAX_PATH];
    ::GetFullPathNameA(name, MAX_PATH, full, nullptr);
    return full;
}

// A loopback HTTP server on a thread of the test: answers GET with the body
// of its path, 404 otherwise, and closes each connection.
class LoopbackServer {
public:
    explicit LoopbackServer(std::map<std::string, std::string> files) : m_files(std::move(files))
    {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 8);
        int length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = ::CreateThread(nullptr, 0, &Serve, this, 0, nullptr);
    }
    ~LoopbackServer()
    {
        m_stop = true;
        ::closesocket(m_listener);
        ::WaitForSingleObject(m_thread, 10000);
        ::CloseHandle(m_thread);
        ::WSACleanup();
    }
    int Port() const { return m_port; }
    int Requests() const { return m_requests; }

private:
    static DWORD WINAPI Serve(LPVOID self) { return static_cast<LoopbackServer*>(self)->Loop(); }

    DWORD Loop()
    {
        while (!m_stop) {
            SOCKET client = ::accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                break;
            std::string request;
            char chunk[1024];
            int n;
            while (request.find("\r\n\r\n") == std::string::npos && (n = ::recv(client, chunk, sizeof chunk, 0)) > 0)
                request.append(chunk, n);
            ++m_requests;
            std::string path = request.substr(4, request.find(' ', 4) - 4);
            auto found = m_files.find(path);
            std::string answer = found == m_files.end()
                                     ? std::string("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
                                     : "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(found->second.size()) +
                                           "\r\nConnection: close\r\n\r\n" + found->second;
            ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
            ::shutdown(client, SD_SEND);
            ::closesocket(client);
        }
        return 0;
    }

    std::map<std::string, std::string> m_files;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
};

// A top-level window that counts the registered message's broadcasts.
class Listener {
public:
    explicit Listener(const char* message) : m_message(::RegisterWindowMessageA(message))
    {
        m_window = ::CreateWindowExA(0, "STATIC", "listener", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ::SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~Listener() { ::DestroyWindow(m_window); }
    int Heard() const { return m_heard; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Listener* self = reinterpret_cast<Listener*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (message == self->m_message)
            ++self->m_heard;
        return ::CallWindowProcA(self->m_previous, hwnd, message, wParam, lParam);
    }

    UINT m_message;
    HWND m_window;
    WNDPROC m_previous = nullptr;
    int m_heard = 0;
};

class Pintail : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = Folder("pintail-test");
        Remove();
        ::CreateDirectoryA(home.c_str(), nullptr);
        connectors = home + "\\conn";
        pictures = home + "\\pics";
        ::CreateDirectoryA(connectors.c_str(), nullptr);
        ::CreateDirectoryA(pictures.c_str(), nullptr);
    }
    void TearDown() override { Remove(); }

    void Remove()
    {
        std::string from = home + '\0';
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationA(&operation);
    }

    // Runs the updater with a command file as the main program writes it and
    // waits for it and its broadcast; the exit code.
    int Run(const std::string& catalog, Listener& listener)
    {
        std::string command = home + "\\qup1.tmp";
        WriteText(command, "-i:" + catalog + "\n-m:QUIUPDATED_FILES\n-n:QUI_UPD_NOTIF_TEST\n-p:" + home + "\n-c:" +
                               connectors + "\n-x\n-s\n-g:" + pictures + "\\\n ");
        char self[MAX_PATH * 2] = {};
        ::GetModuleFileNameA(nullptr, self, sizeof self - 1);
        std::string exe(self);
        exe = exe.substr(0, exe.rfind('\\') + 1) + "Pintail.exe";
        std::string line = "\"" + exe + "\" \"-f:" + command + "\"";
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process))
            return -1;
        ::CloseHandle(process.hThread);
        int heard = listener.Heard();
        DWORD code = STILL_ACTIVE;
        // Ended and heard, or ended in failure (no broadcast to wait for then).
        QuiTesting::PumpUntil(
            [&] {
                ::GetExitCodeProcess(process.hProcess, &code);
                return code != STILL_ACTIVE && (listener.Heard() > heard || code != 0);
            },
            60000, process.hProcess);
        ::CloseHandle(process.hProcess);
        return static_cast<int>(code);
    }

    std::string List() { return ReadText(home + "\\QUIUPDATED_FILES"); }

    std::string home, connectors, pictures;
};

TEST_F(Pintail, FetchesOverHttpThroughShrikeWritesItsListAndBroadcasts)
{
    LoopbackServer server({{"/cat/list.txt", "; catalogue\r\nmaps.xml\r\n\r\npin.gif\r\n..\\evil.xml\r\nC:\\x.xml\r\nnote.txt\r\n"},
                           {"/cat/maps.xml", "<CONNECTOR maps>"},
                           {"/cat/pin.gif", "GIF89a"}});
    Listener listener("QUI_UPD_NOTIF_TEST");
    std::string catalog = "http://127.0.0.1:" + std::to_string(server.Port()) + "/cat/list.txt";
    ASSERT_EQ(0, Run(catalog, listener));
    EXPECT_EQ(1, listener.Heard());
    EXPECT_EQ("\"" + home + "\\Updates\\maps.xml\",\"" + connectors + "\\maps.xml\"\r\n\"" + home +
                  "\\Updates\\pin.gif\",\"" + pictures + "\\pin.gif\"\r\n",
              List());
    EXPECT_EQ("<CONNECTOR maps>", ReadText(home + "\\Updates\\maps.xml"));
    EXPECT_EQ("GIF89a", ReadText(home + "\\Updates\\pin.gif"));
    EXPECT_FALSE(Exists(home + "\\evil.xml"));
    EXPECT_FALSE(Exists(connectors + "\\maps.xml")) << "installing is the main program's";
}

TEST_F(Pintail, AFolderCatalogueWithNothingNewGivesAnEmptyList)
{
    std::string source = home + "\\source";
    ::CreateDirectoryA(source.c_str(), nullptr);
    WriteText(source + "\\list.txt", "same.xml\r\nmissing.xml\r\n");
    WriteText(source + "\\same.xml", "<CONNECTOR same>");
    WriteText(connectors + "\\same.xml", "<CONNECTOR same>");
    Listener listener("QUI_UPD_NOTIF_TEST");
    struct Row {
        std::string catalog;
        const char* why;
    } rows[] = {
        {source + "\\list.txt", "the destination already holds the same bytes"},
        {source + "\\nolist.txt", "no catalogue"},
    };
    for (const Row& row : rows) {
        WriteText(home + "\\QUIUPDATED_FILES", "stale");
        ASSERT_EQ(0, Run(row.catalog, listener)) << row.why;
        EXPECT_TRUE(Exists(home + "\\QUIUPDATED_FILES")) << row.why;
        EXPECT_EQ("", List()) << row.why;
    }
    EXPECT_EQ(2, listener.Heard());
}

TEST_F(Pintail, WithoutACommandFileNothingIsWrittenOrBroadcast)
{
    Listener listener("QUI_UPD_NOTIF_TEST");
    WriteText(home + "\\qup1.tmp", "");
    char self[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self - 1);
    std::string exe(self);
    exe = exe.substr(0, exe.rfind('\\') + 1) + "Pintail.exe";
    for (std::string line : {"\"" + exe + "\"", "\"" + exe + "\" \"-f:" + home + "\\none.tmp\""}) {
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(::CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &process));
        ::CloseHandle(process.hThread);
        ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.hProcess, 60000));
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hProcess);
        EXPECT_EQ(1u, code) << line;
    }
    EXPECT_FALSE(Exists(home + "\\QUIUPDATED_FILES"));
    EXPECT_EQ(0, listener.Heard());
}

} // namespace
