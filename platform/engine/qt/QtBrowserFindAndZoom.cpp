#include "platform/engine/ZoomSteps.h"
#include "platform/engine/qt/BrowserPage.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QWebEngineFindTextResult>

// The browser's search in the page and its zoom.

namespace platform::engine::qt {

namespace {
    // A browser runs one search at a time; its results carry this identifier.
    constexpr int kFindIdentifier = 1;
}

double QtBrowser::GetZoomLevel() { return Page() ? ZoomLevelOfFactor(Page()->zoomFactor()) : 0; }

void QtBrowser::SetZoomLevel(double zoomLevel)
{
    if (Page())
        Page()->setZoomFactor(ZoomFactorOfLevel(zoomLevel));
}

void QtBrowser::Find(const std::u16string& searchText, bool forward, bool matchCase, bool findNext)
{
    (void)findNext;
    if (!Page())
        return;
    if (searchText.empty()) {
        StopFinding(true);
        return;
    }
    QWebEnginePage::FindFlags flags;
    if (!forward)
        flags |= QWebEnginePage::FindBackward;
    if (matchCase)
        flags |= QWebEnginePage::FindCaseSensitively;
    // The engine moves on to the next match when the text is the one it searched last.
    // It also answers a search it dropped for a newer one (with no matches), and a late
    // answer may come after a newer search began: only the latest search's answer counts.
    const unsigned serial = ++findSerial;
    CefRefPtr<QtBrowser> self(this);
    Page()->findText(
        QString::fromStdU16String(searchText), flags, [self, serial](const QWebEngineFindTextResult& result) {
            if (serial != self->findSerial)
                return;
            if (auto handler = self->client->GetFindHandler())
                handler->OnFindResult(
                    self, kFindIdentifier, result.numberOfMatches(), result.activeMatch(), true);
        });
}

void QtBrowser::StopFinding(bool clearSelection)
{
    (void)clearSelection;
    // An empty search ends the current one and takes its highlight away; the ended
    // search's answer is no longer wanted.
    ++findSerial;
    if (Page())
        Page()->findText(QString());
}

} // namespace platform::engine::qt
