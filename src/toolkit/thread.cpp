// The worker thread base.
#include "toolkit/thread.h"

#include <chrono>
#include <system_error>

thread::~thread()
{
    // A worker object must not die under its own thread.
    if (handle_.joinable())
        handle_.join();
}

// Called with lock_ held, so a waiter cannot miss the change between its test and its wait.
void thread::set_state(thread_state s)
{
    state_.store(static_cast<int>(s), std::memory_order_release);
    changed_.notify_all();
}

bool thread::begin()
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        set_state(thread_state::running);
    }
    try {
        handle_ = std::thread(entry, this);
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> guard(lock_);
        set_state(thread_state::finished);
        return false;
    }
    return true;
}

void thread::entry(thread* self)
{
    // An exception leaving a thread ends the process: a worker that runs out of memory (a
    // hostile server's endless listing) fails with its code instead.
    int code = 0;
    try {
        code = self->run();
    } catch (...) {
        code = self->thrown_result();
    }
    self->finish(code);
}

void thread::request_stop()
{
    std::lock_guard<std::mutex> guard(lock_);
    thread_state s = state();
    if (s == thread_state::stop_requested || s == thread_state::finished)
        return;
    set_state(thread_state::stop_requested);
}

void thread::acknowledge()
{
    std::lock_guard<std::mutex> guard(lock_);
    if (state() == thread_state::notification_pending)
        set_state(thread_state::running);
}

bool thread::wait_for_change(thread_state seen, int timeout_ms)
{
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, std::chrono::milliseconds(timeout_ms), [&] { return state() != seen; });
}

void thread::join()
{
    if (handle_.joinable() && handle_.get_id() != std::this_thread::get_id())
        handle_.join();
}

int thread::release()
{
    join();
    return get_result();
}

void thread::set_result(int value)
{
    std::lock_guard<std::mutex> guard(lock_);
    result_.store(value, std::memory_order_release);
}

void thread::notify_owner()
{
    std::unique_lock<std::mutex> guard(lock_);
    if (state() != thread_state::running)
        return;
    set_state(thread_state::notification_pending);
    while (state() == thread_state::notification_pending)
        changed_.wait_for(guard, std::chrono::milliseconds(10));
}

void thread::finish(int code)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (state() == thread_state::finished)
        return;
    result_.store(code, std::memory_order_release);
    set_state(thread_state::finished);
}
