// CreateThread and the calls on thread handles. Every thread runs detached:
// its end is seen through its object, never through a join.
#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <system_error>
#include <thread>

#include "thread_object.h"
#include "thread_probe.h"

namespace {

void RunThread(std::shared_ptr<win32::ThreadObject> thread, LPTHREAD_START_ROUTINE start, LPVOID parameter)
{
    win32::ThreadObject& self = *thread;
    win32::AdoptCurrentThread(std::move(thread));
    if (!self.Start()) return;
    // ExitThread unwinds past this line; the thread's end then comes from
    // the thread-local record with the code ExitThread left.
    const DWORD exitCode = start(parameter);
    self.StartReturned();
    self.Finish(exitCode);
}

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId)
{
    using namespace win32;
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>(NewThreadId(), (creationFlags & CREATE_SUSPENDED) != 0);
    HANDLE handle = InsertHandle(thread);
    if (!handle) return nullptr;
    const DWORD id = thread->Id();
    RecordCreatedThread({id, GetCurrentThreadId()});
    try {
        std::thread(RunThread, std::move(thread), start, parameter).detach();
    } catch (const std::system_error&) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = id;
    return handle;
}

DWORD ResumeThread(HANDLE handle)
{
    auto thread = win32::ObjectOfHandle<win32::ThreadObject>(handle);
    if (!thread) return static_cast<DWORD>(-1);
    return thread->Resume();
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode)
{
    auto thread = win32::ObjectOfHandle<win32::ThreadObject>(handle);
    if (!thread) return FALSE;
    if (!exitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *exitCode = thread->ExitCode();
    return TRUE;
}

BOOL TerminateThread(HANDLE handle, DWORD exitCode)
{
    auto thread = win32::ObjectOfHandle<win32::ThreadObject>(handle);
    if (!thread) return FALSE;
    // A thread that has already ended keeps its exit code, as on Windows.
    thread->Terminate(exitCode);
    return TRUE;
}

void ExitThread(DWORD exitCode)
{
    win32::CurrentThreadObjectRef().exitOnEnd = exitCode;
    // Unwinds the thread's stack; its thread-local record then ends the object.
    pthread_exit(nullptr);
}

DWORD GetCurrentThreadId() { return win32::CurrentThreadObjectRef().Id(); }

HANDLE GetCurrentThread() { return win32::CurrentThreadPseudoHandle(); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
