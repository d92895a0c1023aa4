#pragma once
// The program's one application object: sets up the platform, runs the
// main window modally, and ends the program when it closes.

#include <windows.h>

class Application {
public:
    // The process's exit code.
    int Run();
};

extern Application theApplication;
