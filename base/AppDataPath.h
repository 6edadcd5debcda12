#pragma once

#include <string>

// Replaces path with the user's data folder joined with path and returns true;
// returns false and leaves path unchanged when there is no data folder.
bool AppDataPath(std::u16string& path);
