#pragma once
// Messages on stderr, each naming the file concerned.
#include <string>

class CException;

// "zodovu-cli: PATH: Invalid movie file."; returns EXIT_FAILED.
int ReportRejectedArchive(const std::string& archivePath);
// "zodovu-cli: " and the error's own text (file name and the system's reason); returns EXIT_FAILED.
int ReportFailure(const CException& error);
// "zodovu-cli: PATH: TEXT"; returns EXIT_FAILED.
int ReportFailure(const std::string& path, const std::string& text);
