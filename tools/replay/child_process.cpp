// Starting the program in replay mode, waiting for it with a time limit, ending it on time-out.
#include "child_process.h"

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "../common/process_job.h"

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

// Milliseconds left until the deadline, 0 once it has passed.
static DWORD left_until(ULONGLONG deadline) {
    ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// The harness follows the program as its debugger. An exception that the program does not
// handle then comes back here as a second chance, and the program is ended with the exception's
// code; without this an unhandled exception may start a crash dialog or a debugger that waits
// for a person (Wine does so whatever the error mode), and the crash would pass for a time-out.
// Returns when the program has ended, or when the deadline has passed (end->timed_out).
static void follow_program(HANDLE process, DWORD process_id, ULONGLONG deadline, ChildEnd* end) {
    bool loader_breakpoint_seen = false;
    bool ending = false;
    for (;;) {
        DEBUG_EVENT event;
        // After a time-out or a crash the program has been told to end: give it a little longer.
        DWORD wait = ending ? 10000 : left_until(deadline);
        if (!WaitForDebugEvent(&event, wait)) {
            if (ending) return;
            end->timed_out = true;
            ending = true;
            TerminateProcess(process, 1);
            continue;
        }
        DWORD continue_status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile != nullptr) CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT: {
            const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
            if (!event.u.Exception.dwFirstChance) {
                // Unhandled: a crash.
                if (!ending) end->exit_code = record.ExceptionCode;
                ending = true;
                TerminateProcess(process, record.ExceptionCode);
            } else if (record.ExceptionCode == EXCEPTION_BREAKPOINT && !loader_breakpoint_seen) {
                loader_breakpoint_seen = true;  // every debugged process starts with one
            } else {
                continue_status = DBG_EXCEPTION_NOT_HANDLED;  // the program's own handlers first
            }
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT:
            if (event.dwProcessId == process_id) {
                if (!end->timed_out && end->exit_code == 0) end->exit_code = event.u.ExitProcess.dwExitCode;
                ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
                return;
            }
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continue_status);
    }
}

ChildEnd run_replay_child(const char* program, const char* folder, const char* script, const char* canvas,
                          int32_t timeout_s) {
    ChildEnd end{false, false, 0, 0.0, 0};
    std::vector<char> environment = replay_environment(script, canvas);
    std::string command_line = std::string("\"") + program + "\"";
    std::vector<char> command(command_line.begin(), command_line.end());
    command.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_s) * 1000;
    HANDLE job = make_process_job();
    if (!CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS | CREATE_SUSPENDED,
                        environment.data(), folder, &startup, &process)) {
        if (job != nullptr) CloseHandle(job);
        return end;
    }
    end.started = true;
    run_in_job(job, process);
    follow_program(process.hProcess, process.dwProcessId, deadline, &end);
    // The folder is removed next; the program must have let go of its files first.
    WaitForSingleObject(process.hProcess, 10000);
    QueryPerformanceCounter(&ended);
    end.seconds = static_cast<double>(ended.QuadPart - started.QuadPart) / static_cast<double>(frequency.QuadPart);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Whatever the program started and left behind holds the work folder and would outlive
    // the harness.
    end.left_running = end_job_processes(job);
    if (job != nullptr) CloseHandle(job);
    return end;
}
