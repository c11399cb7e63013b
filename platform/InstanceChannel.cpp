#include "platform/InstanceChannel.h"

#include <array>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// A message is a folder path: more than any path the systems allow.
constexpr std::size_t kMaxMessageBytes = 65536;
constexpr std::size_t kReadPieceBytes = 4096;

#ifdef _WIN32

constexpr DWORD kPipeBufferBytes = 4096;
constexpr DWORD kBusyWaitMilliseconds = 1000;

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// "\\.\pipe\" and the address, whose backslashes a pipe name cannot hold.
std::wstring PipeName(const std::string& address)
{
    std::wstring name = Wide(address);
    for (wchar_t& c : name) {
        if (c == L'\\')
            c = L'/';
    }
    return L"\\\\.\\pipe\\" + name;
}

class PipeListener : public InstanceListener {
public:
    explicit PipeListener(HANDLE pipe) : m_pipe(pipe) {}
    ~PipeListener() override { CloseHandle(m_pipe); }
    PipeListener(const PipeListener&) = delete;
    PipeListener& operator=(const PipeListener&) = delete;

    std::vector<std::string> Take() override
    {
        std::vector<std::string> messages;
        // The pipe does not wait: connecting and reading say at once how things stand.
        while (Connected() && ReadAvailable()) {
            messages.push_back(m_message);
            m_message.clear();
            DisconnectNamedPipe(m_pipe);
        }
        return messages;
    }

private:
    bool Connected()
    {
        if (ConnectNamedPipe(m_pipe, nullptr))
            return true;
        const DWORD error = GetLastError();
        return error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA;
    }

    // True once the sender has closed its end: the message is complete.
    bool ReadAvailable()
    {
        std::array<char, kReadPieceBytes> piece{};
        while (true) {
            DWORD got = 0;
            if (ReadFile(m_pipe, piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr)) {
                if (got == 0)
                    return false;  // nothing more yet; the sender has not closed its end
                if (m_message.size() + got <= kMaxMessageBytes)
                    m_message.append(piece.data(), got);
                continue;
            }
            const DWORD error = GetLastError();
            return error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
        }
    }

    HANDLE m_pipe;
    std::string m_message;
};

#else

class SocketListener : public InstanceListener {
public:
    SocketListener(int socket, std::string address) : m_socket(socket), m_address(std::move(address)) {}
    ~SocketListener() override
    {
        close(m_socket);
        unlink(m_address.c_str());
    }
    SocketListener(const SocketListener&) = delete;
    SocketListener& operator=(const SocketListener&) = delete;

    std::vector<std::string> Take() override
    {
        std::vector<std::string> messages;
        while (true) {
            const int client = accept(m_socket, nullptr, nullptr);
            if (client < 0)
                return messages;
            messages.push_back(ReadAll(client));
            close(client);
        }
    }

private:
    // The client's message up to its end; a client that stops sending is given up
    // after a second, so that a stuck sender cannot hold the window.
    static std::string ReadAll(int client)
    {
        fcntl(client, F_SETFL, fcntl(client, F_GETFL) & ~O_NONBLOCK);
        timeval timeout{1, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::string message;
        std::array<char, kReadPieceBytes> piece{};
        ssize_t got = 0;
        while ((got = read(client, piece.data(), piece.size())) > 0 && message.size() < kMaxMessageBytes)
            message.append(piece.data(), static_cast<std::size_t>(got));
        return message;
    }

    int m_socket;
    std::string m_address;
};

// The socket address of `address`; false when the path is too long for one.
bool SocketAddress(const std::string& address, sockaddr_un& socketAddress)
{
    socketAddress = sockaddr_un{};
    socketAddress.sun_family = AF_UNIX;
    if (address.size() >= sizeof socketAddress.sun_path)
        return false;
    std::memcpy(socketAddress.sun_path, address.c_str(), address.size() + 1);
    return true;
}

#endif

}  // namespace

#ifdef _WIN32

std::unique_ptr<InstanceListener> ListenForInstances(const std::string& address)
{
    const HANDLE pipe = CreateNamedPipeW(PipeName(address).c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_NOWAIT | PIPE_REJECT_REMOTE_CLIENTS,
                                         1, 0, kPipeBufferBytes, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<PipeListener>(pipe);
}

bool SendToInstance(const std::string& address, const std::string& message)
{
    const std::wstring name = PipeName(address);
    HANDLE pipe = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY && WaitNamedPipeW(name.c_str(), kBusyWaitMilliseconds))
        pipe = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    // Windows lets only the program the person works with, this start, bring a window
    // to the front: it hands that right to the running instance, which raises its window.
    ULONG server = 0;
    if (GetNamedPipeServerProcessId(pipe, &server))
        AllowSetForegroundWindow(server);
    DWORD written = 0;
    const bool sent = WriteFile(pipe, message.data(), static_cast<DWORD>(message.size()), &written, nullptr) &&
                      written == message.size();
    // Closing this end leaves what was written in the pipe for the instance to read.
    // Waiting until it has (FlushFileBuffers) would hold a sender in the instance's own
    // thread for ever.
    CloseHandle(pipe);
    return sent;
}

#else

std::unique_ptr<InstanceListener> ListenForInstances(const std::string& address)
{
    sockaddr_un socketAddress{};
    if (!SocketAddress(address, socketAddress))
        return nullptr;
    const int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listening < 0)
        return nullptr;
    unlink(address.c_str());  // left by an instance that ended without cleaning up
    if (bind(listening, reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress) != 0 ||
        listen(listening, SOMAXCONN) != 0) {
        close(listening);
        return nullptr;
    }
    return std::make_unique<SocketListener>(listening, address);
}

bool SendToInstance(const std::string& address, const std::string& message)
{
    sockaddr_un socketAddress{};
    if (!SocketAddress(address, socketAddress))
        return false;
    const int sending = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sending < 0)
        return false;
    bool sent = connect(sending, reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress) == 0;
    for (std::size_t done = 0; sent && done < message.size();) {
        const ssize_t wrote = send(sending, message.data() + done, message.size() - done, MSG_NOSIGNAL);
        sent = wrote > 0;
        done += sent ? static_cast<std::size_t>(wrote) : 0;
    }
    close(sending);
    return sent;
}

#endif

}  // namespace platform
