#include "tests/support/Process.h"

#include "platform/Files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <spawn.h>
#include <sys/wait.h>
#endif

namespace testsupport {

using platform::PathFromUtf8;

#ifdef _WIN32

namespace {

// One argument quoted so that the C runtime's command-line parser gives it back unchanged.
std::wstring QuotedArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes double only in front of a quote, which is escaped itself.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * backslashes, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

std::wstring Wide(const std::string& utf8)
{
    return PathFromUtf8(utf8).wstring();
}

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &security, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::optional<int> RunProcess(const ProcessRequest& request)
{
    std::wstring commandLine = QuotedArgument(Wide(request.program));
    for (const auto& argument : request.arguments)
        commandLine += L" " + QuotedArgument(Wide(argument));
    HANDLE input = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE output = InheritableFile(request.outputPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE error = InheritableFile(request.errorPath, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    const std::wstring folder = Wide(request.workingFolder);
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        request.workingFolder.empty() ? nullptr : folder.c_str(), &startup,
                                        &process) != 0;
    for (HANDLE handle : {input, output, error}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    if (!started)
        return std::nullopt;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &status) != 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!known)
        return std::nullopt;
    return static_cast<int>(status);
}

#else

namespace {

constexpr mode_t kCreatedFileMode = 0644;

// The file actions of a spawn: empty input, output and error into files, the working folder.
class SpawnActions {
public:
    explicit SpawnActions(const ProcessRequest& request)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&m_actions, 1, request.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         kCreatedFileMode);
        posix_spawn_file_actions_addopen(&m_actions, 2, request.errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         kCreatedFileMode);
        if (!request.workingFolder.empty())
            posix_spawn_file_actions_addchdir_np(&m_actions, request.workingFolder.c_str());
    }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    const posix_spawn_file_actions_t* Get() const { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

}  // namespace

extern "C" char** environ;

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(1);

std::optional<pid_t> Spawn(const ProcessRequest& request)
{
    std::vector<std::string> words = {request.program};
    words.insert(words.end(), request.arguments.begin(), request.arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const SpawnActions actions(request);
    pid_t child = 0;
    if (posix_spawn(&child, request.program.c_str(), actions.Get(), nullptr, argv.data(), environ) != 0)
        return std::nullopt;
    return child;
}

std::optional<int> ExitStatus(int status)
{
    if (!WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

}  // namespace

std::optional<int> RunProcess(const ProcessRequest& request)
{
    const auto child = Spawn(request);
    if (!child)
        return std::nullopt;
    int status = 0;
    while (waitpid(*child, &status, 0) < 0) {
        if (errno != EINTR)
            return std::nullopt;
    }
    return ExitStatus(status);
}

std::optional<int> RunProcessSignalled(const ProcessRequest& request, int signal, const std::function<bool()>& due)
{
    const auto child = Spawn(request);
    if (!child)
        return std::nullopt;
    int status = 0;
    for (bool sent = false;;) {
        const pid_t ended = waitpid(*child, &status, sent ? 0 : WNOHANG);
        if (ended == *child)
            return ExitStatus(status);
        if (ended < 0 && errno != EINTR)
            return std::nullopt;
        if (!sent && due()) {
            kill(*child, signal);
            sent = true;
        }
        if (!sent)
            std::this_thread::sleep_for(kPollInterval);
    }
}

RunningProcess::RunningProcess(const ProcessRequest& request) : m_child(Spawn(request).value_or(-1)) {}

RunningProcess::~RunningProcess()
{
    if (!Running())
        return;
    kill(m_child, SIGTERM);
    while (waitpid(m_child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

bool RunningProcess::Running()
{
    if (m_child >= 0 && waitpid(m_child, nullptr, WNOHANG) != 0)
        m_child = -1;
    return m_child >= 0;
}

#endif

}  // namespace testsupport
