#include "tests/tool/ToolRunner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include "platform/Platform.h"
#else
#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

// The captured text, with the CR LF line ends of Windows programs read as LF.
std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream captured;
    captured << in.rdbuf();
    std::string text = captured.str();
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

int ProcessId() {
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
}

// A file of its own for each capture: test processes may run side by side.
std::filesystem::path CaptureFile(const char* stream) {
    static int counter = 0;
    return std::filesystem::temp_directory_path() / ("orvane-tool-test-" + std::to_string(ProcessId()) + "-" +
                                                     std::string(stream) + "-" + std::to_string(++counter) + ".txt");
}

#ifdef _WIN32
std::string Quoted(const std::string& arg) { return "\"" + arg + "\""; }

HANDLE InheritableFile(const std::filesystem::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.string().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Spawn(const std::vector<std::string>& argv, const std::filesystem::path& out, const std::filesystem::path& err) {
    std::string line;
    for (const std::string& arg : argv) line += (line.empty() ? "" : " ") + Quoted(arg);
    HANDLE outFile = InheritableFile(out, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE errFile = InheritableFile(err, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE input = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(outFile);
    CloseHandle(errFile);
    CloseHandle(input);
    if (!started) throw std::runtime_error("cannot start " + argv[0]);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
#else
std::vector<char*> ArgvOf(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

int ExitCodeOf(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) throw std::runtime_error("waitpid failed");
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int Spawn(const std::vector<std::string>& argv, const std::filesystem::path& out, const std::filesystem::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    std::vector<char*> pointers = ArgvOf(argv);
    const int started = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) throw std::runtime_error("cannot start " + argv[0]);
    return ExitCodeOf(pid);
}
#endif

std::vector<std::string> CommandLine(const std::vector<std::string>& args) {
    std::vector<std::string> argv{ORVANE_TOOL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args) {
    const std::filesystem::path out = CaptureFile("out"), err = CaptureFile("err");
    ToolRun run;
    run.exitCode = Spawn(CommandLine(args), out, err);
    run.out = Slurp(out);
    run.err = Slurp(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

#ifndef _WIN32
ToolRun RunToolInTerminal(const std::vector<std::string>& args) {
    const std::vector<std::string> argv = CommandLine(args);
    std::vector<char*> pointers = ArgvOf(argv);
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid < 0) throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    ToolRun run;
    char buffer[4096];
    ssize_t got;
    // The terminal reports an error (EIO) once the program has closed its side.
    while ((got = read(terminal, buffer, sizeof buffer)) > 0) run.out.append(buffer, static_cast<std::size_t>(got));
    close(terminal);
    run.exitCode = ExitCodeOf(pid);
    return run;
}
#endif
