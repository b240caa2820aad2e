"""The start-up worker dresses the strip from the content server, and a server that says the copy
is outdated (or no server at all) ends it after its message."""

import os
import stat
import subprocess
import textwrap
import unittest

import harness

CONTENT = harness.content_folder()


def png_bytes(width, height, rgb):
    """A small solid-colour PNG made with ImageMagick."""
    return subprocess.run(["convert", "-size", f"{width}x{height}", f"xc:rgb{rgb}", "png:-"],
                          capture_output=True, check=True).stdout


class ContentTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.XSession()
        # Links opened with the desktop's default handler go to a recorder of ours.
        home = cls.session.home
        cls.opened = os.path.join(home, "opened.txt")
        recorder = os.path.join(home, "record-uri")
        with open(recorder, "w") as script:
            script.write(f"#!/bin/sh\necho \"$1\" >> {cls.opened}\n")
        os.chmod(recorder, stat.S_IRWXU)
        applications = os.path.join(home, "data", "applications")
        os.makedirs(applications)
        with open(os.path.join(applications, "sousuo-test-recorder.desktop"), "w") as entry:
            entry.write(textwrap.dedent(f"""\
                [Desktop Entry]
                Type=Application
                Name=Recorder
                Exec={recorder} %u
                MimeType=x-scheme-handler/http;x-scheme-handler/https;
                NoDisplay=true
                """))
        os.makedirs(os.path.join(home, "config"), exist_ok=True)
        with open(os.path.join(home, "config", "mimeapps.list"), "w") as defaults:
            defaults.write("[Default Applications]\n"
                           "x-scheme-handler/http=sousuo-test-recorder.desktop\n"
                           "x-scheme-handler/https=sousuo-test-recorder.desktop\n")

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def serve(self):
        server = harness.RecordingServer(harness.CONTENT_PORT, CONTENT)
        self.addCleanup(server.close)
        return server

    def start(self):
        program = harness.Program(self.session, harness.binary())
        self.addCleanup(program.close)
        program.wait_window()
        return program

    def button_row(self, program):
        left, top, _, _ = program.geometry()
        return self.session.pixels(left, top + 18, 455, 1)[0]

    def wait_dressed(self, server):
        harness.wait_for(lambda: any(p.endswith("xxbt.txt") for p in server.paths()),
                         what="the start-up downloads")

    def test_the_project_content_dresses_the_buttons_and_the_banner(self):
        server = self.serve()
        program = self.start()
        self.wait_dressed(server)
        self.assertEqual(server.paths()[:7], [
            "/sousuo/sousuo2.jpg", "/sousuo/huanyuan.jpg", "/sousuo/guanbi.jpg",
            "/sousuo/AD.txt", "/sousuo/banben.txt", "/sousuo/xxnr.txt", "/sousuo/xxbt.txt"])
        row = harness.wait_for(
            lambda: (lambda r: r if all(r[x] != r[350] for x in (12, 366, 402)) else None)(
                self.button_row(program)), what="pictures on the three buttons")
        self.assertTrue(row)
        # Expanded, the banner shows right of the strip: its yellow face and magenta text.
        program.activate()
        program.click(150, 16)
        program.type_text("x")
        program.key("Return")
        left, top, _, _ = program.geometry()
        harness.wait_for(lambda: program.geometry()[2:] == (1142, 567), what="expanded")
        banner = self.session.pixels(left + 460, top + 2, 600, 28)
        colours = {pixel for line in banner for pixel in line}
        self.assertIn((216, 216, 0), colours)
        self.assertTrue(any(r > 200 and g < 80 and b > 200 for r, g, b in colours), "no text")
        # A click on the banner opens its link with the desktop's default handler.
        if os.path.exists(self.opened):
            os.remove(self.opened)
        program.click(760, 16)
        harness.wait_for(lambda: os.path.exists(self.opened), what="the banner's link to open")
        with open(self.opened) as opened:
            self.assertEqual(opened.read().split(), ["https://www.example.com/sousuo/"])

    def test_a_404_page_leaves_only_the_close_button_bare(self):
        server = self.serve()
        program = self.start()
        server.bodies["/sousuo/guanbi.jpg"] = (404, b"<html>Not Found</html>", "text/html")
        # The program may have asked before the 404 was set up: restart it to be sure.
        program.close()
        server.requests.clear()
        program = self.start()
        self.wait_dressed(server)
        row = harness.wait_for(
            lambda: (lambda r: r if r[366] != r[350] and r[402] != r[350] else None)(
                self.button_row(program)), what="pictures on search and reset")
        self.assertEqual(row[12], row[350], "the close button should show no picture")

    def test_a_png_served_under_a_jpg_name_shows(self):
        server = self.serve()
        server.bodies["/sousuo/sousuo2.jpg"] = png_bytes(24, 26, (0, 0, 255))
        program = self.start()
        self.wait_dressed(server)
        harness.wait_for(lambda: self.button_row(program)[366] == (0, 0, 255),
                         what="the blue PNG on the search button")

    def test_a_dead_server_shows_the_empty_box_opens_the_home_page_and_ends(self):
        if os.path.exists(self.opened):
            os.remove(self.opened)
        program = harness.Program(self.session, harness.binary())
        self.addCleanup(program.close)
        program.wait_window()

        def message_box():
            others = [w for w in program.visible_windows() if w != program.window]
            return others[0] if others else None
        box = harness.wait_for(message_box, what="the message box")
        self.assertEqual(program.process.poll(), None, "ended before the box was closed")
        self.session.run(["xdotool", "windowactivate", "--sync", str(box)])
        self.session.run(["xdotool", "key", "Return"])
        self.assertEqual(program.wait_exit(), 0)
        harness.wait_for(lambda: os.path.exists(self.opened), what="the home page to be opened")
        with open(self.opened) as opened:
            self.assertEqual(opened.read().split(), [f"http://127.0.0.1:{harness.CONTENT_PORT}"])


if __name__ == "__main__":
    unittest.main()
