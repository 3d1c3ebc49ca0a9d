// The Windows headers, for the files of this folder only. Include it after the platform headers:
// the platform's constants share their names with the SDK's macros. The generic (A/W) macros
// that collide with the platform's operation names are removed; this backend calls the ANSI
// functions by their explicit names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef MoveFile
#undef CreateService
#undef OpenService
#undef StartService
#undef OpenDriver
#undef LookupPrivilegeValue
#undef GetCurrentDirectory
#undef GetVersion
#undef SetWindowText
#undef LoadString
#undef ExitWindows
