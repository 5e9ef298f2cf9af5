// korva-launch: korva-run's hands inside Wine. Starts a program in a job of its own, says when
// its first window shows, closes exactly that program's windows when told to, and ends with the
// program's exit code. Every process the program starts ends with it.
//   korva-launch.exe STATUS_FILE PROGRAM.exe [ARGS...]
//   korva-launch.exe --warm-up      (does nothing: the first Wine program of a session starts
//                                    Wine's helpers, and this one starts quickest)
// A line "close" on standard input asks the program to close as its close box would (a prompt
// that is open is answered first with its default button). STATUS_FILE receives "window" once
// the program shows a window.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "../common/crash_watch.h"
#include "../common/end_mark_watch.h"
#include "../common/process_job.h"

namespace {

constexpr char GRAPHICS_TITLE[] = "KORVA Graphics";
constexpr DWORD CLOSE_REPEAT_MS = 500;
// The exit status of a run whose program crashed (as a shell reports a program that aborted).
constexpr int LAUNCH_CRASHED = 134;
// The exit status of a run whose program was killed from outside (as a shell reports SIGKILL).
constexpr int LAUNCH_KILLED = 137;

HANDLE close_requested = nullptr;

// One argument as the program's C runtime will read it back: quoted when it must be, with the
// backslashes before a quote doubled.
void append_argument(std::string* line, const char* arg) {
    if (!line->empty()) line->push_back(' ');
    if (arg[0] != '\0' && strpbrk(arg, " \t\n\v\"") == nullptr) {
        line->append(arg);
        return;
    }
    line->push_back('"');
    size_t backslashes = 0;
    for (const char* c = arg;; ++c) {
        if (*c == '\\') {
            ++backslashes;
            continue;
        }
        if (*c == '\0') {
            line->append(backslashes * 2, '\\');
            break;
        }
        line->append(*c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        line->push_back(*c);
        backslashes = 0;
    }
    line->push_back('"');
}

DWORD WINAPI read_requests(void*) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[256];
    std::string pending;
    DWORD got = 0;
    while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        if (pending.find("close") != std::string::npos) SetEvent(close_requested);
        if (pending.size() > 64) pending.erase(0, pending.size() - 8);
    }
    return 0;
}

struct ProgramWindows {
    DWORD process_id;
    HWND graphics;      // the KORVA graphics window
    HWND dialog;        // an enabled, visible dialog (a prompt)
    HWND any_visible;   // any visible top-level window
};

BOOL CALLBACK look_at_window(HWND window, LPARAM data) {
    ProgramWindows* found = reinterpret_cast<ProgramWindows*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != found->process_id || !IsWindowVisible(window)) return TRUE;
    if (found->any_visible == nullptr) found->any_visible = window;
    char name[64];
    if (GetClassNameA(window, name, sizeof name) && strcmp(name, "#32770") == 0 && IsWindowEnabled(window))
        found->dialog = window;
    if (GetWindowTextA(window, name, sizeof name) && strcmp(name, GRAPHICS_TITLE) == 0) found->graphics = window;
    return TRUE;
}

ProgramWindows program_windows(DWORD process_id) {
    ProgramWindows found{process_id, nullptr, nullptr, nullptr};
    EnumWindows(look_at_window, reinterpret_cast<LPARAM>(&found));
    return found;
}

// One step of closing: a prompt is answered with its default button (as Enter would), else the
// graphics window (or, in a program of another kind, its first window) gets the close box's
// command. Posted, so a busy program cannot hold the launcher up.
void close_step(DWORD process_id) {
    ProgramWindows windows = program_windows(process_id);
    if (windows.dialog != nullptr) {
        DWORD_PTR default_id = 0;
        SendMessageTimeoutA(windows.dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 1000, &default_id);
        if (HIWORD(default_id) == DC_HASDEFID) {
            WORD id = LOWORD(default_id);
            PostMessageA(windows.dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(windows.dialog, id)));
            return;
        }
    }
    HWND target = windows.graphics != nullptr ? windows.graphics : windows.any_visible;
    if (target != nullptr) PostMessageA(target, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void report_window(const char* status_file) {
    HANDLE file = CreateFileA(status_file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, "window\n", 7, &written, nullptr);
    CloseHandle(file);
}

// The program's standard output and error are the launcher's; its input is empty, since the
// launcher's own input carries the requests.
void give_standard_handles(STARTUPINFOA* startup) {
    startup->dwFlags |= STARTF_USESTDHANDLES;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    startup->hStdInput = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                     nullptr);
    startup->hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup->hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE h : {startup->hStdOutput, startup->hStdError})
        if (h != nullptr && h != INVALID_HANDLE_VALUE) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--warm-up") == 0) return 0;
    if (argc < 3) {
        fprintf(stderr, "usage: korva-launch.exe STATUS_FILE PROGRAM.exe [ARGS...]\n");
        return 2;
    }
    const char* status_file = argv[1];
    std::string command;
    for (int i = 2; i < argc; ++i) append_argument(&command, argv[i]);

    HANDLE job = make_process_job();
    EndMark end_mark = make_end_mark("korva-launch");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    give_standard_handles(&startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[2], &command[0], nullptr, nullptr, TRUE, CRASH_WATCH_FLAGS | CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process)) {
        fprintf(stderr, "korva-run: cannot start %s (error %lu)\n", argv[2], static_cast<unsigned long>(GetLastError()));
        return 2;
    }
    if (!run_in_job(job, process))
        fprintf(stderr, "korva-run: the program could not be held in a job; programs it starts may outlive it\n");
    CrashWatch watch = start_crash_watch(process);

    close_requested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, read_requests, nullptr, 0, nullptr));
    bool window_reported = false;
    ULONGLONG next_close = 0;
    // Each pass takes what happened in the program for up to 50 ms, then looks at its windows.
    for (;;) {
        if (!watch_for(&watch, 50)) break;
        if (!window_reported && program_windows(process.dwProcessId).any_visible != nullptr) {
            report_window(status_file);
            window_reported = true;
        }
        if (WaitForSingleObject(close_requested, 0) == WAIT_OBJECT_0 && GetTickCount64() >= next_close) {
            close_step(process.dwProcessId);
            next_close = GetTickCount64() + CLOSE_REPEAT_MS;
        }
    }
    WaitForSingleObject(process.hProcess, 10000);
    DWORD exit_code = watch.exit_code;
    if (watch.crashed) {
        const char* name = exception_name(exit_code);
        fprintf(stderr, "korva-run: %s crashed: exception 0x%08lX%s%s\n", argv[2], static_cast<unsigned long>(exit_code),
                name ? ", " : "", name ? name : "");
    }
    const bool killed = !watch.crashed && exit_code == 0 && ended_from_outside(end_mark);
    if (killed) fprintf(stderr, "korva-run: %s was ended from outside before it finished (killed)\n", argv[2]);
    // The loader's own code for a DLL it could not find: a program linked without -static.
    if (exit_code == 0xC0000135u)
        fprintf(stderr, "korva-run: %s could not start: a DLL it needs is missing (link it with -static)\n", argv[2]);
    int32_t left = end_job_processes(job);
    if (left > 0) fprintf(stderr, "korva-run: the program left %d process(es) running; they were ended\n", left);
    fflush(stderr);
    // A crash is told by its own exit status, whatever the low bits of the exception's code.
    if (watch.crashed) return LAUNCH_CRASHED;
    if (killed) return LAUNCH_KILLED;
    return static_cast<int>(exit_code);
}
