#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace tamo::testing {

// Ends the test program with a failure when the scope it guards is still
// running after `limit`. A FIFO opened the wrong way waits for a writer for
// ever, and the suite's own time-out is minutes away: a guarded regression
// fails in seconds instead, naming what hung.
class HangGuard
{
public:
    explicit HangGuard(std::string what, std::chrono::seconds limit = std::chrono::seconds(20))
        : m_watch([this, what = std::move(what), limit] {
            std::unique_lock lock(m_mutex);
            if (m_ended.wait_for(lock, limit, [this] { return m_done; }))
                return;
            std::fprintf(stderr, "HangGuard: %s was still running after %lld s; it waits on something that never "
                                 "comes\n", what.c_str(), static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(EXIT_FAILURE);
        })
    {
    }

    ~HangGuard()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_one();
        m_watch.join();
    }

    HangGuard(const HangGuard &) = delete;
    HangGuard &operator=(const HangGuard &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    std::thread m_watch; // last: starts once the members it reads exist
};

} // namespace tamo::testing
