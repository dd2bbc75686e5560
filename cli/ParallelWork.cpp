#include "ParallelWork.h"

#include "InterruptCleanup.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

void RunInParallel(size_t count, unsigned jobs, const std::function<void(size_t item)>& work,
                   const std::function<void(size_t finished)>& done)
{
    std::atomic<size_t> next{0};
    std::mutex lock;
    std::condition_variable finished;
    size_t finishedCount = 0;
    std::exception_ptr failure;

    const auto worker = [&] {
        KeepInterruptsFromThisThread();   // the calling thread may be creating a temporary file meanwhile
        for (size_t i; (i = next++) < count;) {
            try {
                work(i);
            } catch (...) {
                std::lock_guard<std::mutex> guard(lock);
                if (!failure)
                    failure = std::current_exception();
                next = count;
            }
            std::lock_guard<std::mutex> guard(lock);
            ++finishedCount;
            finished.notify_one();
        }
    };
    std::vector<std::thread> threads;
    // A thread still joinable when it is destroyed ends the program: whatever
    // leaves here (a thread the system will not start, an exception out of
    // done), the workers take no further item and are waited for.
    const auto stopAndJoin = [&] {
        next = count;
        for (std::thread& thread : threads)
            thread.join();
    };
    try {
        const size_t wanted = std::min<size_t>(std::max(1u, jobs), std::max<size_t>(count, 1));
        for (size_t i = 0; i < wanted; ++i)
            threads.emplace_back(worker);
        std::unique_lock<std::mutex> guard(lock);
        while (finishedCount < count && !failure) {
            finished.wait_for(guard, std::chrono::milliseconds(100));
            const size_t reached = finishedCount;
            guard.unlock();
            done(reached);
            guard.lock();
        }
    } catch (...) {
        stopAndJoin();
        throw;
    }
    stopAndJoin();
    if (failure)
        std::rethrow_exception(failure);
    done(count);
}
