#!/usr/bin/env python3
"""The program under a headless Wayland compositor with no X server: it starts, loads the lobby,
and a player's fullscreen button takes the screen, reported by the page, until the page leaves it.
The compositor has no input devices, so the button is pressed through the engine's remote debugging
protocol, as a user's press (userGesture)."""
import json
import urllib.request

from wayland_session import HEIGHT, WIDTH, DevTools, Site, WaylandSession, free_port, run, wait_for

PAGE = b"""<html><head><meta charset="utf-8"><title>Lobby</title><style>
body { margin: 0 } #player { position: fixed; inset: 0; display: flex } #player button { flex: 1 }
</style></head><body><div id="player"><button id="enter">full</button><button id="leave">leave</button></div>
<script>
let sent = 0;
function report(event) {
    const fs = document.fullscreenElement ? 1 : 0;
    fetch('/report?event=' + event + '&fs=' + fs + '&w=' + innerWidth + '&h=' + innerHeight + '&n=' + ++sent)
        .catch(() => {});
}
document.getElementById('enter').onclick = () =>
    document.getElementById('player').requestFullscreen().then(() => report('granted'), () => report('refused'));
document.getElementById('leave').onclick = () => document.exitFullscreen();
document.addEventListener('fullscreenchange', () => report(document.fullscreenElement ? 'in' : 'out'));
addEventListener('resize', () => report('resize'));
report('loaded');
</script></body></html>"""


def test(build):
    site = Site(PAGE)
    session = WaylandSession(build, site)
    try:
        debugging = free_port()
        session.run_program(session.install_program(),
                            {"QTWEBENGINE_REMOTE_DEBUGGING": "127.0.0.1:%d" % debugging})
        if not wait_for(lambda: any(r.startswith("event=loaded") for r in site.reports), 120):
            session.fail("the lobby never loaded")

        pages = []

        def lobby_target():
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % debugging, timeout=10) as answer:
                    pages[:] = [t for t in json.load(answer) if t.get("type") == "page" and "miniClient" in t["url"]]
            except OSError:
                return False
            return bool(pages)

        if not wait_for(lobby_target, 120):
            session.fail("the page cannot be reached for debugging")
        page = DevTools(pages[0]["webSocketDebuggerUrl"])

        def press(button):
            page.call("Runtime.evaluate", {"expression": "document.getElementById('%s').click()" % button,
                                           "userGesture": True})

        press("enter")
        filled = "fs=1&w=%d&h=%d" % (WIDTH, HEIGHT)
        if not wait_for(lambda: site.latest().endswith(filled), 120):
            session.fail("the page did not get the whole screen")
        if any(r.startswith("event=refused") for r in site.reports):
            session.fail("the request was refused")
        press("leave")
        if not wait_for(lambda: any(r.startswith("event=out") for r in site.reports)
                        and "fs=0" in site.latest() and not site.latest().endswith("w=%d&h=%d" % (WIDTH, HEIGHT)),
                        60):
            session.fail("the page did not give the screen back")
        print("fullscreen in and out on Wayland")
    finally:
        session.close()


if __name__ == "__main__":
    run(test)
