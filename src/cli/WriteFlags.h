#pragma once

class CCommandDispatcher;

namespace CLI {
class App;
}

// The flags of every command that writes a RAV file.
struct WriteFlags {
    // Any warning fails the command before anything is written, for batch
    // scripts.
    bool strict = false;
    // Runs the command and prints what it would change; writes nothing.
    bool dryRun = false;
    // Keeps the previous content as RAV.bak (.bak2 ... when one exists).
    bool backup = false;
};

void AddWriteFlags(CLI::App& command, WriteFlags& flags);

// Hands the flags to the dispatcher that runs the command.
void ApplyWriteFlags(const WriteFlags& flags, CCommandDispatcher& dispatcher);
