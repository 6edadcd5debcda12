#include "platform/engine/qt/PageBridgeScript.h"

#include "platform/engine/qt/DesktopMediaRequests.h"

#include <QFile>

namespace platform::engine::qt {

namespace {
    // Runs after the channel library inside one function, so that neither leaks into the page.
    constexpr char kShim[] = R"JS(
if (window.__zandrelBridge) return;
Object.defineProperty(window, '__zandrelBridge', { value: true });
var isTop = window === window.top;
var key = Math.random().toString(36).slice(2) + Date.now().toString(36);
var nextId = 0;
var callbacks = {};
var bridge = null;
var queue = [];
var frames = {};
var shares = {};

function invoke(msg) {
    var a = msg.args;
    if (msg.op === 'created') bridge.contextCreated(msg.key, !!a[0]);
    else if (msg.op === 'released') { bridge.contextReleased(msg.key); delete frames[msg.key]; }
    else if (msg.op === 'call') bridge.call(msg.key, String(a[0]), a[1] | 0, String(a[2]), !!a[3]);
    else if (msg.op === 'focus') bridge.focusChanged(msg.key, !!a[0], !!a[1]);
    else if (msg.op === 'press') bridge.pressed(msg.key);
    else if (msg.op === 'clipboardWrite') bridge.clipboardWrite(msg.key, a[0] | 0, a[1] || {});
    // What only the top document may ask for.
    else if (msg.key !== key) return;
    else if (msg.op === 'clipboard') bridge.clipboardRead(key, a[0] | 0);
    else if (msg.op === 'screen') bridge.screenShare(key, a[0] | 0);
    else if (msg.op === 'frameShown') bridge.frameShown(key, a[0] | 0);
    else if (msg.op === 'stopShare') bridge.stopShare(key, a[0] | 0);
}
function deliver(msg, source) {
    if (source) frames[msg.key] = source;
    if (bridge) invoke(msg); else queue.push(msg);
}
function send(op, args) {
    var msg = { zandrelBridge: 1, key: key, op: op, args: args };
    if (isTop) deliver(msg, null); else window.top.postMessage(msg, '*');
}
function answer(id, ok, code, text) {
    var cb = callbacks[id];
    if (!cb) return;
    if (!ok || !cb.persistent) delete callbacks[id];
    if (ok) { if (typeof cb.onSuccess === 'function') cb.onSuccess(text); }
    else if (typeof cb.onFailure === 'function') cb.onFailure(code, text);
}

if (isTop) {
    window.addEventListener('message', function (e) {
        var m = e.data;
        if (!m || m.zandrelBridge !== 1 || typeof m.key !== 'string' || m.key === key || !e.source) return;
        // The relay's own traffic; the page's listeners, registered later, never see it.
        e.stopImmediatePropagation();
        deliver(m, e.source);
    }, true);
    var connect = function () {
        if (!(window.qt && window.qt.webChannelTransport)) { setTimeout(connect, 10); return; }
        var webChannel = new QWebChannel(window.qt.webChannelTransport, function (channel) {
            bridge = channel.objects.zandrelBridge;
            if (!bridge) return;
            bridge.answer.connect(function (k, id, ok, code, text) {
                if (k === key) answer(id, ok, code, text);
                else if (frames[k]) frames[k].postMessage({ zandrelAnswer: 1, key: k, args: [id, ok, code, text] }, '*');
            });
            bridge.frame.connect(function (k, id, jpeg) {
                if (k === key && shares[id]) shares[id](jpeg);
            });
            var pending = queue;
            queue = [];
            pending.forEach(invoke);
        });
        // A document that replaces another in the same frame (an error page shown in place of
        // a failed load) shares its transport, and gets the answers to the old one's calls.
        var handleResponse = webChannel.handleResponse;
        webChannel.handleResponse = function (message) {
            if (message && typeof webChannel.execCallbacks[message.id] === 'function') handleResponse(message);
        };
    };
    connect();
    // An engine that never asks the program before a page reads the clipboard refuses; the
    // user is asked first, and an allowed read then goes to the engine's own.
    var clipboard = navigator.clipboard;
    if (clipboard && !engineAsks) ['readText', 'read'].forEach(function (name) {
        var original = clipboard[name];
        if (typeof original !== 'function') return;
        clipboard[name] = function () {
            var args = arguments;
            return new Promise(function (resolve, reject) {
                var id = ++nextId;
                callbacks[id] = {
                    onSuccess: function () { original.apply(clipboard, args).then(resolve, reject); },
                    onFailure: function () { reject(new DOMException('Read permission denied.', 'NotAllowedError')); }
                };
                send('clipboard', [id]);
            });
        };
    });
    // An engine that captures only the whole desktop needs the user to choose a screen or a
    // window first.
    // What the engine cannot capture the program sends frame by frame; each is decoded straight
    // into the page's track (no canvas in between, a third of the cost), which the page gets
    // once the first frame is in. Decoded here rather than from a data: address, which the
    // page's content security policy may forbid.
    var bytesOf = function (base64) {
        var text = atob(base64);
        var bytes = new Uint8Array(text.length);
        for (var i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
        return bytes;
    };
    var shared = function (id, resolve, reject) {
        var track = new MediaStreamTrackGenerator({ kind: 'video' });
        var writer = track.writable.getWriter();
        var stream = new MediaStream([track]);
        var stopTrack = track.stop;
        var started = false;
        var finish = function () {
            if (!shares[id]) return false;
            delete shares[id];
            stopTrack.call(track);
            return true;
        };
        track.stop = function () { if (finish()) send('stopShare', [id]); };
        var show = function (jpeg) {
            var decoder = new ImageDecoder({ data: bytesOf(jpeg), type: 'image/jpeg' });
            return decoder.decode().then(function (decoded) {
                decoder.close();
                var frame = new VideoFrame(decoded.image, { timestamp: Math.round(performance.now() * 1000) });
                decoded.image.close();
                if (!shares[id]) { frame.close(); return; }
                return writer.write(frame).then(function () {
                    if (!started) { started = true; resolve(stream); }
                });
            }, function (error) { decoder.close(); throw error; });
        };
        shares[id] = function (jpeg) {
            // The shared window closed: the track ends as a captured one does.
            if (!jpeg) {
                if (finish() && started) track.dispatchEvent(new Event('ended'));
                else if (!started) reject(new DOMException('Could not start video source', 'NotReadableError'));
                return;
            }
            var next = function () { if (shares[id]) send('frameShown', [id]); };
            show(jpeg).then(next, next);
        };
    };
    var media = navigator.mediaDevices;
    var displayMedia = media && media.getDisplayMedia;
    if (typeof displayMedia === 'function' && !engineAsks) media.getDisplayMedia = function () {
        var args = arguments;
        return new Promise(function (resolve, reject) {
            var id = ++nextId;
            callbacks[id] = {
                onSuccess: function (text) {
                    var choice = JSON.parse(text);
                    if (choice.engine) displayMedia.apply(media, args).then(resolve, reject);
                    else shared(choice.share, resolve, reject);
                },
                onFailure: function () { reject(new DOMException('Permission denied', 'NotAllowedError')); }
            };
            send('screen', [id]);
        });
    };
} else {
    window.addEventListener('message', function (e) {
        var m = e.data;
        if (e.source !== window.top || !m || m.zandrelAnswer !== 1 || m.key !== key) return;
        e.stopImmediatePropagation();
        answer(m.args[0], m.args[1], m.args[2], m.args[3]);
    }, true);
}

window.cefQuery = function (request) {
    if (!request || typeof request !== 'object') throw new Error('Invalid arguments');
    var id = ++nextId;
    callbacks[id] = { onSuccess: request.onSuccess, onFailure: request.onFailure, persistent: !!request.persistent };
    send('call', ['cefQuery', id, request.request === undefined ? '' : String(request.request), !!request.persistent]);
    return id;
};
window.cefQueryCancel = function (id) {
    if (!callbacks[id]) return;
    delete callbacks[id];
    send('call', ['cefQueryCancel', id, '', false]);
};

// The engine lets every frame of a page write once writing is on; the program writes instead,
// for the frame the user last pressed in, and only for a few seconds after.
var writable = ['text/plain', 'text/html', 'image/png'];
var written = function (item) {
    return new Promise(function (resolve, reject) {
        var id = ++nextId;
        callbacks[id] = {
            onSuccess: function () { resolve(); },
            onFailure: function () { reject(new DOMException('Write permission denied.', 'NotAllowedError')); }
        };
        send('clipboardWrite', [id, item]);
    });
};
var typeText = function (item, type) {
    return item.getType(type).then(function (blob) {
        if (type !== 'image/png') return blob.text();
        return blob.arrayBuffer().then(function (buffer) {
            var bytes = new Uint8Array(buffer);
            var text = '';
            for (var i = 0; i < bytes.length; i += 0x8000)
                text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
            return btoa(text);
        });
    });
};
var pageClipboard = navigator.clipboard;
if (pageClipboard) {
    pageClipboard.writeText = function (text) { return written({ 'text/plain': String(text) }); };
    pageClipboard.write = function (items) {
        var item = items && items[0];
        var types = item && item.types ? Array.prototype.filter.call(item.types, function (type) {
            return writable.indexOf(type) >= 0;
        }) : [];
        if (!types.length) return Promise.reject(new DOMException('Type is not supported.', 'NotAllowedError'));
        return Promise.all(types.map(function (type) { return typeText(item, type); })).then(function (texts) {
            var data = {};
            types.forEach(function (type, i) { data[type] = texts[i]; });
            return written(data);
        });
    };
}
['pointerdown', 'keydown'].forEach(function (type) {
    window.addEventListener(type, function (e) { if (e.isTrusted) send('press', []); }, true);
});

var textInputs = ['text', 'search', 'url', 'tel', 'email', 'password', 'number', 'date', 'datetime-local',
    'month', 'time', 'week'];
function editable(e) {
    if (!e) return false;
    if (e.isContentEditable) return true;
    if (e.tagName === 'TEXTAREA') return !e.readOnly && !e.disabled;
    if (e.tagName === 'INPUT') return textInputs.indexOf((e.type || 'text').toLowerCase()) >= 0 && !e.readOnly && !e.disabled;
    return false;
}
document.addEventListener('focusin', function (e) {
    var t = e.target;
    // A frame element takes the focus on its frame's behalf; the frame reports it.
    if (!t || t.tagName === 'IFRAME' || t.tagName === 'FRAME') return;
    send('focus', [true, editable(t)]);
}, true);
document.addEventListener('focusout', function (e) {
    if (e.relatedTarget) return;
    setTimeout(function () {
        var a = document.activeElement;
        if (!a || a === document.body || a === document.documentElement) send('focus', [false, false]);
    }, 0);
}, true);
window.addEventListener('pagehide', function () { send('released', []); });
send('created', [isTop]);
)JS";
}

QString PageBridgeScript()
{
    QFile library(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QString script = QStringLiteral("(function () {\n'use strict';\n");
    script += QStringLiteral("var engineAsks = %1;\n")
                  .arg(QLatin1String(kEngineAsksForClipboardAndScreens ? "true" : "false"));
    if (library.open(QIODevice::ReadOnly))
        script += QString::fromUtf8(library.readAll());
    script += QString::fromUtf8(kShim);
    script += QStringLiteral("\n})();\n");
    return script;
}

} // namespace platform::engine::qt
