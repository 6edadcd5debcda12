// The page every playback contender loads: a muted, looping video of the clip, full width unless
// told otherwise, which reports its playback quality whenever the benchmark asks, so that the
// benchmark alone decides when a measuring window opens and closes (timers in a hidden page would not).
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace bench {

struct PlaybackQuality {
    double pageMs = 0; // performance.now() when the page answered
    long decoded = 0; // totalVideoFrames
    long dropped = 0; // droppedVideoFrames
    long presented = 0; // video frames handed to the compositor (requestVideoFrameCallback)
    bool hidden = false; // document.visibilityState is "hidden"
    long drawnWidth = 0; // device pixels the video is drawn across
    long frameWidth = 0; // the decoded frame's own width
};

class PlaybackServer {
public:
    PlaybackServer();
    ~PlaybackServer();

    std::string Url(const std::string& path) const;
    // The clip served from now on, drawn `cssWidth` wide (CSS; "auto" is the frame's own size)
    // and scaled as `cssRendering` (image-rendering: "auto", "pixelated");
    // forgets the previous contender's page.
    void Serve(std::string clip, std::string cssWidth = "100vw", std::string cssRendering = "auto");
    // Waits until the page's video plays; false when it does not within the limit.
    bool WaitPlaying(std::chrono::seconds limit);
    // Asks the page for its playback quality now; false when it does not answer within the limit.
    bool Ask(PlaybackQuality& quality, std::chrono::seconds limit);

private:
    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::mutex lock;
    std::condition_variable changed;
    std::string clip;
    std::string videoWidth = "100vw";
    std::string videoRendering = "auto";
    bool playing = false;
    long contenders = 0;
    long asked = 0;
    long handedOut = 0;
    long answered = 0;
    PlaybackQuality last;
};

} // namespace bench
