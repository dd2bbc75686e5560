#pragma once
// The standard streams, by number: 0 input, 1 output, 2 error.
#include "file/File.h"

#include <string>
#include <vector>

constexpr int STANDARD_INPUT = 0;
constexpr int STANDARD_OUTPUT = 1;
constexpr int STANDARD_ERROR = 2;
// Standard output as messages name it.
constexpr char STANDARD_OUTPUT_NAME[] = "standard output";

// The program's arguments, its own name first, in UTF-8 where the system
// keeps them otherwise (Windows: as UTF-16, whatever the code page).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Opens the null device on each of the three that is closed, so that no file
// the program opens later takes its place. Returns a bit (1 << stream) for each
// one that was closed.
unsigned OpenClosedStandardStreams();

bool IsTerminal(int stream);
// The terminal's width in columns; 0 when the stream is no terminal or the
// width is unknown.
int TerminalColumns(int stream);
// The file the stream reaches; false when it reaches nothing the system can name.
bool StandardStreamIdentity(int stream, FileIdentity& identity);
// Text for a person: on a console (Windows) through the console's own wide
// calls, so that any name shows as it is; elsewhere the bytes as they are. A
// failure is dropped: there is nowhere left to tell of it.
void WriteText(int stream, const std::string& text);
// Adopts a handle of the stream's own, named name in errors, so that the
// stream's bytes can go through the file class and the handle can be closed
// without closing the stream. A stream that was closed when the program
// started (and given the null device since) throws "Bad file descriptor":
// bytes meant for it are not silently thrown away.
void AttachStandardStream(int stream, CFile& file, const std::string& name);
