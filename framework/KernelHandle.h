#pragma once
// Owners of kernel handles. The kinds differ in what stands for "no handle"
// (what the call making them returns on failure) and in how the handle is
// released:
//   FileHandle   CreateFile            INVALID_HANDLE_VALUE  CloseHandle
//   FindHandle   FindFirstFile         INVALID_HANDLE_VALUE  FindClose
//   KernelHandle threads, processes,   null                  CloseHandle
//                events, mappings
//   ModuleHandle LoadLibrary           null                  FreeLibrary
#include <windows.h>

#include "framework/OwnedHandle.h"

using FileHandle = OwnedHandle<HandleTraits<HANDLE, CloseHandle, -1>>;
using FindHandle = OwnedHandle<HandleTraits<HANDLE, FindClose, -1>>;
using KernelHandle = OwnedHandle<HandleTraits<HANDLE, CloseHandle, 0>>;
using ModuleHandle = OwnedHandle<HandleTraits<HMODULE, FreeLibrary, 0>>;
