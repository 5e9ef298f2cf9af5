// The debugger loop that turns a crash into an ended program with the exception's code.
#include "crash_watch.h"

CrashWatch start_crash_watch(const PROCESS_INFORMATION& process) {
    return CrashWatch{process.hProcess, process.dwProcessId, false, false, false, 0};
}

bool watch_for(CrashWatch* watch, DWORD wait_ms) {
    if (watch->ended) return false;
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, wait_ms)) return true;
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
            if (!watch->crashed) watch->exit_code = record.ExceptionCode;
            watch->crashed = true;
            TerminateProcess(watch->process, record.ExceptionCode);
        } else if (record.ExceptionCode == EXCEPTION_BREAKPOINT && !watch->loader_breakpoint_seen) {
            watch->loader_breakpoint_seen = true;
        } else {
            continue_status = DBG_EXCEPTION_NOT_HANDLED;  // the program's own handlers first
        }
        break;
    }
    case EXIT_PROCESS_DEBUG_EVENT:
        if (event.dwProcessId == watch->process_id) {
            if (!watch->crashed) watch->exit_code = event.u.ExitProcess.dwExitCode;
            watch->ended = true;
        }
        break;
    default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continue_status);
    return !watch->ended;
}

const char* exception_name(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation: a bad pointer was used";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow: too deep a recursion";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return "array bounds exceeded";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return "misaligned data";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case EXCEPTION_IN_PAGE_ERROR: return "page could not be read";
    case EXCEPTION_BREAKPOINT: return "breakpoint";
    case 0xC0000409u: return "stack buffer overrun, or the program aborted itself";
    default: return nullptr;
    }
}
