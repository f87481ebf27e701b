// The program's entry: a program that links the framework defines a static
// object of its application class and gets this WinMain.
#include <windows.h>

#include "framework/FrameworkEntry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int showCommand)
{
    return FrameworkWinMain(instance, commandLine, showCommand);
}
