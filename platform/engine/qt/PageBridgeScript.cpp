#include "platform/engine/qt/PageBridgeScript.h"

#include <QFile>

namespace platform::engine::qt {

namespace {
    // Runs after the channel library inside one function, so that neither leaks into the world.
    constexpr char kShim[] = R"JS(
if (window.__zandrelBridge) return;
Object.defineProperty(window, '__zandrelBridge', { value: true });
var isTop = window === window.top;
var key = Math.random().toString(36).slice(2) + Date.now().toString(36);
var bridge = null;
var queue = [];
var frames = {};

// What the page's own functions may ask for (the rest only this script sends), and of that,
// what only the top document may.
var pageOps = ['call', 'clipboardWrite', 'clipboard', 'screen', 'frameShown', 'stopShare'];
var topOps = ['clipboard', 'screen', 'frameShown', 'stopShare'];

function invoke(msg) {
    var a = msg.args;
    if (msg.op === 'created') bridge.contextCreated(msg.key, msg.key === key && !!a[0]);
    else if (msg.op === 'released') { bridge.contextReleased(msg.key); delete frames[msg.key]; }
    else if (msg.op === 'call') bridge.call(msg.key, String(a[0]), a[1] | 0, String(a[2]), !!a[3]);
    else if (msg.op === 'focus') bridge.focusChanged(msg.key, !!a[0], !!a[1]);
    else if (msg.op === 'press') bridge.pressed(msg.key);
    else if (msg.op === 'clipboardWrite') bridge.clipboardWrite(msg.key, a[0] | 0, a[1] || {});
    else if (msg.key !== key) return;
    else if (msg.op === 'clipboard') bridge.clipboardRead(key, a[0] | 0);
    else if (msg.op === 'screen') bridge.screenShare(key, a[0] | 0);
    else if (msg.op === 'frameShown') bridge.frameShown(key, a[0] | 0);
    else if (msg.op === 'stopShare') bridge.stopShare(key, a[0] | 0);
    else if (msg.op === 'pictureInPicture') bridge.pictureInPicture(key, !!a[0]);
}
function deliver(msg, source) {
    if (source) frames[msg.key] = source;
    if (bridge) invoke(msg); else queue.push(msg);
}
// Frames reach the channel through the top; the secret, which page script never sees, tells
// this script's messages from those a page makes up.
function send(op, args) {
    var msg = { zandrelBridge: 1, secret: secret, key: key, op: op, args: args };
    if (isTop) deliver(msg, null); else window.top.postMessage(msg, '*');
}
// To this frame's own page functions.
function toPage(msg) { window.postMessage(msg, '*'); }
// The program's other scripts in this world (never the page's) report what they saw.
Object.defineProperty(window, '__zandrelReport', { value: function (op, args) {
    if (op === 'pictureInPicture') send(op, args);
} });

window.addEventListener('message', function (e) {
    var m = e.data;
    if (!m || typeof m !== 'object') return;
    if (m.zandrelPage === 1 && e.source === window) {
        e.stopImmediatePropagation();
        if (Array.isArray(m.args) && pageOps.indexOf(m.op) >= 0 && (isTop || topOps.indexOf(m.op) < 0))
            send(m.op, m.args);
    } else if (m.zandrelBridge === 1) {
        e.stopImmediatePropagation();
        if (isTop && m.secret === secret && typeof m.key === 'string' && m.key !== key && e.source)
            deliver(m, e.source);
    } else if (m.zandrelAnswer === 1) {
        e.stopImmediatePropagation();
        if (e.source === window.top && m.secret === secret && m.key === key)
            toPage({ zandrelReply: 1, args: m.args });
    }
}, true);

if (isTop) {
    var connect = function () {
        if (!(window.qt && window.qt.webChannelTransport)) { setTimeout(connect, 10); return; }
        var webChannel = new QWebChannel(window.qt.webChannelTransport, function (channel) {
            bridge = channel.objects.zandrelBridge;
            if (!bridge) return;
            bridge.answer.connect(function (k, id, ok, code, text) {
                var args = [id, ok, code, text];
                if (k === key) toPage({ zandrelReply: 1, args: args });
                else if (frames[k]) frames[k].postMessage({ zandrelAnswer: 1, secret: secret, key: k, args: args }, '*');
            });
            bridge.frame.connect(function (k, id, jpeg) {
                if (k === key) toPage({ zandrelFrame: 1, args: [id, jpeg] });
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
}

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
// Which frame the user pressed in decides which one may write the clipboard.
['pointerdown', 'keydown'].forEach(function (type) {
    window.addEventListener(type, function (e) { if (e.isTrusted) send('press', []); }, true);
});
window.addEventListener('pagehide', function () { send('released', []); });
send('created', [isTop]);
)JS";
}

QString PageBridgeScript(const QString& secret)
{
    QFile library(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QString script = QStringLiteral("(function () {\n'use strict';\nvar secret = '%1';\n").arg(secret);
    if (library.open(QIODevice::ReadOnly))
        script += QString::fromUtf8(library.readAll());
    script += QString::fromUtf8(kShim);
    script += QStringLiteral("\n})();\n");
    return script;
}

} // namespace platform::engine::qt
