#include "Win32Desktop.h"

namespace kestro {

bool Win32Desktop::openWith(const std::string& program, const std::vector<std::string>& parameters,
                            const std::string& directory) {
    std::string text;
    for (std::size_t i = 0; i < parameters.size(); ++i) text += (i > 0 ? " " : "") + parameters[i];
    return open(program, text.c_str(), directory);
}

bool Win32Desktop::openInViewer(const std::string& file, const std::string& directory) {
    return open(file, nullptr, directory);
}

bool Win32Desktop::open(const std::string& file, const char* parameters, const std::string& directory) {
    const HINSTANCE result = ShellExecuteA(owner_, "open", file.c_str(), parameters,
                                           directory.empty() ? nullptr : directory.c_str(), SW_SHOW);
    // The result is an error code below 33, or any larger value on success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace kestro
