#!/usr/bin/env python3
"""The program's windows under a headless Wayland compositor with no X server: the settings window,
its save failure, a second launch's box and the close confirmation each become a shown toplevel
(the dialogs parented to the window they belong to, the message boxes titled with their caption)
and can be answered; maximise and restore give the window and its page the compositor's size and
back; a window hidden in the notification area comes back on a second launch.

The compositor has no seat, so nothing here has a pointer or a keyboard: buttons are pressed over
the accessibility bus, and windows are watched in the compositor's protocol log. For the same
reason the keyboard focus cannot be checked, nor resizing from the edges (an interactive resize
needs a seat's serial). A Wayland client cannot raise, place or un-minimise its own window, and this compositor offers no
activation protocol: a second launch cannot bring a minimised or covered window to the front here,
only map a hidden one again."""
import os

from wayland_session import WIDTH, Site, StatusNotifierHost, WaylandSession, run, wait_for

PAGE = b"""<html><head><meta charset="utf-8"><title>Lobby</title></head><body>lobby<script>
let sent = 0;
function report(event) {
    fetch('/report?event=' + event + '&w=' + innerWidth + '&h=' + innerHeight + '&n=' + ++sent).catch(() => {});
}
addEventListener('resize', () => report('resize'));
report('loaded');
</script></body></html>"""

MAIN_TITLE = "Tessik微端"


def test(build):
    site = Site(PAGE)
    session = WaylandSession(build, site, watch=True, accessible=True)
    protocol, accessibility = session.protocol, session.accessibility
    tray = None
    try:
        tray = StatusNotifierHost(session.environment["DBUS_SESSION_BUS_ADDRESS"])
        program = session.install_program()
        running = session.run_program(program)

        def shown(title=None, parent=None, client=None):
            """The shown toplevel of that title, parent and client (any when None), once there is one."""
            found = []

            def there():
                found[:] = [t for t in protocol.shown() if title in (None, t.title) and t.parent is parent
                            and client in (None, t.client)]
                return bool(found)

            if not wait_for(there, 60):
                session.fail("no shown toplevel %r with parent %r" % (title, parent and parent.title))
            return found[0]

        def gone(toplevel):
            if not wait_for(lambda: protocol.update() and not toplevel.mapped, 60):
                session.fail("%r is still shown" % toplevel.title)

        def press(name, window=None, pid=None):
            if not accessibility.press(pid or running.pid, name, window):
                session.fail("no button %r in %r" % (name, window))

        def page_size():
            latest = dict(pair.split("=") for pair in site.latest().split("&"))
            return int(latest["w"]), int(latest["h"])

        def sized(size):
            """The window's geometry and its committed buffer both have that size."""
            return protocol.update() and main.geometry[2:] == size and main.buffer_size == size

        def launch_again_and_answer():
            second = session.run_program(program)
            box = shown("Tessik客户端")
            if box.client == main.client:
                session.fail("the running program showed the second launch's box")
            press("OK", "Tessik客户端", second.pid)
            if second.wait(60) != 0:
                session.fail("the second launch ended with %r" % second.returncode)

        main = shown(MAIN_TITLE)
        if not wait_for(lambda: site.reports, 120):
            session.fail("the lobby never loaded")

        # Maximised, the window takes the size the compositor gives (weston would end the connection
        # for any other) and the page grows with it (its height by as much; its first resize also
        # insets it 2 px at the sides); restored, both shrink by what they grew.
        normal, page_normal = main.geometry[2:], page_size()
        press("最大化", MAIN_TITLE)
        if not wait_for(lambda: protocol.update() and main.configured and main.configured[0] == WIDTH
                        and sized(main.configured), 60):
            session.fail("the maximised window did not take the compositor's size: %r" % main)
        maximised = main.configured
        grown = (maximised[0] - normal[0], maximised[1] - normal[1])
        if not wait_for(lambda: page_size()[0] > page_normal[0] and page_size()[1] - page_normal[1] == grown[1], 60):
            session.fail("the page did not grow with the maximised window: %r" % (page_size(),))
        page_maximised = page_size()
        press("还原", MAIN_TITLE)
        if not wait_for(lambda: sized(normal), 60):
            session.fail("restoring did not give the window its size back: %r" % main)
        if not wait_for(lambda: (page_maximised[0] - page_size()[0], page_maximised[1] - page_size()[1]) == grown, 60):
            session.fail("the page did not shrink with the restored window: %r" % (page_size(),))

        # Restore pressed before the compositor has answered the maximise still wins: the window
        # ends at its normal size once the maximise is answered, not maximised by the late answer.
        asked = protocol.update() and main.maximise_requests
        press("最大化", MAIN_TITLE)
        press("还原", MAIN_TITLE)
        if not wait_for(lambda: sized(normal) and main.maximise_requests > asked and not main.maximise_unanswered
                        and main.configured[0] != WIDTH, 60):
            session.fail("restore pressed during the maximise left the window maximised: %r" % main)

        press("设置", MAIN_TITLE)
        settings = shown("设置", main, main.client)
        # The save fails while a folder stands where the configuration was.
        config = os.path.join(program, "config.xml")
        os.replace(config, config + ".saved")
        os.mkdir(config)
        press("保存", "设置")
        failure = shown("提示", settings, main.client)
        press("确定")
        gone(failure)
        os.rmdir(config)
        os.replace(config + ".saved", config)
        press("关闭", "设置")
        gone(settings)

        launch_again_and_answer()
        if not main.mapped or main.destroyed:
            session.fail("the running window went away after the second launch")

        press("关闭", MAIN_TITLE)
        shown("提示", main, main.client)
        press("确定")
        if running.wait(60) != 0:
            session.fail("answering the confirmation ended the program with %r" % running.returncode)

        # Where closing hides the window in the notification area, a second launch maps it again.
        with open(config, encoding="utf-8") as saved:
            text = saved.read()
        with open(config, "w", encoding="utf-8") as changed:
            changed.write(text.replace('optionexit="0"', 'optionexit="1"'))
        tray.items.clear()
        running = session.run_program(program)
        main = shown(MAIN_TITLE)
        if not wait_for(lambda: tray.items, 60):
            session.fail("the notification-area icon never registered")
        press("关闭", MAIN_TITLE)
        gone(main)
        launch_again_and_answer()
        shown(MAIN_TITLE, None, main.client)
        print("dialogs shown, parented and answered on Wayland: %d toplevels" % len(protocol.update()))
    finally:
        if tray:
            tray.stop()
        session.close()


if __name__ == "__main__":
    run(test)
