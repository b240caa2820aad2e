"""The Debian package: built by scripts/package for the loopback content server, unpacked with
dpkg -x into a scratch root, and checked the way a desktop and a user meet it: the control fields,
the files where the desktop looks for them, the menu entry, and the installed program under Xvfb.
"""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "gui"))
import harness  # noqa: E402

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
CENTRED = ((harness.SCREEN_WIDTH - 455) // 2, (harness.SCREEN_HEIGHT - 33) // 2)
# The run-time libraries that the program and its web view module cannot start without.
REQUIRED_DEPENDS = ("libc6", "libstdc++6", "libgtk-3-0", "libglib2.0-0", "libwebkit2gtk-4.1-0",
                    "libcurl4", "libjpeg62-turbo", "libpng16-16", "libgdk-pixbuf-2.0-0")
# The user that runs the installed copy when the test runs as root: root may write anywhere, so
# only another user meets the installed program's folder as read-only.
UNPRIVILEGED_ID = 65534


def output_of(argv, **kwargs):
    return subprocess.run(argv, check=True, capture_output=True, text=True, **kwargs).stdout


def build_package(build_dir):
    """Runs scripts/package for the loopback addresses and returns the .deb's path."""
    options = ["-DSOUSUO_CONTENT_BASE_URL=http://127.0.0.1:%d" % harness.CONTENT_PORT,
               "-DSOUSUO_SEARCH_URL_PREFIX=http://127.0.0.1:%d/baidu?&ie=utf-8&word="
               % harness.SEARCH_PORT]
    options += os.environ.get("SOUSUO_PACKAGE_CMAKE_OPTIONS", "").split()
    result = subprocess.run([os.path.join(harness.REPO, "scripts", "package"), "-B", build_dir]
                            + options, capture_output=True, text=True)
    if result.returncode != 0:
        raise AssertionError("scripts/package failed:\n" + result.stdout + result.stderr)
    return result.stdout.strip().splitlines()[-1]


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    assert header[:8] == b"\x89PNG\r\n\x1a\n", path + " is not a PNG"
    return struct.unpack(">II", header[16:24])


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    entry = {}
    group = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                entry[key] = value
    return entry


class Unpacked:
    """The package built once for this module and unpacked into a scratch root."""
    deb = root = bindir = program = module_dir = None


def setUpModule():
    build_dir = os.environ.get("SOUSUO_PACKAGE_BUILD_DIR",
                               os.path.join(harness.REPO, "build-package-test"))
    Unpacked.deb = build_package(build_dir)
    multiarch = output_of(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"]).strip()
    Unpacked.root = tempfile.mkdtemp(prefix="sousuo-root-")
    os.chmod(Unpacked.root, 0o755)
    subprocess.run(["dpkg", "-x", Unpacked.deb, Unpacked.root], check=True)
    Unpacked.bindir = os.path.join(Unpacked.root, "usr", "bin")
    Unpacked.program = os.path.join(Unpacked.bindir, "sousuo")
    Unpacked.module_dir = "/usr/lib/%s/sousuo" % multiarch


def tearDownModule():
    if Unpacked.root:
        os.chmod(Unpacked.bindir, 0o755)
        shutil.rmtree(Unpacked.root, ignore_errors=True)


class PackageTest(unittest.TestCase, Unpacked):
    def field(self, name):
        return output_of(["dpkg-deb", "-f", self.deb, name]).strip()

    def test_control_fields_declare_the_linked_libraries(self):
        self.assertEqual(self.field("Package"), "sousuo")
        self.assertEqual(self.field("Version"), "1.0")
        self.assertEqual(self.field("Architecture"),
                         output_of(["dpkg", "--print-architecture"]).strip())
        depends = {re.split(r"[ (]", item.strip())[0]
                   for item in self.field("Depends").split(",")}
        for package in REQUIRED_DEPENDS:
            self.assertIn(package, depends)
        self.assertEqual(self.field("Homepage"), "http://127.0.0.1:%d" % harness.CONTENT_PORT)
        # apt resolves the declared dependencies against this machine (no change is made).
        simulated = subprocess.run(["apt-get", "install", "--simulate", "--no-install-recommends",
                                    self.deb], capture_output=True, text=True)
        self.assertEqual(simulated.returncode, 0, simulated.stdout + simulated.stderr)
        self.assertRegex(simulated.stdout, r"(?m)^Inst sousuo ")

    def test_files_are_where_the_desktop_looks_and_nothing_else_is_shipped(self):
        listing = output_of(["dpkg-deb", "-c", self.deb])
        files = {}
        for line in listing.splitlines():
            mode, owner, _size, _date, _time, path = line.split(None, 5)
            self.assertEqual(owner, "root/root", line)
            self.assertTrue(path.startswith("./usr/"), line)
            if not mode.startswith("d"):
                files[path[1:]] = mode
        expected = {
            "/usr/bin/sousuo": "-rwxr-xr-x",
            self.module_dir + "/libsousuo-webview.so": "-rw-r--r--",
            self.module_dir + "/libsousuo-fetch.so": "-rw-r--r--",
            self.module_dir + "/sousuo-fetch": "-rwxr-xr-x",
            "/usr/share/applications/sousuo.desktop": "-rw-r--r--",
            "/usr/share/icons/hicolor/scalable/apps/sousuo.svg": "-rw-r--r--",
            "/usr/share/doc/sousuo/copyright": "-rw-r--r--",
        }
        for size in ICON_SIZES:
            expected["/usr/share/icons/hicolor/%dx%d/apps/sousuo.png" % (size, size)] = "-rw-r--r--"
        self.assertEqual(files, expected)
        for size in ICON_SIZES:
            path = os.path.join(self.root, "usr/share/icons/hicolor/%dx%d/apps/sousuo.png"
                                % (size, size))
            self.assertEqual(png_size(path), (size, size))
        with open(os.path.join(self.root, "usr/share/doc/sousuo/copyright")) as f:
            self.assertIn("Copyright (c) 2026 the sousuo developers", f.read())

    def test_menu_entry_is_valid_and_names_the_installed_program_icon_and_window(self):
        path = os.path.join(self.root, "usr/share/applications/sousuo.desktop")
        result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout.strip(), "", "the entry draws hints or warnings")
        entry = desktop_entry(path)
        self.assertEqual(entry["Name"], "Search strip")
        self.assertEqual(entry["Name[zh_CN]"], "搜索条")
        self.assertEqual(entry["Type"], "Application")
        self.assertIn("Network", entry["Categories"].split(";"))
        self.assertEqual(entry["Terminal"], "false")
        self.assertEqual(entry["StartupWMClass"], "sousuo")
        # The command is looked up on PATH, where the package puts the program.
        self.assertTrue(os.access(os.path.join(self.bindir, entry["Exec"]), os.X_OK))
        self.assertTrue(os.path.isfile(os.path.join(
            self.root, "usr/share/icons/hicolor/48x48/apps", entry["Icon"] + ".png")))

    def test_program_parts_lie_in_the_module_folder_without_search_paths(self):
        # The program finds them from its own folder (../lib/<triplet>/sousuo), so the unpacked
        # program of the tests below downloads and searches as the installed one does.
        modules = [self.root + self.module_dir + "/" + name
                   for name in ("libsousuo-webview.so", "libsousuo-fetch.so", "sousuo-fetch")]
        for module in modules:
            self.assertTrue(os.path.isfile(module), module)
        # No search path into a build tree is left in the installed files.
        for path in [self.program] + modules:
            dynamic = output_of(["readelf", "-d", path])
            self.assertNotIn("RPATH", dynamic)
            self.assertNotIn("RUNPATH", dynamic)


def content_server():
    """The loopback content server, or None while another run still holds its port."""
    try:
        return harness.RecordingServer(harness.CONTENT_PORT, harness.content_folder())
    except OSError:
        return None


class InstalledProgram(harness.Program):
    """The unpacked program run where it was installed (no copy), as a user who cannot write its
    folder, with its output kept in a folder of the test's own."""

    def __init__(self, session, path, env, log_folder):
        self.session = session
        self.folder = log_folder
        self.path = path
        self.log = open(os.path.join(log_folder, "output.log"), "ab")
        user = {}
        if os.geteuid() == 0:
            user = dict(user=UNPRIVILEGED_ID, group=UNPRIVILEGED_ID, extra_groups=[])
        self.process = subprocess.Popen([path], env=env, cwd="/", stdout=self.log,
                                        stderr=self.log, **user)
        self.window = None


class InstalledProgramTest(unittest.TestCase, Unpacked):
    """The program from the unpacked package starts against the loopback content server and keeps
    its place in the user's configuration folder, since its own folder is not writable."""

    @classmethod
    def setUpClass(cls):
        if os.geteuid() != 0:
            os.chmod(cls.bindir, 0o555)
        cls.session = harness.XSession()
        cls.addClassCleanup(cls.session.close)
        cls.content = harness.wait_for(content_server, timeout=120, interval=0.5,
                                       what="the content port to be free")
        cls.addClassCleanup(cls.content.close)

    def setUp(self):
        # A home of the running user's own, with XDG folders inside it.
        self.home = tempfile.mkdtemp(prefix="sousuo-user-")
        self.addCleanup(shutil.rmtree, self.home, ignore_errors=True)
        self.env = dict(self.session.env, HOME=self.home,
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_DATA_HOME=os.path.join(self.home, "data"),
                        XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                        XDG_RUNTIME_DIR=os.path.join(self.home, "runtime"))
        os.mkdir(self.env["XDG_RUNTIME_DIR"], 0o700)
        if os.geteuid() == 0:
            for folder in (self.home, self.env["XDG_RUNTIME_DIR"]):
                os.chown(folder, UNPRIVILEGED_ID, UNPRIVILEGED_ID)
        self.logs = tempfile.mkdtemp(prefix="sousuo-log-")
        self.addCleanup(shutil.rmtree, self.logs, ignore_errors=True)

    def start(self):
        program = InstalledProgram(self.session, self.program, self.env, self.logs)
        self.addCleanup(program.close)
        program.wait_window()
        return program

    def test_starts_with_the_menu_entry_window_class_and_loads_the_content(self):
        program = self.start()
        program.wait_geometry(CENTRED + (455, 33))
        self.assertIn('"sousuo"', program.property("WM_CLASS"))
        harness.wait_for(
            lambda: {"/sousuo/guanbi.jpg", "/sousuo/AD.txt", "/sousuo/xxbt.txt"}
            <= set(self.content.paths()),
            what="the start-up downloads from the loopback content server")
        program.activate()
        program.key("alt+F4")
        self.assertEqual(program.wait_exit(), 0)

    def test_keeps_its_place_in_the_user_configuration_folder(self):
        first = self.start()
        first.wait_geometry(CENTRED + (455, 33))
        first.drag(-200, -150)
        moved = (CENTRED[0] - 200, CENTRED[1] - 150)
        first.wait_geometry(moved + (455, 33))
        first.click(12, 16)  # the close button
        self.assertEqual(first.wait_exit(), 0)

        saved = os.path.join(self.env["XDG_CONFIG_HOME"], "sousuo", "peizhi.ini")
        self.assertTrue(os.path.isfile(saved), "no position file in the configuration folder: "
                        + first.output())
        self.assertFalse(os.path.exists(os.path.join(self.bindir, "peizhi.ini")))
        second = self.start()
        self.assertEqual(second.geometry(), moved + (455, 33))


if __name__ == "__main__":
    unittest.main()
