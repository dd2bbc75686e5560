#pragma once
// The subcommands of zodovu-cli, one row each, as git keeps its commands: the
// name, the line in the tool's help, the help, what runs it and what of it
// decodes clips.
#include <string>
#include <vector>

struct CommandLine;
struct RunState;

struct Subcommand {
    const char* name;
    std::string summary;         // its line in the tool's help
    const std::string* help;     // its own help, the usage lines first
    // Null for help, which the command line itself answers.
    int (*run)(const CommandLine& line, RunState& run);
    // What of it decodes clips, as a message names it ("convert", "verify
    // --frames"); null: nothing.
    const char* decoding;
    // With decoding: whether a command line of it decodes; null: every one does.
    bool (*decodesWhen)(const CommandLine& line);
    // With decoding: a build without it still runs it, which then says what
    // it did not check; false: such a build refuses it.
    bool runsWithoutDecoding;
};

// Every subcommand, in the order the help lists them.
const std::vector<Subcommand>& Subcommands();
// Null when name is no subcommand.
const Subcommand* FindSubcommand(const std::string& name);
// Whether running the command line decodes clips (Subcommand::decoding).
bool Decodes(const CommandLine& line);
