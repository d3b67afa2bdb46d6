"""Tab, Return, Shift+F10 and Escape on the strip once a person has clicked it."""

from harness import Session, main, wait_for
from test_focus import find_dialog

LINK = "http://www.tallowmere.example/news/2"
FEED = ("<rss><channel><item><title>" + "A note without a link " * 2 + "</title><link></link>"
        f"</item><item><title>The second story</title><link>{LINK}</link></item></channel></rss>")


def test_keys_reach_the_headlines_and_the_options(binary):
    with Session(binary) as s:
        (s.feeds / "tallowmere.example" / "keys.php").write_text(FEED)
        s.write_settings(s.url("tallowmere.example/keys.php"), 1500, 1500)
        s.start_other_program()
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (100, 100), what="the saved position")
        s.xdotool("mousemove", 190, 108, "click", 1)  # the headline without a link
        wait_for(lambda: s.active_window() == s.window, what="the strip active")
        s.xdotool("mousemove", 640, 600)

        s.xdotool("key", "Tab", "Right")
        # Longer than the hover poll: the focus, not the pointer, holds the strip.
        assert s.strip_stands_still(ticks=12), "the strip moved with a headline focused"
        s.xdotool("key", "Return")
        wait_for(lambda: s.opened_links() == [[LINK]], what=f"{LINK} opened")

        s.xdotool("key", "shift+F10")
        wait_for(lambda: find_dialog(s), what="the options dialog")
        s.xdotool("key", "Escape")
        wait_for(lambda: not find_dialog(s), what="the dialog closed by Escape")
        assert s.strip_moves(), "the strip did not scroll on after the dialog closed"
        assert s.opened_links() == [[LINK]], s.opened_links()


if __name__ == "__main__":
    main([test_keys_reach_the_headlines_and_the_options])
