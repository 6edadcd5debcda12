#include "PlaybackServer.h"

namespace bench {

namespace {
    // The page waits on /next, which answers when the benchmark asks (204 after a while, so that
    // a page nobody asks keeps one request open rather than an ever older one).
    constexpr auto kNextLimit = std::chrono::seconds(20);

    constexpr char kPageHead[] = R"(<!DOCTYPE html>
<html><head><title>Live</title><style>
html, body { margin: 0; background: #000; overflow: hidden; }
video { display: block; width: )";
    constexpr char kPageBody[] = R"(; }
</style></head><body>
<video src="/clip.mp4" muted autoplay loop playsinline></video>
<script>
const video = document.querySelector('video');
let presented = 0;
function countFrame() { ++presented; video.requestVideoFrameCallback(countFrame); }
video.requestVideoFrameCallback(countFrame);
async function answerQuestions() {
  for (;;) {
    try {
      const question = await fetch('/next', { cache: 'no-store' });
      if (question.status !== 200)
        continue;
      const quality = video.getVideoPlaybackQuality();
      await fetch('/sample?decoded=' + quality.totalVideoFrames + '&dropped=' + quality.droppedVideoFrames
        + '&presented=' + presented + '&time=' + performance.now()
        + '&hidden=' + (document.visibilityState === 'hidden' ? 1 : 0)
        + '&drawnWidth=' + Math.round(video.getBoundingClientRect().width * devicePixelRatio)
        + '&frameWidth=' + video.videoWidth, { cache: 'no-store' });
    } catch (error) {
      await new Promise(resolve => setTimeout(resolve, 100));
    }
  }
}
video.addEventListener('playing', () => { fetch('/playing'); answerQuestions(); }, { once: true });
video.play().catch(() => {});
</script></body></html>)";

    long Number(const httplib::Request& request, const char* name)
    {
        return std::atol(request.get_param_value(name).c_str());
    }
}

PlaybackServer::PlaybackServer()
{
    server.Get("/", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard<std::mutex> guard(lock);
        response.set_content(
            kPageHead + videoWidth + "; image-rendering: " + videoRendering + kPageBody, "text/html");
    });
    server.Get("/clip.mp4", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard<std::mutex> guard(lock);
        response.set_content(clip, "video/mp4");
    });
    server.Get("/playing", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard<std::mutex> guard(lock);
        playing = true;
        changed.notify_all();
        response.set_content("", "text/plain");
    });
    server.Get("/next", [this](const httplib::Request&, httplib::Response& response) {
        std::unique_lock<std::mutex> guard(lock);
        // A request the previous contender left waiting must not take this one's question.
        const long contender = contenders;
        changed.wait_for(guard, kNextLimit, [&] { return asked > handedOut || contenders != contender; });
        if (asked > handedOut && contenders == contender) {
            handedOut = asked;
            response.set_content("ask", "text/plain");
        } else {
            response.status = 204;
        }
    });
    server.Get("/sample", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard<std::mutex> guard(lock);
        last.pageMs = std::atof(request.get_param_value("time").c_str());
        last.decoded = Number(request, "decoded");
        last.dropped = Number(request, "dropped");
        last.presented = Number(request, "presented");
        last.hidden = Number(request, "hidden") != 0;
        last.drawnWidth = Number(request, "drawnWidth");
        last.frameWidth = Number(request, "frameWidth");
        answered = handedOut;
        changed.notify_all();
        response.set_content("", "text/plain");
    });
    server.Get(
        "/favicon.ico", [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    // The program's own start-up requests, answered as nothing new.
    server.Get("/update", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"result":"0","version":"1.0.0.0","new_version":"1.0.0.0",)"
                             R"("min_version":"1.0.0.0","version_name":"n","version_url":""})",
            "application/json");
    });
    server.Post(
        "/brivo/miniclient/startRecord.action", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("{}", "text/plain");
        });
    port = server.bind_to_any_port("127.0.0.1");
    thread = std::thread([this] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();
}

PlaybackServer::~PlaybackServer()
{
    server.stop();
    thread.join();
}

std::string PlaybackServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

void PlaybackServer::Serve(std::string content, std::string cssWidth, std::string cssRendering)
{
    std::lock_guard<std::mutex> guard(lock);
    clip = std::move(content);
    videoWidth = std::move(cssWidth);
    videoRendering = std::move(cssRendering);
    playing = false;
    ++contenders;
    handedOut = answered = asked;
    changed.notify_all();
}

bool PlaybackServer::WaitPlaying(std::chrono::seconds limit)
{
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, limit, [this] { return playing; });
}

bool PlaybackServer::Ask(PlaybackQuality& quality, std::chrono::seconds limit)
{
    std::unique_lock<std::mutex> guard(lock);
    const long question = ++asked;
    changed.notify_all();
    if (!changed.wait_for(guard, limit, [&] { return answered >= question; }))
        return false;
    quality = last;
    return true;
}

} // namespace bench
