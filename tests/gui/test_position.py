"""The strip keeps its place: dragging, closing with the close button or Alt+F4, the next run."""

import os
import tempfile
import unittest

import harness

SECTION_TOP = "目录顶边".encode("gb18030")
KEY_TOP = "位置顶边".encode("gb18030")
SECTION_LEFT = "目录左边".encode("gb18030")
KEY_LEFT = "位置左边".encode("gb18030")
CENTRED = ((harness.SCREEN_WIDTH - 455) // 2, (harness.SCREEN_HEIGHT - 33) // 2)


class PositionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.XSession()
        cls.content = harness.RecordingServer(harness.CONTENT_PORT, harness.content_folder())

    @classmethod
    def tearDownClass(cls):
        cls.content.close()
        cls.session.close()

    def start(self, folder):
        program = harness.Program(self.session, harness.binary(), folder)
        self.addCleanup(program.close)
        program.wait_window()
        return program

    def test_first_run_opens_centred_and_the_close_button_saves_for_the_next_run(self):
        folder = tempfile.mkdtemp(prefix="sousuo-run-")
        first = self.start(folder)
        first.wait_geometry(CENTRED + (455, 33))
        self.assertFalse(os.path.exists(first.position_file))

        first.drag(-200, -150)
        moved = (CENTRED[0] - 200, CENTRED[1] - 150)
        first.wait_geometry(moved + (455, 33))
        first.click(12, 16)  # the close button
        self.assertEqual(first.wait_exit(), 0)

        with open(first.position_file, "rb") as saved:
            text = saved.read()
        self.assertEqual(text, b"[" + SECTION_TOP + b"]\r\n" + KEY_TOP + b"=%d\r\n" % moved[1]
                         + b"[" + SECTION_LEFT + b"]\r\n" + KEY_LEFT + b"=%d\r\n" % moved[0])

        second = self.start(folder)
        self.assertEqual(second.geometry(), moved + (455, 33))

    def test_a_press_without_movement_leaves_the_strip_in_place(self):
        program = self.start(None)
        before = program.geometry()
        program.drag(0, 0)
        self.assertEqual(program.geometry(), before)

    def test_alt_f4_saves_the_place(self):
        folder = tempfile.mkdtemp(prefix="sousuo-run-")
        program = self.start(folder)
        program.drag(100, 60)
        moved = (CENTRED[0] + 100, CENTRED[1] + 60)
        program.wait_geometry(moved + (455, 33))
        program.activate()
        program.key("alt+F4")
        self.assertEqual(program.wait_exit(), 0)
        again = self.start(folder)
        self.assertEqual(again.geometry(), moved + (455, 33))

    def test_a_place_off_every_monitor_opens_centred(self):
        folder = tempfile.mkdtemp(prefix="sousuo-run-")
        with open(os.path.join(folder, "peizhi.ini"), "wb") as saved:
            saved.write(b"[" + SECTION_TOP + b"]\r\n" + KEY_TOP + b"=5000\r\n"
                        + b"[" + SECTION_LEFT + b"]\r\n" + KEY_LEFT + b"=-9000\r\n")
        program = self.start(folder)
        self.assertEqual(program.geometry(), CENTRED + (455, 33))


if __name__ == "__main__":
    unittest.main()
