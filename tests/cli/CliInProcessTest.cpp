// What of zodovu-cli needs no process: which files an extract plans,
// the progress line at any width, work on several threads, and names as a
// terminal shows them.
#include "cli/ExtractPlan.h"
#include "cli/ParallelWork.h"
#include "cli/ProgressLine.h"
#include "cli/Reporting.h"
#include "cli/TerminalText.h"
#include "cli/UsageError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

TEST(ExtractPlan, OneClipKeepsItsNameAndABatchNamesEachByTitle)
{
    const std::string twelve = "disc2-012h Storm over Vellin.bik", thirteen = "disc2-013h The Tidecaller.bik";
    struct Case {
        std::vector<ClipRange> selection;
        bool both;
        std::string output;
        bool outputIsFolder;   // an existing folder
        std::vector<std::string> paths;
        std::string folder;    // to be made
    };
    const Case cases[] = {
        {{{12, 12}}, false, "", false, {"Clip012h.bik"}, ""},
        {{{12, 12}}, false, "mine.bik", false, {"mine.bik"}, ""},
        {{{12, 12}}, false, "-", false, {"-"}, ""},
        {{{12, 12}}, false, "movies", true, {"movies/" + twelve}, "movies"},
        {{{12, 12}}, false, "new/", false, {"new/" + twelve}, "new/"},
        {{{12, 12}}, true, "", false, {twelve, "disc2-012l Storm over Vellin.bik"}, ""},
        {{{13, 13}, {12, 13}}, false, "out", false, {"out/" + twelve, "out/" + thirteen}, "out"},
    };
    for (const Case& c : cases) {
        ExtractRequest request;
        request.archive = "disc2.pak";
        request.selection = c.selection;
        request.both = c.both;
        request.output = c.output;
        const ExtractPlan plan = PlanExtract(request, 34, 1, "disc2.pak", c.outputIsFolder);
        std::vector<std::string> paths;
        for (const PlannedFile& file : plan.files)
            paths.push_back(file.path);
        EXPECT_EQ(paths, c.paths);
        EXPECT_EQ(plan.folder, c.folder);
        EXPECT_EQ(plan.madeNames, c.paths[0].find("disc2-") != std::string::npos) << c.output;
    }

    // A conversion names its files alike, with its container's extension.
    ExtractRequest converted;
    converted.archive = "disc2.pak";
    converted.selection = {{12, 12}};
    EXPECT_EQ(PlanExtract(converted, 34, 1, "disc2.pak", false, ".mp4").files.at(0).path, "Clip012h.mp4");
    converted.low = true;
    converted.output = "out/";
    EXPECT_EQ(PlanExtract(converted, 34, 1, "disc2.pak", false, ".webm").files.at(0).path,
              "out/disc2-012l Storm over Vellin.webm");

    ExtractRequest past;
    past.archive = "disc2.pak";
    past.selection = {{30, 40}};
    try {
        PlanExtract(past, 34, 1, "disc2.pak", false);
        ADD_FAILURE() << "a clip past the last is a usage error";
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "disc2.pak: no clip 35 (the archive holds 34 clips)");
    }
}

