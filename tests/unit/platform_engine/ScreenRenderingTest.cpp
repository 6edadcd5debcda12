#include "platform/engine/qt/ScreenRendering.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using platform::engine::qt::HasGpuDevice;
using platform::engine::qt::IsSoftwareRenderer;

namespace {

// An empty file where a device node would be: only its name counts.
void Touch(const std::filesystem::path& path) { std::ofstream file(path); }

} // namespace

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

TEST(ScreenRendering, AGpuIsADrmNodeOrTheNvidiaControlDevice)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("zandrel-dev-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    EXPECT_FALSE(HasGpuDevice(root.string()));
    fs::create_directories(root / "dri/by-path");
    EXPECT_FALSE(HasGpuDevice(root.string()));
    Touch(root / "dri/renderD128");
    EXPECT_TRUE(HasGpuDevice(root.string()));
    fs::remove(root / "dri/renderD128");
    Touch(root / "dri/card0");
    EXPECT_TRUE(HasGpuDevice(root.string()));
    fs::remove_all(root / "dri");
    Touch(root / "nvidiactl");
    EXPECT_TRUE(HasGpuDevice(root.string()));
    fs::remove_all(root);
}
