#pragma once

#include <string>
#include <string_view>

namespace platform::engine::qt {

// How pages reach the screen, chosen once per process on the GUI thread.
// Where the only OpenGL is a software rasterizer, or there is none, pages are drawn
// without it: Chromium then composites in software, as Chrome does on such machines,
// instead of rasterizing everything twice through an emulated GPU. A choice the user
// made in QT_QUICK_BACKEND or QSG_RHI_BACKEND is left alone.

// Before the application object: a machine without any GPU device gets software drawing
// at once, so that no OpenGL library is loaded at all.
void ChooseScreenRenderingBeforeApplication();
// After the application object, before the first engine object: asks OpenGL itself
// unless the first step decided.
void ChooseScreenRendering();

// True when the device folder (normally /dev) offers a GPU to draw with.
bool HasGpuDevice(const std::string& deviceFolder);
// True for the renderer names of software OpenGL implementations.
bool IsSoftwareRenderer(std::string_view glRenderer);

} // namespace platform::engine::qt
