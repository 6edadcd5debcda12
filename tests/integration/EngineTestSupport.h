#pragma once

#include "support/LocalHttpServer.h"

// Starts the engine once per test program (after the application object exists).
void StartEngineForTests();
