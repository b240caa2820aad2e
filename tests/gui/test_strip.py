"""The strip on a real X server: place, size, window-manager state, controls, and its end."""

import os
import subprocess
import unittest

import harness


class StripTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.XSession()
        cls.content = harness.RecordingServer(harness.CONTENT_PORT, harness.content_folder())

    @classmethod
    def tearDownClass(cls):
        cls.content.close()
        cls.session.close()

    def start(self):
        program = harness.Program(self.session, harness.binary())
        self.addCleanup(program.close)
        program.wait_window()
        return program

    def test_opens_centred_undecorated_on_top_without_taskbar_entry(self):
        program = self.start()
        left = (harness.SCREEN_WIDTH - 455) // 2
        top = (harness.SCREEN_HEIGHT - 33) // 2
        program.wait_geometry((left, top, 455, 33))
        state = program.property("_NET_WM_STATE")
        self.assertIn("_NET_WM_STATE_ABOVE", state)
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", state)
        self.assertIn("_NET_WM_STATE_SKIP_PAGER", state)
        self.assertIn("0, 0, 0, 0", program.property("_NET_FRAME_EXTENTS"))
        self.assertIn('"sousuo"', program.property("WM_CLASS"))
        self.assertIn('"1.0"', program.property("_NET_WM_NAME"))

    def test_controls_sit_where_the_layout_puts_them(self):
        program = self.start()
        left, top, _, _ = program.geometry()
        # Wait for the start-up worker to dress the buttons, then look at one row through the
        # middle of the strip: the query field is white from x 24 to 344 (inside its border).
        harness.wait_for(lambda: len([p for p in self.content.paths() if p.endswith(".txt")]) >= 4,
                         what="the start-up downloads")
        row = self.session.pixels(left, top + 18, 455, 1)[0]
        white = [x for x, rgb in enumerate(row) if rgb == (255, 255, 255)]
        self.assertTrue(white, "no white query field")
        self.assertGreaterEqual(min(white), 24)
        self.assertLessEqual(max(white), 344)
        self.assertGreater(len(white), 300)
        # The busy-free buttons carry their pictures (not the background) where the layout
        # puts them: search 354-378, reset 390-414, close 2-22.
        background = row[350]
        for x in (366, 402, 12):
            self.assertNotEqual(row[x], background, f"no picture at x {x}")

    def test_keys_typed_right_after_start_go_to_the_query_field(self):
        search = harness.RecordingServer(harness.SEARCH_PORT)
        self.addCleanup(search.close)
        search.prefixes.append(("/baidu", (200, b"<html>results</html>", "text/html")))
        self.session.run(["xdotool", "mousemove", "5", "5"])  # nothing under the pointer helps
        program = self.start()
        program.type_text("abc")
        program.key("Return")
        harness.wait_for(search.paths, what="the search")
        self.assertEqual(search.paths(), ["/baidu?&ie=utf-8&word=abc"])

    def test_alt_f4_ends_with_status_zero(self):
        program = self.start()
        program.activate()
        program.key("alt+F4")
        self.assertEqual(program.wait_exit(), 0)

    def test_without_a_display_it_reports_and_ends_with_255(self):
        env = dict(os.environ, DISPLAY=":9999")
        env.pop("WAYLAND_DISPLAY", None)
        result = subprocess.run([harness.binary()], env=env, capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 255)
        self.assertIn("载入启动窗口失败", result.stderr.decode())


if __name__ == "__main__":
    unittest.main()
