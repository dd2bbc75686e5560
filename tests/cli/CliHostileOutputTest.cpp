// extract against outputs that are not plain new files, limits and signals:
// nothing but a regular file is replaced, and nothing is left half-written.
#include "catalogue/ClipTexts.h"
#include "CliExtractFixture.h"
#include "output/ClipNames.h"
#include "PseudoTerminal.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string BatchName(uint32_t index)
{
    return BatchClipName("disc1", static_cast<int>(index), Resolution::High, FormatClipLabel(DISC1, index));
}

TEST_F(CliExtract, ForceReplacesOnlyRegularFilesAndWritesIntoDevicesAndFifos)
{
    SKIP_UNDER_WINE();
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    WriteBytesToFile(mine, m_folder / "target.bik");
    fs::create_symlink("target.bik", m_folder / "link.bik");

    const CliResult regular = Run({"extract", "disc1.pak", "1", "-o", "target.bik"});
    EXPECT_EQ(regular.status, 1);
    EXPECT_TRUE(Contains(regular.err, "--force")) << regular.err;

    for (const bool force : {false, true}) {
        std::vector<std::string> args = {"extract", "disc1.pak", "1", "-o", "link.bik"};
        if (force)
            args.push_back("--force");
        const CliResult link = Run(args);
        EXPECT_EQ(link.status, 1);
        EXPECT_TRUE(Contains(link.err, "link.bik: is a symbolic link")) << link.err;
        EXPECT_FALSE(Contains(link.err, "--force")) << link.err;
    }
    EXPECT_TRUE(fs::is_symlink(m_folder / "link.bik"));
    EXPECT_EQ(ReadWholeFile(m_folder / "target.bik"), Text(mine));

    fs::create_symlink("/dev/null", m_folder / "null.bik");
    for (const char* device : {"/dev/null", "null.bik"}) {
        const CliResult written = Run({"extract", "disc1.pak", "1", "-o", device, "--force"});
        EXPECT_EQ(written.status, 0) << written.err;
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_symlink(m_folder / "null.bik"));

    // A FIFO gets the bytes through it and stays a FIFO. The reader is open before
    // the program starts, and the pipe's buffer is made to hold the clip, so
    // nothing waits.
    ASSERT_EQ(::mkfifo((m_folder / "fifo.bik").c_str(), 0600), 0);
    const int reader = ::open((m_folder / "fifo.bik").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ASSERT_GE(::fcntl(reader, F_SETPIPE_SZ, static_cast<int>(Hi(1).size())), static_cast<int>(Hi(1).size()));
    EXPECT_EQ(Run({"extract", "disc1.pak", "2", "-o", "fifo.bik", "--force"}).status, 0);
    std::string throughFifo(Hi(1).size() + 1, '\0');
    const ssize_t got = ::read(reader, &throughFifo[0], throughFifo.size());
    throughFifo.resize(got > 0 ? static_cast<size_t>(got) : 0);
    ::close(reader);
    EXPECT_EQ(throughFifo, Hi(1));
    EXPECT_TRUE(fs::is_fifo(m_folder / "fifo.bik"));

    // Standard output sent back into the archive is the archive.
    CliStart shell;
    shell.program = "/bin/sh";
    const CliResult appended = RunProgram({"-c", "'" ZODOVU_CLI "' extract disc1.pak 1 -o - >> disc1.pak"},
                                          m_folder.Path(), shell);
    EXPECT_EQ(appended.status, 1);
    EXPECT_TRUE(Contains(appended.err, "standard output: is the archive itself")) << appended.err;
    EXPECT_EQ(ArchiveOnDisk(), Text(m_archive.Bytes()));
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"disc1.pak", "fifo.bik", "link.bik", "null.bik", "target.bik"}));
}

TEST_F(CliExtract, FileSizeLimitFailsTheWriteWithItsReasonAndLeavesNothing)
{
    SKIP_UNDER_WINE();
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    WriteBytesToFile(mine, m_folder / "kept.bik");
    CliStart start;
    start.fileSizeLimit = 4096;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"extract", "disc1.pak", "1"}, {"extract", "disc1.pak", "1", "-o", "kept.bik", "--force"}}) {
        const CliResult result = FinishCli(StartCli(args, m_folder.Path(), start), m_folder.Path(), start);
        EXPECT_EQ(result.signal, 0);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(Contains(result.err, "File too large")) << result.err;
    }
    EXPECT_EQ(ReadWholeFile(m_folder / "kept.bik"), Text(mine));
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"disc1.pak", "kept.bik"}));
}

