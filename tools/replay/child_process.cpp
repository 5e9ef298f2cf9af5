// Starting the program in replay mode, waiting for it with a time limit, ending it on time-out.
#include "child_process.h"

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "../common/crash_watch.h"
#include "../common/end_mark_watch.h"
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

// The harness follows the program as its debugger (crash_watch), so a crash ends it with the
// exception's code rather than passing for a time-out. Returns when the program has ended, or
// when the deadline has passed (end->timed_out) and it was ended.
static void follow_program(CrashWatch* watch, ULONGLONG deadline, ChildEnd* end) {
    for (;;) {
        if (!watch_for(watch, left_until(deadline) < 100 ? left_until(deadline) : 100)) break;
        if (left_until(deadline) > 0) continue;
        end->timed_out = true;
        TerminateProcess(watch->process, 1);
        // After a time-out the program has been told to end: give it a little longer.
        ULONGLONG grace = GetTickCount64() + 10000;
        while (watch_for(watch, 100) && left_until(grace) > 0) {
        }
        return;
    }
    end->exit_code = watch->exit_code;
}

ChildEnd run_replay_child(const char* program, const char* script, const char* canvas,
                          int32_t timeout_s) {
    ChildEnd end{false, false, 0, false, 0.0, 0};
    // Named in the harness's own environment before the program's is made from it.
    EndMark end_mark = make_end_mark("korva-replay");
    std::vector<char> environment = replay_environment(script, canvas);
    std::string command_line = std::string("\"") + program + "\"";
    std::vector<char> command(command_line.begin(), command_line.end());
    command.push_back('\0');

    // The program's console lines (corrections, pictures it could not load) come on its standard
    // error in replay mode: it writes to the harness's own.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    if (startup.hStdError != nullptr && startup.hStdError != INVALID_HANDLE_VALUE)
        SetHandleInformation(startup.hStdError, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_s) * 1000;
    // Under Wine the desktop is a process of its own, started by the first program that asks for
    // it when none runs. Asked for here, it starts outside the program's job: it is Wine's, not
    // something the program left running, and ending it would make the next program wait for it.
    GetDesktopWindow();
    HANDLE job = make_process_job();
    // The program runs in the harness's own folder, where the person replaying is, so it finds
    // its files by the names it uses in a live run from there.
    if (!CreateProcessA(program, command.data(), nullptr, nullptr, TRUE, CRASH_WATCH_FLAGS | CREATE_SUSPENDED,
                        environment.data(), nullptr, &startup, &process)) {
        if (job != nullptr) CloseHandle(job);
        for (HANDLE h : {end_mark.promised, end_mark.ended})
            if (h != nullptr) CloseHandle(h);
        return end;
    }
    end.started = true;
    run_in_job(job, process);
    CrashWatch watch = start_crash_watch(process);
    follow_program(&watch, deadline, &end);
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
    end.killed = !end.timed_out && !watch.crashed && end.exit_code == 0 && ended_from_outside(end_mark);
    for (HANDLE h : {end_mark.promised, end_mark.ended})
        if (h != nullptr) CloseHandle(h);
    return end;
}
