#pragma once

struct cPlatform;

// Builds the main window on the given platform and runs the message loop
// until the window closes. Returns the process exit code.
int RunProgram(cPlatform& platform);
