"""Real pointer events on the real program: the hover pause, opening a link, dragging the
strip by its title picture, and the right-click that shows the options."""

from harness import Session, main, wait_for

LINK = (51, 51, 152)  # a linked title's colour

FEED = ("<rss><channel><title>Sample</title><item>"
        "<title>A long linked headline that reaches far across the strip for the pointer tests"
        "</title><link>http://www.tallowmere.example/news/1?a=1&amp;b=2</link>"
        "<author>Desk</author><pubDate>Mon, 07 Dec 2026 08:00:00 GMT</pubDate></item>"
        "</channel></rss>")


def start(s):
    (s.feeds / "tallowmere.example" / "pointer.php").write_text(FEED)
    s.write_settings(s.url("tallowmere.example/pointer.php"), 1500, 1500)
    s.start_ticker()
    wait_for(lambda: s.geometry()[:2] == (100, 100), what="the saved position")
    wait_for(lambda: s.strip_look().has(LINK), timeout=15, what="the headline on the strip")


def test_hovering_a_label_pauses_and_leaving_resumes(binary):
    with Session(binary) as s:
        start(s)
        assert s.strip_moves(), "the strip should scroll"
        s.xdotool("mousemove", 100 + 250, 100 + 8)
        s.xdotool("mousemove", 100 + 251, 100 + 8)
        # Once the pointer event has arrived the strip stands still for good.
        wait_for(s.strip_stands_still, timeout=15,
                 what="a pointer resting on a label to pause the strip")
        assert s.strip_stands_still(), "the strip moved on under the resting pointer"
        s.xdotool("mousemove", 700, 600)  # away, without crossing the strip
        assert s.strip_moves(), "the strip resumes once the pointer has left"


def press_label_and_expect_its_link(s, button):
    s.xdotool("mousemove", "--sync", 100 + 250, 100 + 8)
    s.xdotool("click", button)
    links = wait_for(s.opened_links, what="the opener")
    assert links == [["http://www.tallowmere.example/news/1?a=1&b=2"]], links


def test_pressing_a_linked_label_opens_its_link(binary):
    with Session(binary) as s:
        start(s)
        press_label_and_expect_its_link(s, 1)


def test_middle_button_opens_the_link_and_double_click_reloads(binary):
    with Session(binary) as s:
        start(s)
        press_label_and_expect_its_link(s, 2)
        fetched = len(s.requests())
        s.xdotool("mousemove", 100 + 10, 100 + 5)
        s.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: len(s.requests()) > fetched, what="the reload by double-click")


def test_dragging_the_title_picture_moves_the_window(binary):
    with Session(binary) as s:
        start(s)
        s.drag((110, 105), [(12 * step, 7 * step) for step in range(1, 11)])
        wait_for(lambda: s.geometry()[:2] == (220, 170), what="the dragged window")


def test_right_click_shows_the_options(binary):
    with Session(binary) as s:
        start(s)
        s.xdotool("mousemove", 100 + 500, 100 + 8)
        s.xdotool("click", 3)
        wait_for(lambda: s.run(["xdotool", "search", "--onlyvisible", "--name",
                                "^Ticker : Options$"], check=False).strip(),
                 what="the options window")
        assert s.strip_stands_still(), "the strip stands still while the options are open"


if __name__ == "__main__":
    main([test_hovering_a_label_pauses_and_leaving_resumes,
          test_pressing_a_linked_label_opens_its_link,
          test_middle_button_opens_the_link_and_double_click_reloads,
          test_dragging_the_title_picture_moves_the_window,
          test_right_click_shows_the_options])
