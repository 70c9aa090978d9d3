#pragma once
#include <string>
#include <vector>

// slhmsg's commands about the engine's status exchange, which need no
// window of their own to act on.

// Prints the fields of the status block "SLH_EngineStatus" as another
// process sees it, one "name=value" line each:
//   version=4
//   lastinput=0:00.03         (offset 12)
//   mediacenter=...           (offset 112)
//   recording=...             (offset 212)
//   extenders=0               (offset 312)
//   terminated=1              (every text has its zero within 100 bytes)
// Exit 2 when there is no such block.
int RunStatus(const std::vector<std::string>& args);

// Plays an engine of another build: a top-level window of class
// "TApplication" titled "Slumberhold - Engine mode" and a status block whose
// version word is VERSION, until SECONDS have passed or the window is
// closed. Prints "ready" once both exist.
int RunFakeEngine(const std::vector<std::string>& args);

// Lists the top-level windows whose class and title match (empty: any), one
// "handle<TAB>process id<TAB>title" line each.
int RunListWindows(const std::string& className, const std::string& title);
