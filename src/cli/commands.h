// The sub-commands of velview-cli. Each returns the process exit status: 0 success,
// 1 a result the caller should look at, 2 the input could not be processed.
#pragma once

#include <string>
#include <vector>

namespace velview {
class TEIControl;
}

namespace velview::cli {

using Args = std::vector<std::string>;

int SettingsCommand(const Args& args);
int StartupCommand(const Args& args);
int StandardsCommand(const Args& args);
int CheckCommand(const Args& args);
int InfoCommand(const Args& args);
int ExifCommand(const Args& args);
int ThumbsCommand(const Args& args);
int VerifyCommand(const Args& args);
int TamperCommand(const Args& args);
int DuplicatesCommand(const Args& args);
int ExchangeCommand(const std::string& command, const Args& args);
int FilterCommand(const Args& args);

// Takes inspection states and comments from a history CSV or a takeover file (by extension
// ".tod") into the state list; false (the message printed) when the file is rejected.
bool ApplyInspectionFrom(const std::string& from, TEIControl& control);

// Prints "velview-cli: <message>" on stderr.
void Error(const std::string& message);

}  // namespace velview::cli
