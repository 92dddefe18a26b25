// The worker thread base: state word between owner and worker.
#include "toolkit/thread.h"

#include "platform/os.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>

namespace {

// A worker whose body is a test's lambda, with the protected operations open to it.
class test_worker : public thread {
public:
    explicit test_worker(std::function<int(test_worker&)> body) : body_(std::move(body)) {}
    using thread::finish;
    using thread::is_stop_requested;
    using thread::notify_owner;

protected:
    int run() override { return body_(*this); }

private:
    std::function<int(test_worker&)> body_;
};

} // namespace

// A worker that throws (memory ran out) finishes with a failure and the process goes on; a second
// finish keeps the first result; a stop after the finish changes nothing.
TEST(Thread, FinishesWithTheReturnedCode)
{
    const struct {
        std::function<int(test_worker&)> body;
        int result;
    } cases[] = {
        {[](test_worker&) { return 7; }, 7},
        {[](test_worker&) -> int { throw std::bad_alloc(); }, -1},
        {[](test_worker& self) {
             self.finish(5);
             return 9;
         },
         5},
    };
    for (const auto& c : cases) {
        test_worker w(c.body);
        ASSERT_TRUE(w.begin());
        w.join();
        w.request_stop();
        EXPECT_EQ(w.state(), thread_state::finished);
        EXPECT_EQ(w.release(), c.result);
    }
}

TEST(Thread, StopReleasesAWaitingNotification)
{
    std::atomic<bool> saw_stop{false};
    test_worker w([&](test_worker& self) {
        self.notify_owner();
        saw_stop = self.is_stop_requested();
        return 2;
    });
    ASSERT_TRUE(w.begin());
    for (int i = 0; i < 500 && !w.notification_pending(); ++i)
        os::sleep_ms(10);
    EXPECT_TRUE(w.notification_pending());
    w.request_stop();
    w.join();
    EXPECT_TRUE(saw_stop);
    EXPECT_EQ(w.release(), 2);
}

// A stop request survives an acknowledgement with nothing pending, and a notification sent after
// it returns at once (else the join below would hang).
TEST(Thread, AStopRequestOutlivesAcknowledgeAndNotify)
{
    std::atomic<bool> go{false};
    test_worker w([&](test_worker& self) {
        while (!go)
            os::sleep_ms(1);
        self.notify_owner();
        return self.is_stop_requested() ? 1 : 0;
    });
    ASSERT_TRUE(w.begin());
    w.acknowledge(); // nothing pending: still running
    EXPECT_EQ(w.state(), thread_state::running);
    w.request_stop();
    w.acknowledge();
    EXPECT_EQ(w.state(), thread_state::stop_requested);
    go = true;
    w.join();
    EXPECT_EQ(w.release(), 1);
}

// The owner sleeps in wait_for_change, as the transfer watch does; each acknowledgement lets the worker on.
TEST(Thread, OwnerWaitingForChangesSeesEveryNotification)
{
    constexpr int round_count = 200;
    std::atomic<int> rounds{0};
    std::atomic<bool> go{false};
    test_worker w([&](test_worker& self) {
        while (!go)
            os::sleep_ms(1);
        for (int i = 0; i < round_count; ++i) {
            self.notify_owner();
            ++rounds;
        }
        return 0;
    });
    ASSERT_TRUE(w.begin());
    // Nothing happens while the worker waits for `go`: the wait ends with false.
    EXPECT_FALSE(w.wait_for_change(thread_state::running, 20));
    go = true;
    int seen = 0;
    while (!w.is_finished()) {
        if (w.notification_pending()) {
            ++seen;
            w.acknowledge();
            continue;
        }
        // A generous bound: a missed wake-up would end the loop with a failure, not hang it.
        ASSERT_TRUE(w.wait_for_change(thread_state::running, 10000) || w.is_finished());
    }
    w.join();
    EXPECT_EQ(rounds, round_count);
    EXPECT_EQ(seen, round_count);
}