// The program is held in its first progress report, after the clip's bytes are
// written and before the file is put in place, by stopping the terminal it draws on.
class HeldExtract {
public:
    HeldExtract(const fs::path& folder, std::vector<int> ignored) : m_folder(folder)
    {
        m_start.stderrPath = m_terminal.SlavePath();
        m_start.ignoredSignals = std::move(ignored);
        m_terminal.StopOutput();
        m_child = StartCli({"extract", "disc1.pak", "1"}, folder, m_start);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    bool StillRunning() const { return ::waitpid(m_child, nullptr, WNOHANG) == 0; }
    void Signal(int signalNumber) const { ::kill(m_child, signalNumber); }
    CliResult Release()
    {
        m_terminal.StartOutput();
        return FinishCli(m_child, m_folder, m_start);
    }

private:
    fs::path m_folder;
    PseudoTerminal m_terminal;
    CliStart m_start;
    pid_t m_child;
};

TEST_F(CliExtract, SignalsIgnoredAtStartStayIgnoredAndTheOthersLeaveNothingBehind)
{
    SKIP_UNDER_WINE();
    const struct rlimit noCore = {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);   // SIGQUIT would leave a core file in the folder

    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        HeldExtract held(m_folder.Path(), {});
        ASSERT_TRUE(held.StillRunning());
        held.Signal(signalNumber);
        const CliResult result = held.Release();
        EXPECT_EQ(result.signal, signalNumber);
        EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"disc1.pak"}) << signalNumber;
    }

    HeldExtract held(m_folder.Path(), {SIGHUP, SIGINT, SIGQUIT});
    for (const int signalNumber : {SIGHUP, SIGINT, SIGQUIT})
        held.Signal(signalNumber);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(held.StillRunning());
    const CliResult result = held.Release();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadWholeFile(m_folder / "Clip001h.bik"), Hi(0));
}

// Names up to the longest a folder takes work, replaced or not: the temporary
// name is never longer than the output's where that would not fit.
TEST_F(CliExtract, OutputNamesUpToTheLongestWork)
{
    SKIP_UNDER_WINE();
    for (const size_t length : {248, 252, 255}) {
        const std::string name = std::string(length - 4, 'n') + ".bik";
        for (const bool force : {false, true}) {
            std::vector<std::string> args = {"extract", "disc1.pak", "3", "-o", name};
            if (force)
                args.push_back("--force");
            const CliResult result = Run(args);
            EXPECT_EQ(result.status, 0) << length << result.err;
        }
        EXPECT_EQ(ReadWholeFile(m_folder / name), Hi(2)) << length;
        fs::remove(m_folder / name);
    }
    const CliResult tooLong = Run({"extract", "disc1.pak", "3", "-o", std::string(256, 'n')});
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_TRUE(Contains(tooLong.err, "File name too long")) << tooLong.err;
    EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"disc1.pak"});
}

// Nothing the tool writes may go onto the archive it reads, whichever
// subcommand writes and whichever stream is sent there.
TEST_F(CliExtract, NothingGoesOntoTheArchive)
{
    SKIP_UNDER_WINE();
    CliStart shell;
    shell.program = "/bin/sh";
    for (const char* command : {"extract disc1.pak 1 -o - >> disc1.pak", "list disc1.pak >> disc1.pak",
                                "list --json disc1.pak >> disc1.pak", "verify disc1.pak >> disc1.pak",
                                "url disc1.pak 1 >> disc1.pak", "extract disc1.pak 1-2 -v -o out/ >> disc1.pak",
                                "list disc1.pak nonsense 2>> disc1.pak", "list disc1.pak 2>> disc1.pak"}) {
        const CliResult result = RunProgram({"-c", std::string("'" ZODOVU_CLI "' ") + command}, m_folder.Path(), shell);
        EXPECT_NE(result.status, 0) << command;
        if (!Contains(command, "2>>")) {
            EXPECT_EQ(result.err, "zodovu-cli: standard output: is the archive itself; refusing to write to it\n")
                << command;
        }
        EXPECT_TRUE(ArchiveOnDisk() == Text(m_archive.Bytes())) << command;
    }
    EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"disc1.pak"});
}

