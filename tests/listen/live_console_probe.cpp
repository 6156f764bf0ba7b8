// live_console_probe: runs a program in this process's console and reports
// the console's output mode before, while and after it runs, for
// tests/e2e/test_listen_live.py.
//
//   live_console_probe RESULT_FILE PROGRAM [ARGS...]
//
// Run it with a console (under Wine: in a terminal). It sets the output mode
// to kStartMode (virtual-terminal processing off), starts PROGRAM sharing the
// console, reads the mode every 20 ms while it runs and, once it has ended,
// writes "before=0x.. during=0x.. after=0x.. exit=N" (during: every bit seen
// while it ran). It ignores Ctrl+C itself, so that a Ctrl+C typed into the
// console ends only PROGRAM.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kStartMode = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT;
constexpr DWORD kLongestRunMs = 60000;

BOOL WINAPI IgnoreCtrlC(DWORD event)
{
    return event == CTRL_C_EVENT ? TRUE : FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: live_console_probe RESULT_FILE PROGRAM [ARGS...]\n");
        return 2;
    }
    std::FILE* result = std::fopen(argv[1], "w");
    if (!result) {
        std::fprintf(stderr, "live_console_probe: cannot write %s\n", argv[1]);
        return 2;
    }
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD before = 0;
    if (!SetConsoleMode(output, kStartMode) || !GetConsoleMode(output, &before)) {
        std::fprintf(result, "error=no console: run live_console_probe in a terminal\n");
        std::fclose(result);
        return 1;
    }
    SetConsoleCtrlHandler(IgnoreCtrlC, TRUE);

    std::string command;
    for (int i = 2; i < argc; ++i)
        command += std::string(i > 2 ? " " : "") + "\"" + argv[i] + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(result, "error=cannot start %s (Windows error %lu)\n", argv[2], GetLastError());
        std::fclose(result);
        return 1;
    }
    DWORD during = 0;
    DWORD waited = 0;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT && waited < kLongestRunMs) {
        DWORD mode = 0;
        if (GetConsoleMode(output, &mode))
            during |= mode;
        waited += 20;
    }
    DWORD exit_code = 0;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
        std::fprintf(result, "error=%s did not end in %lu s\n", argv[2], kLongestRunMs / 1000);
    }
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DWORD after = 0;
    GetConsoleMode(output, &after);
    std::fprintf(result, "before=0x%lx during=0x%lx after=0x%lx exit=%lu\n", before, during, after, exit_code);
    std::fclose(result);
    return 0;
}
