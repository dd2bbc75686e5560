#pragma once
// Everything zodovu-cli says goes through one reporter: results on standard
// output, and on standard error its messages, each "zodovu-cli: SUBJECT: reason"
// (the reason as the system words it, or ours in lower case; never a closing
// full stop), and the progress line. Failures travel as exceptions to main,
// which hands them to Fail.
#include "cli/ProgressLine.h"
#include "file/File.h"
#include "file/FileException.h"

#include <string>

// A failure as a message words it after the tool's name, for a page or a
// record rather than standard error: "SUBJECT: reason", or the reason alone.
std::string FailureText(const std::exception& error);
// The same for a page kept beside the files: a file is named by its name
// alone, so that no folder of the machine shows ("x.mp4: No space left...").
std::string FailureTextByName(const std::exception& error);
// A text that words itself as a sentence ("Not enough memory.", the viewer's
// "Invalid movie file."), without the full stop that no message ends in.
std::string WithoutFullStop(std::string text);

// "34 clips", "1 clip".
std::string Counted(uint64_t count, const char* one, const char* many);

class Reporter {
public:
    Reporter();

    // Standard output, buffered (by line on a terminal). A failed write is kept
    // and reported by Finish with its own reason; so is output meant for a
    // standard output that was closed when the tool started.
    void Print(const std::string& text);
    // A file name and a line end; on a terminal, unprintable bytes escaped.
    void PrintName(const std::string& name);

    // "zodovu-cli: SUBJECT: reason" on standard error.
    void Error(const std::string& subject, const std::string& reason);
    // Any exception in the one grammar; a file error that names another file
    // than subject (the archive that ended early) names that one as the cause.
    // A write to standard output whose reader went away is no failure of
    // ours: nothing is said, and Finish ends with EXIT_READER_GONE.
    void Fail(const std::exception& error, const std::string& subject = std::string());
    // "zodovu-cli: TEXT" on standard error: a summary.
    void Note(const std::string& text);
    // Lines for standard error as they are (the usage of a usage error).
    void Raw(const std::string& text);

    // name as it may be shown on the stream: escaped on a terminal.
    std::string Shown(const std::string& name, int stream) const;

    // The line that shows how far the work is; drawn on a terminal only.
    ProgressLine& Progress() { return m_progress; }
    void Quiet() { m_progress.Disable(); }

    // No output may go onto a file the run reads: standard output reaching
    // it throws CFailure; standard error reaching it is silenced and throws.
    // role words the file in the refusal ("is the archive itself").
    void Protect(const FileIdentity& file, const std::string& role = "the archive itself");
    // Before a usage error is said: standard error reaching a file that an
    // argument names (the archive, most likely) is silenced.
    void ProtectArguments(int argc, const char* const* argv);

    // Flushes and closes standard output; returns status, or EXIT_FAILED after
    // saying why standard output failed.
    int Finish(int status);

private:
    void WriteError(const std::string& text);
    void FlushOutput();

    bool m_outputIsTerminal;
    bool m_errorIsTerminal;
    bool m_errorSilenced = false;
    CFile m_output;
    std::string m_buffer;
    CFileException m_outputFailure;   // the first failure of standard output
    bool m_outputFailed = false;
    bool m_readerGone = false;   // standard output's reader went away
    ProgressLine m_progress;
};
