// The worker thread base: one OS thread, a lock and the state word owner and worker poll.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

enum class thread_state : int {
    running = 0,
    notification_pending = 1,
    stop_requested = 2,
    finished = 3,
};

class thread {
public:
    thread() = default;
    virtual ~thread();
    thread(const thread&) = delete;
    thread& operator=(const thread&) = delete;

    // Owner: starts the worker. False (and state finished) when no thread could be made.
    bool begin();
    // Owner: asks the worker to stop; also releases a worker waiting in notify_owner.
    void request_stop();
    bool is_finished() const { return state() == thread_state::finished; }
    bool notification_pending() const { return state() == thread_state::notification_pending; }
    // Owner: the pending notification has been handled; a stop request is never overwritten.
    void acknowledge();
    // Owner: waits at most timeout_ms for the state to leave `seen`; true when it has.
    bool wait_for_change(thread_state seen, int timeout_ms);
    // Owner: waits until the worker has ended.
    void join();
    // Owner: lets go of the OS thread (joining it if that was not done) and returns the result.
    int release();
    // Owner: a value for a running worker (the watcher's suspend switch).
    void set_result(int value);

    // Worker and owner.
    int get_result() const { return result_.load(std::memory_order_acquire); }
    thread_state state() const { return static_cast<thread_state>(state_.load(std::memory_order_acquire)); }

protected:
    // The worker's body; its return value becomes the result. Runs on the new thread.
    virtual int run() = 0;
    // The result of a worker whose run threw (memory ran out); never the code of a success.
    virtual int thrown_result() const { return -1; }

    bool is_stop_requested() const { return state() == thread_state::stop_requested; }
    // Worker: waits until the owner acknowledged or asked for a stop (woken at once by either,
    // looking again every 10 ms).
    void notify_owner();
    // Worker: records the result and the finished state together. The thread itself ends when
    // run returns, so its destructors still run; a second call changes nothing.
    void finish(int code);

private:
    static void entry(thread* self);
    void set_state(thread_state s);

    std::thread handle_;
    std::mutex lock_;
    // Signalled under lock_ whenever the state changes.
    std::condition_variable changed_;
    std::atomic<int> state_{static_cast<int>(thread_state::finished)};
    std::atomic<int> result_{0};
};
