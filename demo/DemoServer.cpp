// The local stand-in for the live-show site and its update server: lobby and room
// pages, the start-record endpoint, the update reply and an installer to download.
#include "update/signing/InstallerSigning.h"

#include <httplib.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Room {
    const char* title;
    const char* host;
    const char* color;
    int viewers;
};

const std::vector<Room> kRooms = {
    { "周末夜唱：经典老歌串烧", "小鹿", "#6a3d9a", 12873 },
    { "深夜电台·听你讲故事", "阿杰", "#1f78b4", 4521 },
    { "王者荣耀巅峰赛冲分直播间，今晚不上王者不下播", "老K", "#e31a1c", 90344 },
    { "美食探店：成都街头小吃大合集", "吃货小满", "#ff7f00", 23310 },
    { "吉他弹唱教学第十二课", "林老师", "#33a02c", 1780 },
    { "户外直播：夜爬泰山看日出", "大鹏", "#b15928", 56012 },
};

struct Options {
    int port = 18080;
    std::string updateMode = "uptodate";
    std::string versionName = "Tessik 1.0.0.2";
    // Serves the installer with a byte changed under its signature, as a forger would.
    bool tamperedInstaller = false;
    // Serves an update reply whose body differs from the one its signature was made over.
    bool tamperedReply = false;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string TrimmedLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string Page(const std::string& name)
{
    return ReadFile(std::string(ZANDREL_DEMO_SITE_DIR) + "/" + name);
}

std::string LobbyPage()
{
    std::string cards;
    for (size_t i = 0; i < kRooms.size(); ++i) {
        const Room& room = kRooms[i];
        std::string id = std::to_string(i + 1);
        cards.append("    <a class=\"card\" id=\"room-").append(id).append("\" href=\"/room/").append(id);
        cards.append("\" target=\"_blank\"><div class=\"cover\" style=\"background:").append(room.color);
        cards.append("\">").append(room.host).append("</div>");
        cards.append("<div class=\"info\"><div class=\"title\">").append(room.title).append("</div>");
        cards.append("<div class=\"meta\">")
            .append(std::to_string(room.viewers))
            .append(" 人在看</div></div></a>\n");
    }
    std::string page = Page("lobby.html");
    ReplaceAll(page, "{{ROOMS}}", cards);
    return page;
}

std::string RoomPage(size_t index)
{
    const Room& room = kRooms[index];
    std::string page = Page("room.html");
    ReplaceAll(page, "{{TITLE}}", room.title);
    ReplaceAll(page, "{{HOST}}", room.host);
    ReplaceAll(page, "{{COLOR}}", room.color);
    ReplaceAll(page, "{{VIEWERS}}", std::to_string(room.viewers));
    ReplaceAll(page, "{{ID}}", std::to_string(index + 1));
    ReplaceAll(page, "{{NEXT}}", std::to_string((index + 1) % kRooms.size() + 1));
    return page;
}

// The update reply for the running version 1.0.0.0 in each of the three situations; the
// signature is the one the build made over the stand-in installer with the demo's key.
std::string UpdateReply(const Options& options, const std::string& signature)
{
    std::string newVersion = "1.0.0.0";
    std::string minVersion = "1.0.0.0";
    if (options.updateMode == "newer")
        newVersion = "1.0.0.2";
    else if (options.updateMode == "required")
        newVersion = minVersion = "1.0.0.2";
    return "{\"result\":\"0\",\"version\":\"" + newVersion + "\",\"new_version\":\"" + newVersion
        + "\",\"min_version\":\"" + minVersion + "\",\"version_name\":\"" + options.versionName
        + "\",\"version_url\":\"http://127.0.0.1:" + std::to_string(options.port)
        + "/download/setup_1.0.0.2.sh\",\"signature\":\"" + signature + "\"}";
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto valueOf = [&](const std::string& name) -> const char* {
            if (argument.rfind(name + "=", 0) == 0)
                return argv[i] + name.size() + 1;
            return nullptr;
        };
        if (const char* value = valueOf("--port"))
            options.port = std::atoi(value);
        else if (const char* mode = valueOf("--update"))
            options.updateMode = mode;
        else if (const char* name = valueOf("--version-name"))
            options.versionName = name;
        else if (argument == "--tampered-installer")
            options.tamperedInstaller = true;
        else if (argument == "--tampered-reply")
            options.tamperedReply = true;
        else {
            std::fprintf(stderr,
                "usage: %s [--port=N (0 picks a free port)] [--update=uptodate|newer|required] "
                "[--version-name=TEXT] [--tampered-installer] [--tampered-reply]\n",
                argv[0]);
            std::exit(2);
        }
    }
    return options;
}

