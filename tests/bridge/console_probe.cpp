// console_probe: starts a program in this process's console, with its
// standard streams as each case asks (standard error with standard output
// unless the case says otherwise), and reports the console's input mode
// before and after, for tests/e2e/test_bridge_console.py.
//
//   console_probe RESULT_FILE PROGRAM
//
// Run it with a console (under Wine: in a terminal). For each case it sets
// the input mode to kStartMode, starts PROGRAM sharing the console, waits,
// reads the mode, ends PROGRAM and writes "case=NAME before=0x.. after=0x..".
// kStartMode has QuickEdit on and ENABLE_EXTENDED_FLAGS off, so that both
// changes show; Wine keeps the mode bits as they are set.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kStartMode = ENABLE_QUICK_EDIT_MODE | ENABLE_ECHO_INPUT | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT;
constexpr DWORD kSettleMs = 1500;

HANDLE OpenConsoleInput()
{
    return CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

HANDLE Inheritable(HANDLE handle)
{
    HANDLE copy = INVALID_HANDLE_VALUE;
    DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
    return copy;
}

HANDLE OpenInheritable(const char* path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition, 0, nullptr);
}

// Runs one case; returns false when the program could not be started.
bool RunCase(std::FILE* result, const char* name, const std::string& program, HANDLE in, HANDLE out,
             HANDLE err = nullptr)
{
    HANDLE console = OpenConsoleInput();
    SetConsoleMode(console, kStartMode);
    DWORD before = 0;
    GetConsoleMode(console, &before);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err != nullptr ? err : out;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + program + "\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(result, "case=%s error=cannot start %s (Windows error %lu)\n", name, program.c_str(),
                     GetLastError());
        CloseHandle(console);
        return false;
    }
    Sleep(kSettleMs);
    DWORD after = 0;
    GetConsoleMode(console, &after);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(console);
    std::fprintf(result, "case=%s before=0x%lx after=0x%lx\n", name, before, after);
    std::fflush(result);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: console_probe RESULT_FILE PROGRAM\n");
        return 2;
    }
    std::FILE* result = std::fopen(argv[1], "w");
    if (!result)
        return 2;
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
        std::fprintf(result, "error=no console: run console_probe in a terminal\n");
        std::fclose(result);
        return 1;
    }
    const std::string program = argv[2];
    HANDLE console_in = Inheritable(GetStdHandle(STD_INPUT_HANDLE));
    HANDLE console_out = Inheritable(GetStdHandle(STD_OUTPUT_HANDLE));
    HANDLE nul = OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    const std::string log_path = std::string(argv[1]) + ".out";
    HANDLE file = OpenInheritable(log_path.c_str(), GENERIC_WRITE, CREATE_ALWAYS);

    bool ok = RunCase(result, "console", program, console_in, console_out);
    ok = RunCase(result, "input_redirected", program, nul, console_out) && ok;
    ok = RunCase(result, "output_redirected", program, console_in, file) && ok;
    ok = RunCase(result, "errors_to_console", program, console_in, file, console_out) && ok;
    std::fprintf(result, "done=1\n");
    std::fclose(result);
    return ok ? 0 : 1;
}
