// Threads, events, critical sections and interlocked counters of the layer, with
// the Windows names and results the module is written against.
#pragma once

#include "plat/types.h"


using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID parameter);

constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD STACK_SIZE_PARAM_IS_A_RESERVATION = 0x00010000;
constexpr DWORD STILL_ACTIVE = 259;

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Starts `start(parameter)` on a new thread; with CREATE_SUSPENDED it runs only after
// ResumeThread. The stack size is accepted and ignored. Fault "CreateThread": fails
// with ERROR_NOT_ENOUGH_MEMORY. Closing the handle of a running thread detaches it
// (it runs to its end); closing the only handle of a never-resumed thread discards it
// (it can never be resumed, so it never runs).
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);
// Previous suspend count (the thread runs when it reaches 0); (DWORD)-1 on a bad handle.
DWORD ResumeThread(HANDLE thread);
// Priorities are checked and remembered, but every thread runs at the same priority.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
// STILL_ACTIVE while the thread runs, then its result.
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD GetCurrentThreadId();

// A thread cannot be killed safely here (it may hold a lock or be inside the C++
// runtime). TerminateThread therefore only looks like it on the handle: the handle
// becomes signalled with `exitCode`, and the thread itself is asked to stop through
// plat::ThreadCancelRequested() and runs on, detached, until it returns (its own
// result is then ignored). A never-resumed thread simply never runs.
BOOL TerminateThread(HANDLE thread, DWORD exitCode);

// Events: manual or auto reset. Names are accepted and ignored (every event is new).
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits on thread and event handles. These waits always take real time, also under the
// virtual clock: they measure real work on other threads. WAIT_OBJECT_0, WAIT_TIMEOUT,
// or WAIT_FAILED with ERROR_INVALID_HANDLE.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

namespace plat {
// True on a thread created by CreateThread whose handle was passed to TerminateThread:
// the thread should return as soon as it safely can. False on every other thread.
bool ThreadCancelRequested();
namespace detail {
struct CriticalSectionImpl;
}
}  // namespace plat

// A recursive lock: the owning thread may enter again and leaves as many times.
struct CRITICAL_SECTION {
  plat::detail::CriticalSectionImpl* impl;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
// The spin count is accepted and ignored.
BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD spinCount);
void EnterCriticalSection(LPCRITICAL_SECTION section);
// TRUE when entered (also again by the owner); FALSE at once when another thread owns it.
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);

// Interlocked operations on 32-bit values: increment and decrement return the new
// value; exchange, compare-exchange and exchange-add return the value before.
inline LONG InterlockedIncrement(volatile LONG* target) { return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedDecrement(volatile LONG* target) { return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedExchange(volatile LONG* target, LONG value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedExchangeAdd(volatile LONG* target, LONG value) {
  return __atomic_fetch_add(target, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedCompareExchange(volatile LONG* target, LONG exchange, LONG comparand) {
  __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;  // on failure the builtin stores the value it found here
}
