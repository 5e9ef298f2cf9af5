// A job that holds a started program and everything it starts in turn, so that a tool can end
// the whole tree at once and see whether any of it is still running. Win32.
#ifndef KORVA_TOOLS_PROCESS_JOB_H
#define KORVA_TOOLS_PROCESS_JOB_H

#include <windows.h>

#include <stdint.h>

// A job whose processes all end when its last handle is closed, even when the tool itself is
// ended from outside. Null when the system cannot make one.
HANDLE make_process_job();

// Puts a process that was created suspended into the job (when there is one) and lets it run.
// False when it could not be put into the job; it runs all the same.
bool run_in_job(HANDLE job, const PROCESS_INFORMATION& process);

// How many processes of the job are still running; 0 without a job.
int32_t job_processes_left(HANDLE job);

// Ends every process still in the job and waits a little for them to go; returns how many there
// were.
int32_t end_job_processes(HANDLE job);

#endif
