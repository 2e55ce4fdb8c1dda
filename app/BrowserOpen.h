// Shows a file address in the user's browser through xdg-open, the desktop's
// own choice of program, without waiting for it.
//
// Contract: returns at once. When xdg-open cannot be started, or ends with a
// failure (no browser, or none that could open the file), the error box names
// the file and gives the reason, xdg-open's last line of error output or its
// exit code; the program carries on either way.
#pragma once

#include <QString>

namespace BrowserOpen {

void Show(const QString& address);

} // namespace BrowserOpen
