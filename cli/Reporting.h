#pragma once
// Messages on stderr, each naming the file concerned.
#include <cstdint>
#include <string>

class CException;
struct LoadedArchive;

// "zodovu-cli: PATH: Invalid movie file. (clip 34: the high-resolution video's
// size runs 5 bytes past the end of the archive)"; returns EXIT_FAILED.
int ReportRejectedArchive(const LoadedArchive& archive);
// The viewer's words and, in brackets, why the scan refused the archive.
std::string RejectionText(const LoadedArchive& archive);
// "zodovu-cli: " and the error's own text (file name and the system's reason); returns EXIT_FAILED.
int ReportFailure(const CException& error);
// "zodovu-cli: PATH: TEXT"; returns EXIT_FAILED.
int ReportFailure(const std::string& path, const std::string& text);

// "34 clips", "1 clip".
std::string Counted(uint32_t count, const char* one, const char* many);
// "no clip 32 (the archive holds 31 clips)": a clip number past the archive's last clip.
std::string NoSuchClipText(int number, uint32_t count);
