#pragma once
// zodovu-cli decodes clips (convert, index, verify --frames) in a program of its
// own, zodovu-cli-decode, which carries FFmpeg's libraries: loading them costs
// the plain tool's every start some 30 ms, a tenth of a whole disc's extraction.

// In the plain program: when the command line is one of those commands, the
// decoding program goes on with the same arguments and standard streams, and
// this call does not come back; it looks beside this program, then in
// ../libexec/zodovu-cli/. A decoding program that is not there is said on
// standard error and ends the run with status 1. Elsewhere it does nothing.
void HandOverDecodingCommands(int argc, char** argv);
