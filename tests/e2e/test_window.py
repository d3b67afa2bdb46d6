"""The strip window on a real X server with a window manager: no frame, on top, no taskbar
entry, the title picture and the strip visible, and its place and feed URL kept across runs."""

from harness import Session, main, stands_still, wait_for


def test_window_is_a_topmost_frameless_strip_without_taskbar_entry(binary):
    with Session(binary) as s:
        s.write_settings(s.url("tallowmere.example/rss.php"), 1500, 1500)
        s.start_ticker()
        state = s.xprop("_NET_WM_STATE")
        assert "_NET_WM_STATE_ABOVE" in state, state
        assert "_NET_WM_STATE_SKIP_TASKBAR" in state, state
        extents = s.xprop("_NET_FRAME_EXTENTS")
        assert "0, 0, 0, 0" in extents or "not found" in extents, extents
        x, y, w, h = wait_for(lambda: (g := s.geometry()) and g[0] == 100 and g, what="position")
        assert (x, y) == (100, 100), (x, y)
        assert w == 545, w
        assert 15 <= h <= 40, h
        shot = s.screenshot()
        r, g, b = shot.pixel(x + 1, y + 1)  # the title picture's warm orange ground
        assert r > 200 and 100 < g < 220 and b < 140, (r, g, b)
        assert shot.pixel(x + 40, y + h - 2) == (224, 224, 224)  # the grey strip
        # The feed was fetched at start-up.
        assert any("/tallowmere.example/rss.php" in r[1] for r in s.requests() if len(r) > 1)


def test_position_and_url_survive_a_restart(binary):
    with Session(binary) as s:
        url = s.url("tallowmere.example/rss.php?saved=1")
        s.write_settings(url, 3000, 2250)
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (200, 150), what="the saved position")
        # The person drags the strip by its title picture.
        s.drag_title(110, 70)
        wait_for(lambda: s.geometry()[:2] == (310, 220), what="the dragged window")
        s.close_window()
        assert s.wait_exit() == 0
        assert s.settings_value("WindowX") == "4650", s.settings.read_text()
        assert s.settings_value("WindowY") == "3300", s.settings.read_text()
        assert s.settings_value("Default URL") == url

        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (310, 220), what="the restored position")
        wait_for(lambda: any("saved=1" in r[1] for r in s.requests() if len(r) > 1),
                 what="the saved feed fetched")


def test_starts_without_a_feed_server_and_keeps_running(binary):
    with Session(binary) as s:
        s.stop_server()
        s.write_settings(s.url("tallowmere.example/rss.php"), 1500, 1500)
        s.start_ticker()
        x, y, w, h = s.geometry()
        assert w == 545 and h < 40, (w, h)
        assert s.alive()


def resting(s):
    """The strip comes to a stop (the program hears of the saver a moment after it comes on),
    then stays still and fetches nothing for long enough to have moved many times."""
    wait_for(lambda: s.strip_stands_still(ticks=5), what="the strip to stop")
    assert stands_still(lambda: (s.strip_look(), len(s.requests())), ticks=30)


def test_the_strip_rests_while_the_screen_saver_is_on(binary):
    """The screen saver comes on (the X server's, or the desktop's on the session bus): the
    strip stands still and fetches nothing until it goes off, then moves on."""
    with Session(binary) as s:
        s.write_settings(s.url("tallowmere.example/rss.php"), 1500, 1500)
        s.start_ticker()
        wait_for(lambda: s.requests(), what="the first fetch")
        assert s.strip_moves()
        s.run(["xset", "s", "activate"])
        resting(s)
        s.run(["xset", "s", "reset"])
        assert s.strip_moves(), "the strip stayed still after the screen saver went off"
        for active in ("true", "false"):
            s.run(["dbus-send", "--session", "--type=signal", "/org/freedesktop/ScreenSaver",
                   "org.freedesktop.ScreenSaver.ActiveChanged", f"boolean:{active}"])
            if active == "true":
                resting(s)
        assert s.strip_moves(), "the strip stayed still after the desktop's saver went off"
        assert s.alive()


if __name__ == "__main__":
    main([test_the_strip_rests_while_the_screen_saver_is_on,
          test_window_is_a_topmost_frameless_strip_without_taskbar_entry,
          test_position_and_url_survive_a_restart,
          test_starts_without_a_feed_server_and_keeps_running])
