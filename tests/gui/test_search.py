"""Searching on the real program: Enter grows the strip and the results load in the same window."""

import unittest
import urllib.parse

import harness

RESULTS = (b'<html><body style="margin:0"><script>alert("silent")</script>'
           b'<a target="_blank" href="http://127.0.0.1:18732/linked" '
           b'style="display:block;width:1100px;height:500px;background:#00ff00">a link</a>'
           b'</body></html>')
LINKED = b'<html><body style="background:#ff0000">linked</body></html>'


def unreserved_decoded(path):
    """The path with percent-escapes of unreserved characters decoded. The web engine's network
    layer normalises these (RFC 3986 says both forms are the same address); every other byte stays
    percent-encoded."""
    out = []
    i = 0
    while i < len(path):
        if path[i] == "%" and i + 2 < len(path) + 1:
            char = chr(int(path[i + 1:i + 3], 16))
            if char.isascii() and (char.isalnum() or char in "-._~"):
                out.append(char)
                i += 3
                continue
            out.append(path[i:i + 3].upper())
            i += 3
            continue
        out.append(path[i])
        i += 1
    return "".join(out)


class SearchTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.XSession()
        cls.content = harness.RecordingServer(harness.CONTENT_PORT, harness.content_folder())
        cls.search = harness.RecordingServer(harness.SEARCH_PORT)
        cls.search.prefixes.append(("/baidu", (200, RESULTS, "text/html")))
        cls.search.prefixes.append(("/linked", (200, LINKED, "text/html")))

    @classmethod
    def tearDownClass(cls):
        cls.search.close()
        cls.content.close()
        cls.session.close()

    def setUp(self):
        self.program = harness.Program(self.session, harness.binary())
        self.addCleanup(self.program.close)
        self.program.wait_window()
        harness.wait_for(lambda: any(p.endswith("xxbt.txt") for p in self.content.paths()),
                         what="the start-up downloads")
        self.search.requests.clear()
        self.place = self.program.geometry()[:2]
        self.program.activate()
        self.program.click(150, 16)  # into the query field

    def searched(self):
        return [p for p in self.search.paths() if p.startswith("/baidu")]

    def test_enter_grows_the_strip_and_searches_the_percent_encoded_query(self):
        self.program.type_text("abc")
        self.program.key("Return")
        self.program.wait_geometry(self.place + (1142, 567))
        harness.wait_for(self.searched, what="the search request")
        self.assertEqual(unreserved_decoded(self.searched()[0]),
                         unreserved_decoded("/baidu?&ie=utf-8&word=%61%62%63"))

    def test_a_chinese_query_is_sent_as_its_utf8_bytes(self):
        self.program.type_text("中 x")
        self.program.key("KP_Enter")
        harness.wait_for(self.searched, what="the search request")
        self.assertEqual(unreserved_decoded(self.searched()[0]),
                         "/baidu?&ie=utf-8&word=%E4%B8%AD%20x")

    def test_a_new_window_link_loads_in_the_same_view(self):
        self.program.type_text("abc")
        self.program.key("Return")
        self.program.wait_geometry(self.place + (1142, 567))
        harness.wait_for(self.searched, what="the search request")
        # Let the page paint, then rest the pointer on the link and click it.
        left, top = self.place
        harness.wait_for(lambda: self.session.pixel(left + 300, top + 200) == (0, 255, 0),
                         what="the results page")
        self.program.click(300, 200)
        harness.wait_for(lambda: "/linked" in self.search.paths(), what="the linked page")
        harness.wait_for(lambda: self.session.pixel(left + 300, top + 200) == (255, 0, 0),
                         what="the linked page in the strip's own view")
        # No second window: neither for the link nor for the page's script dialog.
        self.assertEqual(len(self.session.windows_of_class("sousuo")), 1)
        self.assertEqual(len(self.program.visible_windows()), 1)

    def test_reset_collapses_clears_the_query_and_tips_its_button(self):
        self.program.type_text("abc")
        self.program.key("Return")
        self.program.wait_geometry(self.place + (1142, 567))
        harness.wait_for(self.searched, what="the first search")
        self.program.click(402, 16)  # the reset button
        self.program.wait_geometry(self.place + (455, 33))
        # Resting the pointer there shows its tip: a second window of the program appears.
        harness.wait_for(lambda: len(self.program.visible_windows()) > 1, what="the reset tip")
        self.search.requests.clear()
        self.program.click(150, 16)
        self.program.type_text("d")
        self.program.key("Return")
        harness.wait_for(self.searched, what="the second search")
        self.assertEqual(unreserved_decoded(self.searched()[0]), "/baidu?&ie=utf-8&word=d")

    def test_an_empty_search_leaves_the_strip_collapsed(self):
        self.program.key("Return")
        harness.wait_for(lambda: self.content.paths().count("/sousuo/sousuo1.jpg") >= 1,
                         what="the busy picture's download")
        self.program.click(366, 16)  # the search button
        harness.wait_for(lambda: self.content.paths().count("/sousuo/sousuo1.jpg") >= 2,
                         what="the second busy picture's download")
        self.assertEqual(self.program.geometry(), self.place + (455, 33))
        self.assertEqual(self.searched(), [])
        # The tip is not shown at once; resting the pointer on the query field shows it.
        self.assertEqual(len(self.program.visible_windows()), 1)
        self.program.click(150, 16)
        harness.wait_for(lambda: len(self.program.visible_windows()) > 1, what="the empty-query tip")


if __name__ == "__main__":
    unittest.main()
