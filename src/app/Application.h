#pragma once
// The program's one application object: sets up the platform, runs the
// main window modally, and ends the program when it closes; or, started
// with the upgrade switch (LaunchMode), runs the upgrade dialog alone.

#include <windows.h>

class Application {
public:
    // The process's exit code.
    int Run();

private:
    int RunWindow();
    int RunUpgradeStep();
};

extern Application theApplication;
