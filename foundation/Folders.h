#pragma once
#include <string>

#include "platform/Files.h"

// Creates a directory and any missing parents; true when it exists afterwards.
bool ForceDirectories(cFileSystem& files, const std::string& path);
