#include "cli/WriteFlags.h"

#include "commands/CommandDispatcher.h"

#include <CLI/CLI.hpp>

void AddWriteFlags(CLI::App& command, WriteFlags& flags) {
    command.add_flag("--strict", flags.strict,
                     "Write nothing and fail when the command warns (for batch scripts)");
    CLI::Option* dryRun = command.add_flag(
        "--dry-run", flags.dryRun, "Print what the command would change and write nothing");
    command
        .add_flag("--backup", flags.backup,
                  "Keep the RAV file's previous content as RAV.bak (.bak2 ... when taken)")
        ->excludes(dryRun);
}

void ApplyWriteFlags(const WriteFlags& flags, CCommandDispatcher& dispatcher) {
    dispatcher.SetStrict(flags.strict);
    dispatcher.SetDryRun(flags.dryRun);
    dispatcher.SetBackup(flags.backup);
}
