// Starting a program by its bare name, as the front end's method buttons do. The name is looked
// up where programs started by name were always looked up: the front end's own folder first, then
// the current folder, then each folder of PATH; a name ending in ".exe" also finds the program
// without it, since programs here carry no ".exe". The program runs in a terminal window of its
// own (so an engine can prompt on its console), inherits the working folder and the environment,
// and is not waited for. When it ends with a failure its window stays open until Enter is pressed,
// so that its message can be read. No child of the front end is left behind as a zombie.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::forms {

// Starts `bareName` in a terminal window. Returns "" once the terminal has started, else the
// reason of the failure, naming the program (a name found nowhere, a terminal that cannot start);
// the caller puts it after "Cannot start <name>: ".
std::string startProgram(const std::string& bareName);

// The folders searched, in order: the running program's own folder, the current folder, then
// every folder of `pathVariable` (an empty entry stands for the current folder).
std::vector<std::filesystem::path> programFolders(const std::filesystem::path& ownFolder,
                                                  const std::string& pathVariable);

// The first executable file that the name finds in the folders: in each folder the name itself,
// then the name without a trailing ".exe" (any case).
std::optional<std::filesystem::path> findProgram(const std::string& bareName,
                                                 const std::vector<std::filesystem::path>& folders);

// The command that opens a terminal window running a program: the blank-separated words of
// `clusteringTerminal` when it holds any, else "x-terminal-emulator -e" when that is found in
// `pathVariable`, else "xterm -e". Whether that terminal exists is found out when it is started.
std::vector<std::string> terminalPrefix(const char* clusteringTerminal, const std::string& pathVariable);

// The words that follow the terminal prefix: a small shell wrapper that runs `program` and, when
// it ends with a non-zero status, says so and waits for Enter before the window closes.
std::vector<std::string> keptWindowCommand(const std::filesystem::path& program, const std::string& bareName);

}  // namespace ostrel::forms
