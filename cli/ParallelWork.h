#pragma once
// Work on many items at once, reported from the one thread that started it:
// the progress line and every message stay on that thread (ProgressLine is not
// thread-safe), and so do the interrupt signals, which the workers keep off
// themselves (InterruptCleanup.h).
#include <cstddef>
#include <functional>

// Runs work(i) for every i below count on jobs threads (at least one), each
// thread taking the next item. done(finished) is called on the calling thread
// while they run (every tenth of a second at most) and once at the end. An
// exception out of work stops the items not yet taken and is thrown here once
// every thread has stopped.
void RunInParallel(size_t count, unsigned jobs, const std::function<void(size_t item)>& work,
                   const std::function<void(size_t finished)>& done);
