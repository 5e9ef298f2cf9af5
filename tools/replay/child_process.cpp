// Starting the program in replay mode, waiting for it with a time limit, ending it on time-out.
#include "child_process.h"

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

// Environment names compare without regard to case on this platform.
static bool names_variable(const char* entry, const char* name) {
    size_t length = strlen(name);
    return _strnicmp(entry, name, length) == 0 && entry[length] == '=';
}

// The harness's own environment with the two replay variables set anew, as the block that
// CreateProcessA takes: "NAME=value" strings one after another, ended by an empty one.
static std::vector<char> replay_environment(const char* script, const char* canvas) {
    std::vector<char> block;
    char* own = GetEnvironmentStringsA();
    for (const char* entry = own; entry != nullptr && *entry != '\0'; entry += strlen(entry) + 1) {
        if (names_variable(entry, "KORVA_REPLAY") || names_variable(entry, "KORVA_REPLAY_CANVAS")) continue;
        block.insert(block.end(), entry, entry + strlen(entry) + 1);
    }
    if (own != nullptr) FreeEnvironmentStringsA(own);
    for (const std::string& entry : {std::string("KORVA_REPLAY=") + script, std::string("KORVA_REPLAY_CANVAS=") + canvas})
        block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    block.push_back('\0');
    return block;
}

ChildEnd run_replay_child(const char* program, const char* folder, const char* script, const char* canvas,
                          int32_t timeout_s) {
    ChildEnd end{false, false, 0, 0.0};
    std::vector<char> environment = replay_environment(script, canvas);
    std::string command_line = std::string("\"") + program + "\"";
    std::vector<char> command(command_line.begin(), command_line.end());
    command.push_back('\0');

    // A crash must end the program with its exception code, not open an error box that
    // waits for a person; the child inherits this error mode.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0, environment.data(), folder, &startup,
                        &process))
        return end;
    end.started = true;
    CloseHandle(process.hThread);

    DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout_s) * 1000);
    if (waited != WAIT_OBJECT_0) {
        end.timed_out = true;
        TerminateProcess(process.hProcess, 1);
        // The folder is removed next; the program must have let go of its files first.
        WaitForSingleObject(process.hProcess, 10000);
    } else {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        end.exit_code = code;
    }
    QueryPerformanceCounter(&ended);
    end.seconds = static_cast<double>(ended.QuadPart - started.QuadPart) / static_cast<double>(frequency.QuadPart);
    CloseHandle(process.hProcess);
    return end;
}
