#include "Archive.h"
#include "FrameChecks.h"
#include "FrameCheck.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

std::vector<std::vector<ClipFinding>> CheckFrames(LoadedArchive& archive, const std::vector<bool>& check,
                                                  unsigned jobs, const std::function<void(size_t done)>& done)
{
    std::vector<std::vector<ClipFinding>> findings(check.size());
    std::atomic<size_t> next{0};
    std::mutex lock;
    std::condition_variable finished;
    size_t finishedCount = 0;
    std::exception_ptr failure;

    // Each worker takes the next encoding; the archive's file is shared, read
    // at positions (ReadAt), never through its one position.
    const auto work = [&] {
        for (size_t e; (e = next++) < check.size();) {
            try {
                if (check[e])
                    findings[e] = CheckEncodingFrames(archive.file, *archive.clips, static_cast<uint32_t>(e / 2),
                                                      e % 2 == 0 ? Resolution::High : Resolution::Low);
            } catch (...) {
                std::lock_guard<std::mutex> guard(lock);
                if (!failure)
                    failure = std::current_exception();
                next = check.size();
            }
            std::lock_guard<std::mutex> guard(lock);
            ++finishedCount;
            finished.notify_one();
        }
    };
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < std::max(1u, jobs); ++i)
        workers.emplace_back(work);
    {
        std::unique_lock<std::mutex> guard(lock);
        while (finishedCount < check.size() && !failure) {
            finished.wait_for(guard, std::chrono::milliseconds(100));
            const size_t count = finishedCount;
            guard.unlock();
            done(count);
            guard.lock();
        }
    }
    for (std::thread& worker : workers)
        worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return findings;
}
