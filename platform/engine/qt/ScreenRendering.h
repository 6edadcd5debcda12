#pragma once

#include <string_view>

namespace platform::engine::qt {

// Chooses how pages reach the screen, once, after the application object exists and
// before the first engine object. GUI thread.
// Where the only OpenGL is a software rasterizer (or there is none), pages are drawn
// without it: Chromium then composites in software, as Chrome does on such machines,
// instead of rasterizing twice through the emulated GPU. A choice made by the user
// in QT_QUICK_BACKEND or QSG_RHI_BACKEND is left alone.
void ChooseScreenRendering();

// True for the renderer names of software OpenGL implementations.
bool IsSoftwareRenderer(std::string_view glRenderer);

} // namespace platform::engine::qt
