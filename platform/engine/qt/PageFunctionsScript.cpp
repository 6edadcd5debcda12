#include "platform/engine/qt/PageBridgeScript.h"

namespace platform::engine::qt {

namespace {
    // Inside one function, so that nothing but the page functions leaks into the page.
    constexpr char kShim[] = R"JS(
if (window.__zandrelPage) return;
Object.defineProperty(window, '__zandrelPage', { value: true });
var isTop = window === window.top;
var nextId = 0;
var callbacks = {};
var shares = {};

// The program's own script, in a world of its own, carries these on; page script sees neither
// the channel nor what that script reports.
function send(op, args) { window.postMessage({ zandrelPage: 1, op: op, args: args }, '*'); }
function answer(id, ok, code, text) {
    var cb = callbacks[id];
    if (!cb) return;
    if (!ok || !cb.persistent) delete callbacks[id];
    if (ok) { if (typeof cb.onSuccess === 'function') cb.onSuccess(text); }
    else if (typeof cb.onFailure === 'function') cb.onFailure(code, text);
}
window.addEventListener('message', function (e) {
    var m = e.data;
    if (e.source !== window || !m || typeof m !== 'object' || !Array.isArray(m.args)) return;
    if (m.zandrelReply === 1) {
        e.stopImmediatePropagation();
        answer(m.args[0], m.args[1], m.args[2], m.args[3]);
    } else if (m.zandrelFrame === 1) {
        e.stopImmediatePropagation();
        if (shares[m.args[0]]) shares[m.args[0]](m.args[1]);
    }
}, true);

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
var clipboard = navigator.clipboard;
if (clipboard) {
    clipboard.writeText = function (text) { return written({ 'text/plain': String(text) }); };
    clipboard.write = function (items) {
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

if (isTop) {
    // The engine never asks the program before a page reads the clipboard, and refuses; the
    // user is asked first, and an allowed read then goes to the engine's own.
    if (clipboard) ['readText', 'read'].forEach(function (name) {
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
    // The engine captures only the whole desktop; the user chooses a screen or a window first.
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
    if (typeof displayMedia === 'function') media.getDisplayMedia = function () {
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
}
)JS";
}

QString PageFunctionsScript()
{
    return QStringLiteral("(function () {\n'use strict';\n") + QString::fromUtf8(kShim)
        + QStringLiteral("\n})();\n");
}

} // namespace platform::engine::qt
