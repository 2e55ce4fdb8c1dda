// The address of the help page "help.htm" in a folder, for the browser.
//
// Contract: "file://" + folder + "/help.htm", where an absolute folder
// ("/home/u") gives exactly three slashes ("file:///home/u/help.htm") and a
// folder that does not begin with "/" gets one put in front. A folder ending
// in "/" (the root) gets no second one. Bytes a URL cannot hold raw are
// written as %XX: blanks, '#', '%', '?', control characters, bytes above 127
// and the few other characters URLs reserve or forbid.
#pragma once

#include <string>

namespace kalvo {

inline constexpr const char* HelpFileName = "help.htm";

std::string HelpFileAddress(const std::string& workingDirectory);

} // namespace kalvo
