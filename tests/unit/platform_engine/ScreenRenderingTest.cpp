#include "platform/engine/qt/ScreenRendering.h"

#include <gtest/gtest.h>

using platform::engine::qt::IsSoftwareRenderer;

TEST(ScreenRendering, OnlySoftwareRasterizersCountAsSoftware)
{
    for (const char* software : { "llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
             "Mesa X11 swrast", "Google SwiftShader" })
        EXPECT_TRUE(IsSoftwareRenderer(software)) << software;

    // Hardware drivers that were compiled with LLVM name it too, but are not llvmpipe.
    for (const char* hardware : { "AMD Radeon RX 6600 (navy_flounder, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)",
             "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce GTX 1060/PCIe/SSE2",
             "virgl (Virtio-GPU)", "" })
        EXPECT_FALSE(IsSoftwareRenderer(hardware)) << hardware;
}
