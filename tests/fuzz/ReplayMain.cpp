// Runs the fuzz target over the given files and folders once, for builds without
// libFuzzer: the seeds and any saved crash inputs stay regression tests.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int Replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Every seed runs in each of the four modes the first byte selects.
    for (std::uint8_t mode = 0; mode < 4; ++mode) {
        std::vector<std::uint8_t> input { mode, 63 };
        input.insert(input.end(), bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(input.data(), input.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (entry.is_regular_file())
                    runs += Replay(entry.path());
            }
        } else {
            runs += Replay(path);
        }
    }
    std::printf("replayed %d inputs\n", runs);
    return runs > 0 ? 0 : 1;
}
