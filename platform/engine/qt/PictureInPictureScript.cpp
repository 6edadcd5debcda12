#include "platform/engine/qt/PictureInPictureScript.h"

#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace platform::engine::qt {

namespace {
    // The page's side: what the standard API offers, with its errors; every decision is the
    // program script's, asked by an event on the video that both worlds see.
    constexpr char kPageApi[] = R"JS((function () {
'use strict';
if (!window.HTMLVideoElement || window.__zandrelPictureInPicture) return;
Object.defineProperty(window, '__zandrelPictureInPicture', { value: true });
var isTop = window === window.top;
var dispatch = EventTarget.prototype.dispatchEvent;
var current = null;
var currentWindow = null;
var waiting = [];
function error(name, text) { return new DOMException(text, name); }
var pipWindow = function () {
    var target = new EventTarget();
    Object.defineProperty(target, 'width', { get: function () { return window.innerWidth; } });
    Object.defineProperty(target, 'height', { get: function () { return window.innerHeight; } });
    target.onresize = null;
    target.addEventListener('resize', function (e) { if (typeof target.onresize === 'function') target.onresize(e); });
    return target;
};
function fire(video, type) {
    var e = new Event(type, { bubbles: true });
    Object.defineProperty(e, 'pictureInPictureWindow', { value: currentWindow });
    dispatch.call(video, e);
}
function settle(video, ok) {
    var still = [];
    waiting.forEach(function (w) {
        if (w.video !== video) { still.push(w); return; }
        if (ok) w.resolve(currentWindow);
        else w.reject(error('NotAllowedError', 'Must be handling a user gesture if there isn\'t already an element in Picture-in-Picture.'));
    });
    waiting = still;
}
document.addEventListener('zandrel-pip-entered', function (e) {
    var video = e.target;
    if (!(video instanceof HTMLVideoElement) || video === current) { settle(video, true); return; }
    var previous = current;
    current = video;
    if (previous) fire(previous, 'leavepictureinpicture');
    currentWindow = pipWindow();
    fire(video, 'enterpictureinpicture');
    settle(video, true);
}, true);
document.addEventListener('zandrel-pip-refused', function (e) { settle(e.target, false); }, true);
document.addEventListener('zandrel-pip-left', function (e) {
    // A video taken out of the document is told through the document.
    if (!current || (e.target !== current && e.target !== document)) return;
    var video = current;
    current = null;
    fire(video, 'leavepictureinpicture');
    var win = currentWindow;
    currentWindow = null;
    if (win) win.onresize = null;
}, true);
window.addEventListener('resize', function () { if (currentWindow) dispatch.call(currentWindow, new Event('resize')); });
HTMLVideoElement.prototype.requestPictureInPicture = function requestPictureInPicture() {
    var video = this;
    return new Promise(function (resolve, reject) {
        if (!(video instanceof HTMLVideoElement)) throw new TypeError('Illegal invocation');
        if (!isTop) return reject(error('NotSupportedError', 'Picture-in-Picture is not available.'));
        if (video.disablePictureInPicture) return reject(error('InvalidStateError', '"disablePictureInPicture" attribute is present.'));
        if (video.readyState === 0) return reject(error('InvalidStateError', 'Metadata for the video element are not loaded yet.'));
        if (!video.videoWidth && !video.videoHeight) return reject(error('InvalidStateError', 'The video element has no video track.'));
        if (video === current) return resolve(currentWindow);
        waiting.push({ video: video, resolve: resolve, reject: reject });
        // Answered at once by the program's script, within this call.
        dispatch.call(video, new Event('zandrel-pip-request', { bubbles: true }));
        settle(video, false);
    });
};
Object.defineProperty(Document.prototype, 'pictureInPictureEnabled', {
    configurable: true, enumerable: true, get: function () { return isTop; }
});
Object.defineProperty(Document.prototype, 'pictureInPictureElement', {
    configurable: true, enumerable: true, get: function () { return this === document ? current : null; }
});
Document.prototype.exitPictureInPicture = function exitPictureInPicture() {
    var doc = this;
    return new Promise(function (resolve, reject) {
        if (doc !== document || !current) return reject(error('InvalidStateError', 'There is no Picture-in-Picture element in this document.'));
        dispatch.call(current, new Event('zandrel-pip-exit', { bubbles: true }));
        resolve();
    });
};
})();
)JS";

    // The program's side, in the top document only. It trusts no page event: a request counts
    // only for a video of this document, connected, with the user's activation unless a video
    // already plays in the player, which is what the standard lets any page script do.
    constexpr char kProgramAgent[] = R"JS((function () {
