#pragma once

namespace CLI {
class App;
}

// --strict, on every command that writes a RAV file: any warning fails the
// command before anything is written, for batch scripts.
void AddStrictFlag(CLI::App& command, bool& strict);