// Batch names are the tool's: whatever else is found under one (a link to a
// device, a FIFO) is not written into and does not stop the batch.
TEST_F(CliExtract, BatchNamesTakeOnlyFilesOfTheirOwn)
{
    SKIP_UNDER_WINE();
    const std::string first = BatchName(0), second = BatchName(1), third = BatchName(2);
    fs::create_directory(m_folder / "out");
    fs::create_symlink("/dev/null", m_folder / ("out/" + first));
    ASSERT_EQ(::mkfifo((m_folder / ("out/" + second)).c_str(), 0600), 0);
    for (const bool force : {false, true}) {
        std::vector<std::string> args = {"extract", "disc1.pak", "1-3", "-o", "out"};
        if (force)
            args.push_back("--force");
        const CliResult result = Run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "zodovu-cli: out/" + first + ": already exists and is not a regular file; refusing to "
                              "write to it\nzodovu-cli: out/" + second + ": already exists and is not a regular file; "
                              "refusing to write to it\nzodovu-cli: 1 of 3 files extracted, 2 failed\n");
        EXPECT_EQ(ReadWholeFile(m_folder / ("out/" + third)), Hi(2));
        fs::remove(m_folder / ("out/" + third));
    }
    EXPECT_TRUE(fs::is_symlink(m_folder / ("out/" + first)));
    EXPECT_TRUE(fs::is_fifo(m_folder / ("out/" + second)));
}

// An archive's name may take all 255 bytes; and folders the run made for files
// that then failed are gone again, as are those made before a path fails.
TEST_F(CliExtract, LongArchiveNamesWorkAndFailedRunsLeaveNoFolders)
{
    SKIP_UNDER_WINE();
    const std::string longName = std::string(251, 'a') + ".pak";
    fs::copy_file(m_folder / "disc1.pak", m_folder / longName);
    const CliResult batch = Run({"extract", longName, "--all", "--both", "-o", "long"});
    EXPECT_EQ(batch.status, 0) << batch.err;
    const auto files = fs::directory_iterator(m_folder / "long");
    EXPECT_EQ(static_cast<size_t>(std::distance(begin(files), end(files))), 2 * m_archive.Clips().size());
    fs::remove_all(m_folder / "long");
    fs::remove(m_folder / longName);

    const std::string deep = "made/deeper/" + std::string(300, 'x') + "/";
    const CliResult tooLong = Run({"extract", "disc1.pak", "1-2", "-o", deep});
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_TRUE(Contains(tooLong.err, "File name too long")) << tooLong.err;

    CutDisc4(1).WriteTo(m_folder / "disc4.pak");
    const CliResult cut = Run({"extract", "disc4.pak", "7", "--lo", "-o", "made/for/it/"});
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"disc1.pak", "disc4.pak"}));
}

// A clip refused for a terminal on standard output leaves the terminal its
// refusal alone: no progress line, drawn or finished, beside it.
TEST_F(CliExtract, ATerminalOnStandardOutputGetsTheRefusalAlone)
{
    SKIP_UNDER_WINE();
    for (const char* command : {"extract", "convert"}) {
        PseudoTerminal terminal;
        CliStart start;
        start.stdoutPath = start.stderrPath = terminal.SlavePath();
        const CliResult result = RunProgram({command, "disc1.pak", "1", "-o", "-"}, m_folder.Path(), start);
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(terminal.ReadAll(), "zodovu-cli: standard output: is a terminal; refusing to write binary data to "
                                      "it (redirect it to a file or a pipe)\n")
            << command;
    }
    EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"disc1.pak"});
}

// A reader that leaves early (ffprobe, head) is no failure of ours: the run
// ends quietly with the status a shell gives a program that SIGPIPE ended,
// also where the write fails instead (SIGPIPE ignored here; Windows has no
// signal, and its write fails with ERROR_NO_DATA).
TEST_F(CliExtract, AReaderThatLeavesEarlyEndsTheRunQuietly)
{
    SKIP_UNDER_WINE();
    CliStart shell;
    shell.program = "/bin/bash";
    for (const char* ignore : {"", "trap '' PIPE; "}) {
        for (const char* command : {"extract disc1.pak 1 -o -", "extract disc1.pak 1 -o - -q"}) {
            const std::string line = std::string(ignore) + "'" ZODOVU_CLI "' " + command +
                                     " | head -c 1 >/dev/null; echo ${PIPESTATUS[0]}";
            const CliResult result = RunProgram({"-c", line}, m_folder.Path(), shell);
            EXPECT_EQ(result.out, "141\n") << line;
            EXPECT_EQ(result.err, "") << line;
        }
    }
    EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"disc1.pak"});
}

} // namespace
