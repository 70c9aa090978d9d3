#pragma once
#include <string>

// The Linux path of a Windows path as the programs in the prefix see it:
// "C:\slhtest\log\SLH Log.txt" is <prefix>/dosdevices/c:/slhtest/log/SLH Log.txt
// (dosdevices/c: leads to drive_c). Drive-relative and UNC paths are not
// supported: the result is empty.
std::string LinuxPathInPrefix(const std::string& prefix, const std::string& windowsPath);

// The Windows path of an absolute Linux path, through Wine's Z: drive.
std::string WindowsPathOf(const std::string& linuxPath);
