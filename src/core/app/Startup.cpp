#include "app/Startup.h"

#include "document/DocumentPath.h"

namespace kestro {

std::string settingsPathForStart(const PlatformRules& rules,
                                 const std::optional<std::string>& workingDirectory) {
    if (!workingDirectory || workingDirectory->empty() || startFolderTooLong(rules, workingDirectory)) return {};
    return rules.settingsPathFor(*workingDirectory);
}

bool startFolderTooLong(const PlatformRules& rules, const std::optional<std::string>& workingDirectory) {
    if (!rules.isWindows() || !workingDirectory) return false;
    return rules.settingsPathFor(*workingDirectory).size() > rules.longestPath();
}

std::string documentFromCommandTail(std::string_view commandTail) {
    if (commandTail.size() >= 2 && commandTail.front() == '"' && commandTail.back() == '"') {
        commandTail = commandTail.substr(1, commandTail.size() - 2);
    }
    return std::string(commandTail);
}

std::string documentFromDirectory(const std::string& document, const std::optional<std::string>& workingDirectory) {
    if (document.empty() || document.front() == '/' || !workingDirectory || workingDirectory->empty()) {
        return document;
    }
    std::string absolute = *workingDirectory;
    if (absolute.back() != '/') absolute += '/';
    return absolute + document;
}

std::string applicationNameFromExecutable(const PlatformRules& rules, std::string_view executablePath) {
    return splitDocumentPath(rules, executablePath).stem;
}

}  // namespace kestro