'use strict';
var current = null;
var style = null;
var marker = 'zandrel-picture-in-picture';
// Through the program's bridge in this world, which page script cannot reach.
function report(active) { if (typeof window.__zandrelReport === 'function') window.__zandrelReport('pictureInPicture', [active]); }
function tell(type, target) { target.dispatchEvent(new Event(type, { bubbles: true })); }
function showOnly(video) {
    if (!style) {
        style = document.createElement('style');
        style.textContent = 'html[' + marker + '], html[' + marker + '] body { background: #000 !important; overflow: hidden !important; }'
            + 'html[' + marker + '] * { visibility: hidden !important; }'
            + 'html[' + marker + '] video[' + marker + '] { visibility: visible !important; position: fixed !important;'
            + ' left: 0 !important; top: 0 !important; width: 100vw !important; height: 100vh !important;'
            + ' max-width: none !important; max-height: none !important; margin: 0 !important; transform: none !important;'
            + ' object-fit: contain !important; background: #000 !important; z-index: 2147483647 !important; }';
    }
    (document.head || document.documentElement).appendChild(style);
    document.documentElement.setAttribute(marker, '');
    video.setAttribute(marker, '');
}
function leave(byProgram) {
    var video = current;
    if (!video) return;
    current = null;
    video.removeAttribute(marker);
    document.documentElement.removeAttribute(marker);
    if (style && style.parentNode) style.parentNode.removeChild(style);
    if (!byProgram) report(false);
    tell('zandrel-pip-left', video.isConnected ? video : document);
}
window.zandrelLeavePictureInPicture = function () { leave(true); };
document.addEventListener('zandrel-pip-request', function (e) {
    var video = e.target;
    var allowed = video instanceof HTMLVideoElement && video.ownerDocument === document && video.isConnected
        && (current !== null || (navigator.userActivation && navigator.userActivation.isActive));
    if (!allowed) { tell('zandrel-pip-refused', video); return; }
    var previous = current;
    if (previous && previous !== video) previous.removeAttribute(marker);
    current = video;
    showOnly(video);
    if (!previous) report(true);
    tell('zandrel-pip-entered', video);
}, true);
document.addEventListener('zandrel-pip-exit', function (e) { if (e.target === current) leave(false); }, true);
new MutationObserver(function () { if (current && !current.isConnected) leave(false); })
    .observe(document, { childList: true, subtree: true });
window.addEventListener('pagehide', function () { leave(false); });
})();
)JS";

    void Insert(
        QWebEngineProfile* profile, const QString& name, const QString& source, quint32 world, bool subFrames)
    {
        if (!profile->scripts()->find(name).isEmpty())
            return;
        QWebEngineScript script;
        script.setName(name);
        script.setSourceCode(source);
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(world);
        script.setRunsOnSubFrames(subFrames);
        profile->scripts()->insert(script);
    }
}

void InstallPictureInPictureScripts(QWebEngineProfile* profile)
{
    Insert(profile, QStringLiteral("zandrel-picture-in-picture"), QString::fromUtf8(kPageApi),
        QWebEngineScript::MainWorld, true);
    Insert(profile, QStringLiteral("zandrel-picture-in-picture-agent"), QString::fromUtf8(kProgramAgent),
        QWebEngineScript::ApplicationWorld, false);
}

} // namespace platform::engine::qt
