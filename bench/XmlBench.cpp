// Parse throughput of XmlDocument against pugixml on the same generated files,
// and the cost of in-place attribute edits on the largest document.
// Usage: xml [size in MB ...]   (default: 1 50)
#include "config/XmlDocument.h"

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Config-like elements with attributes and some Chinese text, about `megabytes` MB of UTF-8.
std::string GenerateDocument(std::size_t megabytes)
{
    const std::size_t target = megabytes * 1024 * 1024;
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config>\n";
    for (unsigned n = 0; xml.size() < target; ++n) {
        const std::string id = std::to_string(n);
        xml += "  <Channel url=\"http://live.example.test/room/" + id + "?a=1&amp;b=2\" remote=\""
            + std::to_string(n % 2) + "\" loop=\"0\" video=\"\xE8\xA7\x86\xE9\xA2\x91" + id
            + "\" audio=\"\xE9\x9F\xB3\xE9\xA2\x91\" appid=\"" + id
            + "\" sid=\"7\" subsid=\"9\" port=\"8080\" ip=\"10.0.0." + std::to_string(n % 250) + "\"/>\n";
        xml += "  <Notify url=\"http://notify.example.test/" + id + "\" time=\"" + id
            + "\" powerboot=\"1\" test=\"0\" "
              "optionexit=\"1\">\xE7\x9B\xB4\xE6\x92\xAD\xE9\x80\x9A\xE7\x9F\xA5 "
            + id + "</Notify>\n";
    }
    xml += "</config>\n";
    return xml;
}

template <typename Run> double BestOf(int rounds, Run run)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, Seconds(start));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<std::size_t>(std::strtoul(argv[i], nullptr, 10)));
    if (sizes.empty())
        sizes = { 1, 50 };

    const std::string path = (std::filesystem::temp_directory_path() / "zandrel-xml-bench.xml").string();
    double lastRatio = 0;
    for (const std::size_t megabytes : sizes) {
        const std::string xml = GenerateDocument(megabytes);
        std::ofstream(path, std::ios::binary) << xml;
        const double mb = static_cast<double>(xml.size()) / (1024.0 * 1024.0);
        const int rounds = megabytes <= 5 ? 20 : 3;

        XmlDocument document;
        const double ownTime = BestOf(rounds, [&] {
            if (!document.LoadFile(path) || !document.IsWellFormed())
                std::abort();
        });
        pugi::xml_document pugiDocument;
        const double pugiTime = BestOf(rounds, [&] {
            if (!pugiDocument.load_file(path.c_str()))
                std::abort();
        });
        const double own = mb / ownTime;
        const double pugi = mb / pugiTime;
        lastRatio = own / pugi;
        std::printf(
            "%.1f MB, %d elements: XmlDocument %.1f MB/s (load %.1f ms), pugixml %.1f MB/s (load %.1f ms)\n",
            mb, document.ElementCount() - 1, own, ownTime * 1000, pugi, pugiTime * 1000);

        if (megabytes == sizes.back()) {
            std::mt19937 random(42);
            const int edits = 1000;
            const auto start = Clock::now();
            for (int i = 0; i < edits; ++i) {
                const int element
                    = 2 + static_cast<int>(random() % static_cast<unsigned>(document.ElementCount() - 2));
                // Values of changing length, so that every edit shifts the text and the index.
                document.SetAttribute(element, u"time", std::u16string(1 + random() % 12, u'7'));
            }
            const double perEdit = Seconds(start) / edits;
            std::printf("%d SetAttribute edits on %.1f MB: %.3f ms per edit, %.4f ms per edit and MB\n",
                edits, mb, perEdit * 1000, perEdit * 1000 / mb);
        }
    }
    std::remove(path.c_str());
    std::printf("ratio %.2f\n", lastRatio);
    return 0;
}
