#pragma once

#include <string>

// The folder of the running executable, ending in "/": the program finds its
// skin and config.xml there.
std::u16string ProgramDirectory();
std::string ProgramDirectoryA();
