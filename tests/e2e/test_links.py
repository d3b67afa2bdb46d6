"""Hostile links pressed on the real strip: only http and https links reach the system's
opener, each as exactly one argument, exactly as the item holds it after the feed parser
(which decodes XML escapes in a link unless it is a CDATA section). Options, other schemes and
links that merely contain "http" never reach it.

One item per feed: for each case the served feed is replaced, the title picture is
double-clicked to reload it, and the item's long label is pressed where it covers the strip.
The opener's record is compared as a whole at the end, so a link opened that should not have
been, or opened twice, or not at all, shows; a web-link case after the hostile ones proves
that the presses kept hitting the label."""

import os

from harness import Session, main, wait_for

FEED = "tallowmere.example/links.php"
HOME = "http://www.tallowmere.example"
TITLE_POINT = (110, 105)  # the title picture of the window at (100, 100)
LABEL_POINT = (300, 108)  # well inside the item's label, which spans most of the strip
NORMAL_TITLE = ((200, 256), (100, 220), (0, 140))  # the title picture's orange, not busy

# (what the case is about, the text between <link> and </link>, what the opener must get or
# None when nothing may reach it)
CASES = [
    ("an option", "-x", None),
    ("a long option", "--help", None),
    ("a local file", "file:///etc/passwd", None),
    ("a script", "javascript:alert(1)", None),
    ("a scheme in capitals", "FILE:///etc/passwd", None),
    ("http inside another scheme", "javascript:'http://www.tallowmere.example'", None),
    # Blanks around a link are the feed's layout: the address alone goes to the opener.
    ("a leading line break", "\nhttp://www.tallowmere.example/", f"{HOME}/"),
    ("a pretty-printed link", f"\n    {HOME}/pretty\n  ", f"{HOME}/pretty"),
    ("escapes are decoded", f"{HOME}/?a=1&amp;b=&lt;c&gt;", f"{HOME}/?a=1&b=<c>"),
    ("CDATA is taken as written", f"<![CDATA[{HOME}/?a=1&amp;b=2]]>", f"{HOME}/?a=1&amp;b=2"),
    ("a line break inside", f"{HOME}/a\nb", f"{HOME}/a\nb"),
    # A reference to NUL is no character: it stays as written, so no NUL reaches the opener.
    ("a NUL reference", f"{HOME}/a&#0;b", f"{HOME}/a&#0;b"),
    ("100,000 characters", "http://" + "a" * 100000, "http://" + "a" * 100000),
    ("blanks", f"{HOME}/a b  c?d= e", f"{HOME}/a b  c?d= e"),
    ("a non-ASCII host", "https://bücher.tallowmere.example/straße?q=ü",
     "https://bücher.tallowmere.example/straße?q=ü"),
    ("an upper-case web scheme", "HTTPS://www.tallowmere.example/Upper",
     "HTTPS://www.tallowmere.example/Upper"),
    ("a web link at the end", f"{HOME}/last", f"{HOME}/last"),
]


def feed(number, link):
    title = f"Case {number}: " + "a hostile link under the pointer " * 14
    return (f'<?xml version="1.0" encoding="utf-8"?><rss><channel><title>Links</title>'
            f"<item><title>{title}</title><link>{link}</link></item></channel></rss>")


def feed_requests(s):
    return sum(1 for r in s.requests() if len(r) > 1 and FEED in r[1])


def title_is_normal(s):
    r, g, b = s.screenshot().pixel(101, 101)
    return all(low <= value < high for value, (low, high) in zip((r, g, b), NORMAL_TITLE))


def serve(s, number, link):
    target = s.feeds / FEED
    temporary = target.with_name(target.name + ".new")
    temporary.write_bytes(feed(number, link).encode("utf-8"))
    os.replace(temporary, target)


def test_only_web_links_reach_the_opener_unchanged(binary):
    with Session(binary) as s:
        serve(s, 0, f"{HOME}/first")
        s.write_settings(s.url(FEED), 1500, 1500)
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (100, 100), what="the saved position")
        expected = []
        for number, (about, link, opened) in enumerate(CASES, start=1):
            serve(s, number, link)
            fetched = feed_requests(s)
            s.xdotool("mousemove", *TITLE_POINT, "click", "--repeat", 2, "--delay", 80, 1)
            wait_for(lambda: feed_requests(s) > fetched, what=f"the reload for {about}")
            wait_for(lambda: title_is_normal(s), what=f"the end of the reload for {about}")
            s.xdotool("mousemove", *LABEL_POINT, "click", 1)
            if opened is not None:
                expected.append([opened])
                wait_for(lambda: len(s.opened_links()) >= len(expected),
                         what=f"the opener for {about}")
            got = s.opened_links()
            assert got == expected, (about, [[a[:80] for a in call] for call in got])
        assert s.alive()


if __name__ == "__main__":
    main([test_only_web_links_reach_the_opener_unchanged])
