#include "cli/Reporting.h"

#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"
#include "file/Console.h"
#include "file/PathNames.h"
#include "file/SystemError.h"


namespace {

const char TOOL[] = "zodovu-cli";
constexpr size_t OUTPUT_BUFFER = 64 * 1024;

// A failure in the one grammar's parts: what it concerns, the other file that
// caused it (for a file error about another file than subject), and why.
struct FailureWords {
    std::string subject;
    std::string cause;
    std::string reason;
};

FailureWords WordsOf(const std::exception& error, const std::string& subject)
{
    if (const auto* file = dynamic_cast<const CFileException*>(&error)) {
        // Another file is the cause: the archive that ended before the clip did.
        if (!subject.empty() && file->m_strFileName != subject)
            return {subject, file->m_strFileName, file->GetPlainReason()};
        return {file->m_strFileName, "", file->GetPlainReason()};
    }
    if (const auto* failure = dynamic_cast<const CFailure*>(&error))
        return {failure->Subject(), "", failure->Reason()};
    if (const auto* other = dynamic_cast<const CException*>(&error))
        return {subject, "", WithoutFullStop(other->GetErrorMessage())};
    return {subject, "", error.what()};
}

// A write to standard output whose reader closed its end of the pipe.
bool ReaderGone(const std::exception& error)
{
    const auto* file = dynamic_cast<const CFileException*>(&error);
    return file && file->m_strFileName == STANDARD_OUTPUT_NAME && IsReaderGone(file->m_lOsError);
}

} // namespace

std::string WithoutFullStop(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

std::string FailureText(const std::exception& error)
{
    const FailureWords words = WordsOf(error, std::string());
    return (words.subject.empty() ? "" : words.subject + ": ") + words.reason;
}

std::string FailureTextByName(const std::exception& error)
{
    const FailureWords words = WordsOf(error, std::string());
    return (words.subject.empty() ? "" : NameOf(words.subject) + ": ") + words.reason;
}

std::string Counted(uint64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

Reporter::Reporter()
    : m_outputIsTerminal(IsTerminal(STANDARD_OUTPUT)), m_errorIsTerminal(IsTerminal(STANDARD_ERROR))
{
}

std::string Reporter::Shown(const std::string& name, int stream) const
{
    const bool terminal = stream == STANDARD_OUTPUT ? m_outputIsTerminal : m_errorIsTerminal;
    return terminal ? EscapedForTerminal(name) : name;
}

void Reporter::Print(const std::string& text)
{
    if (m_outputFailed)
        return;
    if (m_outputIsTerminal)
        m_progress.Clear();
    m_buffer += text;
    if (m_buffer.size() >= OUTPUT_BUFFER || m_outputIsTerminal)
        FlushOutput();
}

void Reporter::PrintName(const std::string& name)
{
    Print(Shown(name, STANDARD_OUTPUT) + "\n");
}

void Reporter::FlushOutput()
{
    if (m_buffer.empty() || m_outputFailed)
        return;
    if (m_outputIsTerminal) {
        WriteText(STANDARD_OUTPUT, m_buffer);   // a console shows any name as it is
        m_buffer.clear();
        return;
    }
    try {
        if (!m_output.IsOpen())
            AttachStandardStream(STANDARD_OUTPUT, m_output, STANDARD_OUTPUT_NAME);
        m_output.Write(m_buffer.data(), static_cast<uint32_t>(m_buffer.size()));
    } catch (const CFileException& failure) {
        m_outputFailure = failure;
        m_outputFailed = true;
        m_readerGone = m_readerGone || ReaderGone(failure);
    }
    m_buffer.clear();
}

void Reporter::WriteError(const std::string& text)
{
    if (m_errorSilenced)
        return;
    m_progress.Clear();
    WriteText(STANDARD_ERROR, text);
}

void Reporter::Error(const std::string& subject, const std::string& reason)
{
    const std::string shown = subject.empty() ? std::string() : Shown(subject, STANDARD_ERROR) + ": ";
    WriteError(std::string(TOOL) + ": " + shown + reason + "\n");
}

void Reporter::Fail(const std::exception& error, const std::string& subject)
{
    if (ReaderGone(error)) {
        m_readerGone = true;
        return;
    }
    const FailureWords words = WordsOf(error, subject);
    Error(words.subject, (words.cause.empty() ? "" : Shown(words.cause, STANDARD_ERROR) + ": ") + words.reason);
}

void Reporter::Note(const std::string& text)
{
    WriteError(std::string(TOOL) + ": " + text + "\n");
}

void Reporter::Raw(const std::string& text)
{
    WriteError(text);
}

void Reporter::Protect(const FileIdentity& file, const std::string& role)
{
    FileIdentity stream;
    if (StandardStreamIdentity(STANDARD_ERROR, stream) && stream == file) {
        m_errorSilenced = true;   // nowhere left to say it: the status tells
        throw CFailure("standard error", "is " + role + "; refusing to write to it");
    }
    if (StandardStreamIdentity(STANDARD_OUTPUT, stream) && stream == file) {
        m_buffer.clear();
        m_outputFailed = true;   // nothing more goes there
        throw CFailure(STANDARD_OUTPUT_NAME, "is " + role + "; refusing to write to it");
    }
}

void Reporter::ProtectArguments(int argc, const char* const* argv)
{
    FileIdentity stream, named;
    if (!StandardStreamIdentity(STANDARD_ERROR, stream))
        return;
    for (int i = 1; i < argc; ++i)
        if (IdentityOfPath(argv[i], named) && named == stream)
            m_errorSilenced = true;
}

int Reporter::Finish(int status)
{
    m_progress.Clear();
    FlushOutput();
    if (m_output.IsOpen() && !m_outputFailed) {
        try {
            m_output.Close();   // some file systems report a failed write only here
        } catch (const CFileException& failure) {
            m_outputFailure = failure;
            m_outputFailed = true;
            m_readerGone = m_readerGone || ReaderGone(failure);
        }
    }
    if (m_readerGone)
        return EXIT_READER_GONE;
    if (!m_outputFailed || m_outputFailure.m_cause == CFileException::none)
        return status;
    Error(STANDARD_OUTPUT_NAME, m_outputFailure.GetPlainReason());
    return EXIT_FAILED;
}