httplib::Server* runningServer = nullptr;

void StopOnSignal(int)
{
    if (runningServer)
        runningServer->stop();
}

} // namespace

int main(int argc, char** argv)
{
    Options options = ParseOptions(argc, argv);
    // A stand-in installer that only leaves a marker file behind, and its signature.
    std::string installer = ReadFile(ZANDREL_DEMO_INSTALLER);
    const std::string signature = TrimmedLine(ReadFile(ZANDREL_DEMO_INSTALLER_SIGNATURE));
    const std::string signingKey = ReadFile(ZANDREL_DEMO_SIGNING_KEY);
    if (installer.empty() || signature.empty() || !PublicKeyOf(signingKey)) {
        std::fprintf(stderr, "the demo installer or its signature is missing: build the demo first\n");
        return 1;
    }
    if (options.tamperedInstaller)
        installer.back() = ' ';
    std::atomic<int> startRecordHits { 0 };
    httplib::Server server;

    server.Get("/", [](const httplib::Request& request, httplib::Response& response) {
        if (request.get_param_value("miniClient") != "1") {
            response.set_content("<html><head><meta charset=\"utf-8\"><title>Tessik</title></head>"
                                 "<body>请使用 Tessik微端 访问。</body></html>",
                "text/html; charset=utf-8");
            return;
        }
        std::printf("lobby served\n");
        std::fflush(stdout);
        response.set_content(LobbyPage(), "text/html; charset=utf-8");
    });
    server.Get(R"(/room/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        size_t number = std::strtoul(request.matches[1].str().c_str(), nullptr, 10);
        if (number < 1 || number > kRooms.size()) {
            response.status = 404;
            return;
        }
        response.set_content(RoomPage(number - 1), "text/html; charset=utf-8");
    });
    server.Get("/static/site.css", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(Page("static/site.css"), "text/css");
    });
    server.Post("/brivo/miniclient/startRecord.action",
        [&startRecordHits](const httplib::Request&, httplib::Response& response) {
            int hits = ++startRecordHits;
            std::printf("start record #%d\n", hits);
            std::fflush(stdout);
            response.set_content("{\"result\":\"0\"}", "application/json");
        });
    server.Get(
        "/demo/start-record-hits", [&startRecordHits](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::to_string(startRecordHits.load()), "text/plain");
        });
    // The reply is signed as the update server of a keyed installation signs it: the header carries
    // the signature over the body's exact bytes.
    server.Get("/update/check",
        [&options, &signature, &signingKey](const httplib::Request&, httplib::Response& response) {
            std::string reply = UpdateReply(options, signature);
            response.set_header("X-Update-Signature", SignBytes(signingKey, reply).value_or(""));
            if (options.tamperedReply)
                ReplaceAll(reply, "\"result\":\"0\"", "\"result\":\"1\"");
            response.set_content(reply, "application/json");
        });
    server.Get(
        "/download/setup_1.0.0.2.sh", [&installer](const httplib::Request&, httplib::Response& response) {
            response.set_content(installer, "application/x-sh");
        });

    // The server library shares ports between listeners, so a second demo server on
    // the same port would quietly take half of the requests: refuse instead.
    if (options.port != 0 && httplib::Client("127.0.0.1", options.port).Get("/")) {
        std::fprintf(stderr, "127.0.0.1:%d is already in use\n", options.port);
        return 1;
    }
    if (options.port == 0)
        options.port = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", options.port)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    runningServer = &server;
    std::signal(SIGTERM, StopOnSignal);
    std::signal(SIGINT, StopOnSignal);
    std::printf("listening on http://127.0.0.1:%d\n", options.port);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
