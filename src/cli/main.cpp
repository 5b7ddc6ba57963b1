#include "cli/CliApp.h"

#include <iostream>

#ifdef _WIN32
#include <string>
#include <vector>

#include <windows.h>

// Windows hands the arguments over as UTF-16; the rest of the program takes
// UTF-8 throughout, so they are converted once, here. The console is told
// that the text it is given is UTF-8 too.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string& argument = arguments.emplace_back(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, argument.data(), size, nullptr, nullptr);
        argument.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
    }
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    return RunCli(argc, pointers.data(), std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    return RunCli(argc, argv, std::cout, std::cerr);
}
#endif
