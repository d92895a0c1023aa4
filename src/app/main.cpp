#include <windows.h>

#include "app/Application.h"
#include "framework/DllSearch.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    fw::SearchDllsInSystemFolderOnly();
    return theApplication.Run();
}
