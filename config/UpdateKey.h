#pragma once

#include <string>

class AppConfig;

// The update server's signing key as the installation names it: the key attribute of
// <Update url="..." key="..."/>, read from the installation's own config.xml in the program
// folder and never from the user's copy, so that nothing the user's account can write decides
// what is started with administrator rights. Empty when the installation names none.
std::string InstallationUpdateKey(const AppConfig& config);
std::string InstallationUpdateKey();
