#include "cli/ParallelWork.h"

#include "file/InterruptCleanup.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr auto PROGRESS_INTERVAL = std::chrono::milliseconds(100);

// The items handed to the workers and those they are done with, behind one lock.
class WorkQueue {
public:
    explicit WorkQueue(const ParallelSteps& steps) : m_steps(steps) {}

    void Hand(size_t item)
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_ready.push_back(item);
        }
        m_readyChanged.notify_one();
    }

    // The items done since the last call, waiting a while for one.
    std::vector<std::pair<size_t, std::exception_ptr>> TakeDone()
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_doneChanged.wait_for(guard, PROGRESS_INTERVAL, [this] { return !m_done.empty(); });
        std::vector<std::pair<size_t, std::exception_ptr>> done;
        done.swap(m_done);
        return done;
    }

    void Close()
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_closing = true;
        }
        m_readyChanged.notify_all();
    }

    void Work()
    {
        KeepInterruptsFromThisThread();   // the calling thread may be creating a temporary file meanwhile
        while (true) {
            size_t item;
            {
                std::unique_lock<std::mutex> guard(m_lock);
                m_readyChanged.wait(guard, [this] { return m_closing || !m_ready.empty(); });
                if (m_closing)
                    return;
                item = m_ready.front();
                m_ready.pop_front();
            }
            std::exception_ptr failure;
            try {
                m_steps.work(item);
            } catch (...) {
                failure = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> guard(m_lock);
                m_done.emplace_back(item, failure);
            }
            m_doneChanged.notify_one();
        }
    }

private:
    const ParallelSteps& m_steps;
    std::mutex m_lock;
    std::condition_variable m_readyChanged;   // an item is ready, or the work is closing
    std::condition_variable m_doneChanged;
    std::deque<size_t> m_ready;
    std::vector<std::pair<size_t, std::exception_ptr>> m_done;
    bool m_closing = false;
};

} // namespace

void RunInParallel(size_t count, unsigned jobs, const ParallelSteps& steps)
{
    WorkQueue queue(steps);
    std::vector<std::thread> threads;
    // A thread still joinable when it is destroyed ends the program: whatever
    // leaves here (a thread the system will not start, an exception out of a
    // step), the workers take no further item and are waited for.
    const auto stopAndJoin = [&] {
        queue.Close();
        for (std::thread& thread : threads)
            thread.join();
    };
    std::exception_ptr failure;   // of a work without a finish step
    try {
        const size_t workers = std::min<size_t>(std::max(1u, jobs), std::max<size_t>(count, 1));
        for (size_t i = 0; i < workers; ++i)
            threads.emplace_back([&queue] { queue.Work(); });
        size_t next = 0, inFlight = 0, finished = 0;
        while (finished < count) {
            while (!failure && next < count && inFlight < workers) {
                const size_t item = next++;
                if (steps.open && !steps.open(item)) {
                    ++finished;
                    continue;
                }
                queue.Hand(item);
                ++inFlight;
            }
            if (inFlight == 0)
                break;   // every item done, or a failure stopped the rest
            for (auto& [item, itemFailure] : queue.TakeDone()) {
                --inFlight;
                ++finished;
                if (steps.finish)
                    steps.finish(item, itemFailure);
                else if (itemFailure && !failure)
                    failure = itemFailure;
            }
            if (steps.progress && finished < count)
                steps.progress(finished);
        }
    } catch (...) {
        stopAndJoin();
        throw;
    }
    stopAndJoin();
    if (failure)
        std::rethrow_exception(failure);
    if (steps.progress)
        steps.progress(count);
}
