#pragma once
// The standard streams, by number: 0 input, 1 output, 2 error.
#include "File.h"

#include <string>

constexpr int STANDARD_INPUT = 0;
constexpr int STANDARD_OUTPUT = 1;
constexpr int STANDARD_ERROR = 2;

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
// Adopts a handle of the stream's own, named name in errors, so that the
// stream's bytes can go through the file class and the handle can be closed
// without closing the stream. A stream that was closed when the program
// started (and given the null device since) throws "Bad file descriptor":
// bytes meant for it are not silently thrown away.
void AttachStandardStream(int stream, CFile& file, const std::string& name);
