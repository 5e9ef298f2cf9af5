// The kill-on-close job of the tools: a program and its children, ended together.
#include "process_job.h"

HANDLE make_process_job() {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

bool run_in_job(HANDLE job, const PROCESS_INFORMATION& process) {
    // Suspended until it is in the job, so nothing it starts can escape the job.
    bool joined = job != nullptr && AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    return joined;
}

int32_t job_processes_left(HANDLE job) {
    if (job == nullptr) return 0;
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return 0;
    return static_cast<int32_t>(accounting.ActiveProcesses);
}

int32_t end_job_processes(HANDLE job) {
    int32_t left = job_processes_left(job);
    if (left == 0) return 0;
    TerminateJobObject(job, 1);
    for (int i = 0; i < 100 && job_processes_left(job) > 0; ++i) Sleep(20);
    return left;
}
