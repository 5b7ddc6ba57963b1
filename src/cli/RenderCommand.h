#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

// `polyport-cli render RAV OUT.png [--fsh FSH] [--view top|front]
// [--size N]`: the View tab's fitted picture of the scene as a PNG file.
struct RenderRequest {
    bool requested = false;
    std::string ravPath;
    std::string pngPath;
    std::optional<std::string> fshPath;
    std::string view = "top";
    int size = 1024;
};

// Adds the command to `app`; when given, it fills `request`.
void AddRenderCommand(CLI::App& app, RenderRequest& request);

// Draws and writes the picture. Returns an exit status; a build without Qt
// says that it cannot draw (1).
int RunRender(const RenderRequest& request, std::ostream& out, std::ostream& err);