// What tells least gives way first as the terminal narrows: the bar, the
// middle of the folders, the units' words, the counts, and only then the file
// name, whose start and end name the disc and the clip.
TEST(ProgressLine, GivesWayWhereItTellsLeast)
{
    ProgressFigures frames;
    frames.done = 300;
    frames.total = 1200;
    frames.bytes = false;
    frames.unit = "frames";
    frames.secondUnit = "files";
    frames.secondDone = 12;
    frames.secondTotal = 100;
    frames.secondsLeft = 65;
    ProgressFigures bytes;
    bytes.done = 512 << 20;
    bytes.total = 1024 << 20;
    const std::string path = "/home/player/games/korvalon/backup/disc2-012h The Glass Tower.bik";
    const struct {
        const ProgressFigures& figures;
        std::string name;
        int columns;
        std::string line;
    } cases[] = {
        {frames, "disc2.pak", 100,
         "Converting disc2.pak [#####...............]  25% 300/1200 frames, 12/100 files, 1:05 left"},
        {frames, "disc2.pak", 80, "Converting disc2.pak [##........]  25% 300/1200 frames, 12/100 files, 1:05 left"},
        {frames, "disc2.pak", 72, "Converting disc2.pak  25% 300/1200 frames, 12/100 files, 1:05 left"},
        {frames, "disc2.pak", 64, "Converting disc2.pak  25% 300/1200, 12/100, 1:05 left"},
        {frames, "disc2.pak", 40, "Converting disc2.pak  25%"},
        {frames, "disc2.pak", 24, "Converting disc2.pak"},
        {bytes, path, 120, "Extracting " + path + " [##########..........]  50% 512.0M/1024.0M"},
        {bytes, path, 100,
         "Extracting /home/playe...lon/backup/disc2-012h The Glass Tower.bik [#####.....]  50% 512.0M/1024.0M"},
        {bytes, path, 80, "Extracting /.../disc2-012h The Glass Tower.bik [#####.....]  50% 512.0M/1024.0M"},
        {bytes, path, 72, "Extracting /ho...kup/disc2-012h The Glass Tower.bik  50% 512.0M/1024.0M"},
        {bytes, path, 48, "Extracting disc2-012h The Glass Tower.bik  50%"},
        {bytes, path, 40, "Extracting disc2-012h... Tower.bik  50%"},
        {bytes, path, 24, "Extracting disc2-012h T"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressLine::Compose(c.name == path ? "Extracting" : "Converting", c.name, c.figures, c.columns),
                  c.line);
    // Never wider than a column short of the terminal, whatever its width.
    for (int columns = 1; columns <= 130; ++columns)
        for (const std::string& name : {std::string("disc2.pak"), path}) {
            EXPECT_LE(ProgressLine::Compose("Converting", name, frames, columns).size(),
                      static_cast<size_t>(std::max(columns - 1, 0)));
        }
    for (const auto& [seconds, text] : {std::pair<int64_t, std::string>{0, "0:00"}, {65, "1:05"}, {3723, "1:02:03"}})
        EXPECT_EQ(ProgressLine::FormatDuration(seconds), text);
    // A count past its total fills the bar and goes no further.
    ProgressFigures over = frames;
    over.done = 2 * over.total;
    EXPECT_EQ(ProgressLine::Compose("Converting", "disc2.pak", over, 100),
              "Converting disc2.pak [####################] 100% 2400/1200 frames, 12/100 files, 1:05 left");
    // A character of several bytes takes one column and is never cut in two.
    const std::string accented = ProgressLine::Compose("Extracting", std::string(60, 'e') + "\xc3\xa9.bik", 1, 2, 50);
    EXPECT_EQ(accented.find("\xc3" "."), std::string::npos) << accented;
}

// Without a finish step, an exception on either side stops the items not yet
// taken and reaches the caller once every thread has stopped, never ending the
// program. With one, an item's failure is that item's alone: it reaches finish
// on the calling thread, as every open does, and the rest go on.
TEST(ParallelWork, FailuresStopTheRestOrReachTheirItemsFinishOnTheCallingThread)
{
    std::atomic<size_t> taken{0};
    const auto slowly = [&taken](size_t item) {
        ++taken;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (item % 10 == 3)
            throw std::runtime_error("item " + std::to_string(item) + " failed");
    };
    ParallelSteps steps;
    steps.work = slowly;
    EXPECT_THROW(RunInParallel(100, 2, steps), std::runtime_error);
    EXPECT_LT(taken.load(), 100u);

    taken = 0;
    steps.progress = [](size_t) { throw std::logic_error("the progress line cannot be drawn"); };
    EXPECT_THROW(RunInParallel(100, 2, steps), std::logic_error);
    EXPECT_LT(taken.load(), 100u);

    taken = 0;
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::string> outcomes(20);
    size_t lastProgress = 0;
    steps.open = [&](size_t item) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        if (item % 10 == 5)
            outcomes[item] = "refused";
        return item % 10 != 5;
    };
    steps.finish = [&](size_t item, std::exception_ptr failure) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        try {
            if (failure)
                std::rethrow_exception(failure);
            outcomes[item] = "done";
        } catch (const std::runtime_error& e) {
            outcomes[item] = e.what();
        }
    };
    steps.progress = [&](size_t finished) { lastProgress = finished; };
    RunInParallel(outcomes.size(), 3, steps);
    EXPECT_EQ(taken.load(), 18u);
    EXPECT_EQ(lastProgress, 20u);
    for (size_t item = 0; item < outcomes.size(); ++item)
        EXPECT_EQ(outcomes[item], item % 10 == 3   ? "item " + std::to_string(item) + " failed"
                                  : item % 10 == 5 ? "refused"
                                                   : "done");
}

// A failure is worded as a message words it, without a closing full stop,
// also where the exception itself words a sentence.
TEST(Reporting, FailureTextEndsInNoFullStop)
{
    EXPECT_EQ(FailureText(CMemoryException("Not enough memory to read clip 12 (high-res.).")),
              "Not enough memory to read clip 12 (high-res.)");
    EXPECT_EQ(FailureText(CMemoryException()), "Not enough memory");
    EXPECT_EQ(FailureText(CFailure("clip 3 (low-res.)", "frame 2 of 9: Invalid block type 9")),
              "clip 3 (low-res.): frame 2 of 9: Invalid block type 9");
}

TEST(Reporting, NamesOnATerminalShowTheirUnprintableBytesEscaped)
{
    const struct {
        std::string name;
        std::string shown;
    } cases[] = {
        {"plain.bik", "plain.bik"},
        {"caf\xc3\xa9.bik", "caf\xc3\xa9.bik"},
        {"two\nlines\r.bik", "two\\x0Alines\\x0D.bik"},
        {"\x1b[2Jclear", "\\x1B[2Jclear"},
        {"bad\xff\xc3.bik", "bad\\xFF\\xC3.bik"},
        {"back\\slash", "back\\\\slash"},
        {"lead\xf8\x80\x80.bik", "lead\\xF8\\x80\\x80.bik"},      // no UTF-8 lead byte
        {"long\xe0\x80\xae.bik", "long\\xE0\\x80\\xAE.bik"},      // an overlong '.'
        {"half\xed\xa0\x80.bik", "half\\xED\\xA0\\x80.bik"},      // a surrogate
        {"csi\xc2\x9b" "2J", "csi\\xC2\\x9B2J"},                  // a C1 control
        {"sign\xc2\xa7", "sign\xc2\xa7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapedForTerminal(c.name), c.shown);
}

} // namespace
