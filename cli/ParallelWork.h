#pragma once
// Work on many items at once, reported from the one thread that started it:
// the progress line and every message stay on that thread (ProgressLine is not
// thread-safe), and so do the interrupt signals, which the workers keep off
// themselves (InterruptCleanup.h), and whatever an item opens or commits
// before and after its work (an output file, whose temporary file the
// interrupt cleanup must know of from the thread that handles the signals).
#include <cstddef>
#include <exception>
#include <functional>

struct ParallelSteps {
    // On the calling thread, before item goes to a worker: false when it is
    // not to be worked on (refused and said). None: every item is.
    std::function<bool(size_t item)> open;
    // On a worker.
    std::function<void(size_t item)> work;
    // On the calling thread, once work(item) has returned or thrown (failure);
    // none: a failure stops the items not yet handed out and is thrown from
    // RunInParallel once every thread has stopped.
    std::function<void(size_t item, std::exception_ptr failure)> finish;
    // On the calling thread while the work goes on (every tenth of a second at
    // most) and once at the end, with the count of items done.
    std::function<void(size_t finished)> progress;
};

// Runs the steps of every item below count, jobs items at once (at least one),
// each in the order of the items. An exception out of open, finish or
// progress stops the workers too, and is thrown here once they have stopped.
void RunInParallel(size_t count, unsigned jobs, const ParallelSteps& steps);
