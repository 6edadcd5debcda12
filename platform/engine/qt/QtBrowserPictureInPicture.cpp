#include "platform/engine/qt/BrowserPage.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QWebEngineScript>

// The page's video in the client's small player: the page's requests arrive through its bridge.

namespace platform::engine::qt {

void QtBrowser::ReportPictureInPicture(bool active)
{
    if (pictureInPicture == active)
        return;
    pictureInPicture = active;
    if (auto handler = client->GetDisplayHandler())
        handler->OnPictureInPictureModeChange(this, active);
}

void QtBrowser::ExitPictureInPicture()
{
    if (!pictureInPicture)
        return;
    // The page hears of it from the program's own script, in the world the page cannot reach.
    if (Page())
        Page()->runJavaScript(QStringLiteral("if (typeof zandrelLeavePictureInPicture === 'function') "
                                             "zandrelLeavePictureInPicture();"),
            QWebEngineScript::ApplicationWorld);
    ReportPictureInPicture(false);
}

} // namespace platform::engine::qt
