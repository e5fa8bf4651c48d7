#pragma once

namespace brenlow {

class Dialogs;
class Shell;

/** Process-wide access to the host services. The application installs the Qt implementations at
 *  start; tests install scripted doubles. The services are not owned here. */
namespace Host {

/** The dialogs service; a default QtDialogs without parent when none was installed. */
Dialogs& dialogs();
void setDialogs(Dialogs* dialogs);

/** The shell service; a default QtShell when none was installed. */
Shell& shell();
void setShell(Shell* shell);

} // namespace Host
} // namespace brenlow
