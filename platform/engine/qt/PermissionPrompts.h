#pragma once

#include "platform/engine/CefTypes.h"
#include "platform/engine/qt/PermissionRequests.h"

#include <QUrl>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform::engine::qt {

class QtBrowser;

// The permission requests of one browser's page that wait for the client's answer, of the kinds
// in kPermissionKinds and those the program asks itself. A request outlives neither the document
// that made it nor the browser, nor its page's withdrawal. GUI thread only.
class PermissionPrompts {
public:
    explicit PermissionPrompts(QtBrowser* browser);

    // Offers the request to the client's permission handler; refused when there is none.
    void Ask(PermissionRequest request);
    // The same for a request the engine never raises itself; settle hears the outcome.
    void AskFor(const QUrl& origin, unsigned types, std::function<void(bool granted)> settle);
    // Asks whether the page may hand an address of scheme to the desktop.
    void AskExternalScheme(
        const QUrl& origin, const std::string& scheme, std::function<void(bool granted)> settle);
    // Offers the sources to choose from; settle hears the chosen index, or -1 for a refusal.
    void AskChoice(const QUrl& origin, const std::vector<std::string>& sourceNames,
        std::function<void(int index)> settle);
    // The user just chose the whole screen for origin, which the engine's own capture gives:
    // the one capture request the engine raises for it next, within a few seconds, is allowed
    // without asking again. Any other capture request is asked.
    void AllowEngineCapture(const QUrl& origin);
    // The client's answer; prompts already settled are ignored.
    void Answer(uint64_t promptId, cef_permission_request_result_t result);
    void Choose(uint64_t promptId, int sourceIndex);
    // The page took back its request of origin for types: the client drops it unanswered. One
    // withdrawal takes one request, the oldest of two alike.
    void Withdraw(const QUrl& origin, unsigned types);
    // Refuses every waiting request (unless the page is going anyway) and tells the client.
    void DismissAll(bool answerPage);

    // scheme://host[:port], as the client keeps its answers.
    static std::string OriginText(const QUrl& origin);

    // How long a choice of the whole screen waits for the engine's request.
    static constexpr std::chrono::milliseconds kEngineCaptureWindow { 5000 };

private:
    // A request the engine raised, which the page may withdraw.
    struct Raised {
        std::string origin;
        unsigned types;
    };

    bool TakeEngineCapture(const QUrl& origin);
    void AskClient(
        const QUrl& origin, unsigned types, std::function<void(bool granted)> settle, bool raisedByEngine);

    QtBrowser* browser;
    std::string engineCaptureOrigin;
    std::chrono::steady_clock::time_point engineCaptureUntil;
    std::map<uint64_t, std::function<void(bool granted)>> waiting;
    // The waiting requests the engine raised, oldest first.
    std::map<uint64_t, Raised> raised;
    std::map<uint64_t, std::function<void(int index)>> choosing;
};

} // namespace platform::engine::qt
