#!/usr/bin/env python3
"""The Windows program under Wine, as a Windows user meets it.

Command line: pestrel.com, found by cmd.exe before pestrel.exe, ends a running evil.exe (the test
helper under that name), keeps and deletes its file and removes the Run value named like it
(read back with Wine's reg.exe); every --json line parses and the exit status reaches cmd /c;
--restore puts the file and the value back; --rules is refused with its reason.

Window (on the X server of xvfb-run): every shown control of each page has the place and size it
has in the Linux window; each page as the screen shows it is written to a PNG file; the kill
button pressed in the window ends the running evil.exe, keeps and deletes its file and removes
its Run value, and pestrel.com --restore puts them back.

Guard service: pestrel-setup.exe /S /SERVICE registers and starts the guard as a service (sc.exe
sees it running); it ends a listed program that starts and removes a listed file dropped into
the System folder; the uninstaller stops and removes it.

Setup: pestrel-setup.exe /S in a new prefix installs into Program Files with the help, the
stand-in face, a Start menu entry and an uninstaller registered under Uninstall; the installed
program keeps its working files in %LOCALAPPDATA%\\Pestrel; the uninstaller removes what the
setup put in place and leaves those working files.

    program_under_wine.py LINUX_BUILD WINDOWS_BUILD WORK_FOLDER [SHOTS_FOLDER]

The pages' pictures go to SHOTS_FOLDER as windows-<page>.png when it is given.
"""

import json
import os
import shutil
import subprocess
import sys
import time
import unittest

LINUX_BUILD, BUILD, WORK = sys.argv[1:4]
SHOTS = sys.argv[4] if len(sys.argv) > 4 else os.path.join(WORK, "shots")
WINE = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
SERVICE = "PestrelGuard"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pestrel"


class Prefix:
    """A new 64-bit prefix made by the project's script, and Windows programs run in it."""

    def __init__(self, name, display=False):
        self.folder = os.path.join(WORK, name)
        subprocess.run([os.path.join(SOURCE, "tools", "wine-prefix.sh"), self.folder],
                       check=True, timeout=600)
        self.env = dict(os.environ, WINEPREFIX=self.folder, WINEARCH="win64", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        if display:
            # The prefix was made for no display: its windows go to the X server again.
            self.run("reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/d", "x11",
                     "/f")
            subprocess.run([WINESERVER, "-k"], env=self.env, timeout=60)
        else:
            self.env.pop("DISPLAY", None)

    def drive(self, *parts):
        return os.path.join(self.folder, "drive_c", *parts)

    def run(self, *arguments, timeout=300):
        done = subprocess.run([WINE, *arguments], env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout)
        return done.returncode, done.stdout.decode("utf-8", "replace").replace("\r\n", "\n"), \
            done.stderr.decode("utf-8", "replace").replace("\r\n", "\n")

    def start(self, *arguments):
        return subprocess.Popen([WINE, *arguments], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def reg_has(self, key, value):
        return self.run("reg", "query", key, "/v", value)[0] == 0

    def local_app_data(self):
        users = self.drive("users")
        (user,) = [u for u in os.listdir(users) if u not in ("Public", "Default")]
        return os.path.join(users, user, "AppData", "Local")

    def wait_idle(self):
        """Until every program of the prefix has ended (an uninstaller runs from a copy)."""
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=300)

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, timeout=60)
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=60)
        shutil.rmtree(self.folder, ignore_errors=True)


def start_evil(test, prefix):
    """The test helper running as C:\\bin\\evil.exe, ended by the end of `test` at the latest."""
    os.makedirs(prefix.drive("bin"), exist_ok=True)
    evil = prefix.drive("bin", "evil.exe")
    shutil.copy(os.path.join(BUILD, "tests", "bin", "pestrel_test_helper.exe"), evil)
    ready = prefix.drive("bin", "ready")
    if os.path.exists(ready):
        os.remove(ready)
    process = prefix.start("C:\\bin\\evil.exe", "--ready", "C:\\bin\\ready")
    test.addCleanup(process.wait, 60)
    test.addCleanup(process.kill)
    wait_until(lambda: os.path.exists(ready), "evil.exe runs")
    return process, evil


def wait_until(done, what, seconds=60):
    deadline = time.monotonic() + seconds
    while not done():
        if time.monotonic() > deadline:
            raise AssertionError(f"not within {seconds} s: {what}")
        time.sleep(0.1)


class CommandLine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = Prefix("wine-cli")
        cls.app = cls.prefix.drive("app")
        os.makedirs(cls.app)
        for name in ("pestrel.exe", "pestrel.com"):
            shutil.copy(os.path.join(BUILD, name), cls.app)

    @classmethod
    def tearDownClass(cls):
        cls.prefix.close()

    def cmd(self, line):
        """`line` run by cmd.exe from C:\\app, as a user types it."""
        return self.prefix.run("cmd", "/c", f"cd /d C:\\app && {line}")

    def test_kill_restore_and_exit_status_through_cmd(self):
        with open(os.path.join(self.app, "VirusList.txt"), "wb") as file:
            file.write(b"evil.exe\r\n")
        process, evil = start_evil(self, self.prefix)
        self.assertEqual(self.prefix.run("reg", "add", RUN_KEY, "/v", "evil.exe", "/d",
                                         "C:\\bin\\evil.exe", "/f")[0], 0)

        status, out, err = self.cmd("pestrel --kill --json")
        objects = [json.loads(line) for line in out.splitlines()]
        self.assertEqual(status, 0, out + err)
        verbs = [obj["verb"] for obj in objects]
        self.assertEqual(verbs[-1], "summary", out)
        self.assertIn("terminate", verbs, out)
        wait_until(lambda: process.poll() is not None, "evil.exe ends")
        self.assertFalse(os.path.exists(evil))
        self.assertFalse(self.prefix.reg_has(RUN_KEY, "evil.exe"))

        status, out, err = self.cmd("pestrel --restore")
        self.assertEqual(status, 0, out + err)
        self.assertTrue(os.path.exists(evil))
        self.assertTrue(self.prefix.reg_has(RUN_KEY, "evil.exe"))

    def test_bad_input_and_refused_rules_reach_cmd_as_status_2(self):
        for line, says in (("pestrel --kill --list C:\\missing.txt", "missing.txt"),
                           ("pestrel --kill --rules C:\\bin", "Windows")):
            with self.subTest(line=line):
                status, out, err = self.cmd(line)
                self.assertEqual(status, 2, out + err)
                self.assertIn(says, err)


def layout(lines):
    """"page name" -> (x, y, width, height) of --layout's lines."""
    places = {}
    for line in lines.splitlines():
        page, name, *rect = line.split()
        places[page + " " + name] = tuple(int(n) for n in rect)
    return places


class Window(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.environ.get("DISPLAY"):
            raise unittest.SkipTest("no X server: run under xvfb-run")
        cls.prefix = Prefix("wine-window", display=True)
        cls.folder = cls.prefix.drive("probe")
        os.makedirs(os.path.join(cls.folder, "fonts"))
        for name in ("pestrel.com", os.path.join("tests", "bin", "pestrel_window_probe.exe")):
            shutil.copy(os.path.join(BUILD, name), cls.folder)
        for name in os.listdir(os.path.join(BUILD, "fonts")):
            shutil.copy(os.path.join(BUILD, "fonts", name), os.path.join(cls.folder, "fonts"))

    @classmethod
    def tearDownClass(cls):
        cls.prefix.close()

    def probe(self, *arguments):
        done = subprocess.run([WINE, "C:\\probe\\pestrel_window_probe.exe", *arguments],
                              cwd=self.folder, env=self.prefix.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=300)
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        return done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")

    def test_the_controls_have_the_places_of_the_linux_window(self):
        linux_folder = os.path.join(WORK, "linux-window")
        os.makedirs(linux_folder, exist_ok=True)
        linux = subprocess.run(
            [os.path.join(LINUX_BUILD, "tests", "windows", "pestrel_window_probe"), "--layout"],
            cwd=linux_folder, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
            stdout=subprocess.PIPE, check=True, timeout=120).stdout.decode()
        expected, seen = layout(linux), layout(self.probe("--layout"))
        self.assertGreater(len(expected), 20)
        differing = {name: (expected.get(name), seen.get(name))
                     for name in expected.keys() | seen.keys()
                     if expected.get(name) != seen.get(name)}
        self.assertEqual(differing, {})

    def test_each_page_as_the_screen_shows_it(self):
        self.probe("--shots", "Z:" + SHOTS.replace("/", "\\"), "windows")
        for page in ("virus-list", "process-list", "process-paths"):
            path = os.path.join(SHOTS, f"windows-{page}.png")
            with open(path, "rb") as shot:
                self.assertEqual(shot.read(8), b"\x89PNG\r\n\x1a\n", path)

    def test_the_kill_button_ends_a_real_program_and_restore_brings_it_back(self):
        with open(os.path.join(self.folder, "VirusList.txt"), "wb") as file:
            file.write(b"evil.exe\r\n")
        process, evil = start_evil(self, self.prefix)
        self.assertEqual(self.prefix.run("reg", "add", RUN_KEY, "/v", "evil.exe", "/d",
                                         "C:\\bin\\evil.exe", "/f")[0], 0)

        self.probe("--kill")
        wait_until(lambda: process.poll() is not None, "evil.exe ends")
        self.assertFalse(os.path.exists(evil))
        self.assertTrue(os.path.isfile(os.path.join(self.folder, "Temp", "evil.exe")))
        self.assertFalse(self.prefix.reg_has(RUN_KEY, "evil.exe"))

        status, out, err = self.prefix.run("cmd", "/c", "cd /d C:\\probe && pestrel --restore")
        self.assertEqual(status, 0, out + err)
        self.assertTrue(os.path.exists(evil))
        self.assertTrue(self.prefix.reg_has(RUN_KEY, "evil.exe"))


class Setup(unittest.TestCase):
    def test_silent_setup_installed_program_and_uninstaller(self):
        prefix = Prefix("wine-setup")
        self.addCleanup(prefix.close)
        folder = prefix.drive("Program Files", "Pestrel")
        installed = ["pestrel.exe", "pestrel.com", "Readme.txt", "Readme.en.txt",
                     "Uninstall.exe", os.path.join("fonts", "wqy-microhei.ttc"),
                     os.path.join("fonts", "wqy-microhei-copyright.txt")]
        shortcut = prefix.drive("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                                "Pestrel.lnk")

        status, out, err = prefix.run(os.path.join(BUILD, "pestrel-setup.exe"), "/S")
        self.assertEqual(status, 0, out + err)
        for name in installed:
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        self.assertTrue(os.path.isfile(shortcut))
        self.assertFalse(os.path.exists(os.path.join(folder, "pestrel-gallery.exe")))
        status, out, _ = prefix.run("reg", "query", UNINSTALL_KEY, "/v", "UninstallString")
        self.assertEqual(status, 0)
        self.assertIn("Uninstall.exe", out)

        # The installed program writes nothing beside itself: its working files and its help go
        # to its data folder.
        data = os.path.join(prefix.local_app_data(), "Pestrel")
        os.makedirs(data)
        with open(os.path.join(data, "VirusList.txt"), "wb") as file:
            file.write(b"absent.exe\r\n")
        status, out, err = prefix.run("C:\\Program Files\\Pestrel\\pestrel.com", "--kill")
        self.assertEqual(status, 0, out + err)
        self.assertIn("entries=1", out)  # the list of the data folder was read
        for name in ("Readme.txt", "Readme.en.txt"):
            self.assertTrue(os.path.isfile(os.path.join(data, name)), name)
        self.assertEqual(sorted(os.listdir(folder)), sorted({n.split(os.sep)[0] for n in installed}))

        status, out, err = prefix.run("C:\\Program Files\\Pestrel\\Uninstall.exe", "/S")
        self.assertEqual(status, 0, out + err)
        prefix.wait_idle()
        self.assertFalse(os.path.exists(folder))
        self.assertFalse(os.path.exists(shortcut))
        self.assertNotEqual(prefix.run("reg", "query", UNINSTALL_KEY)[0], 0)
        self.assertTrue(os.path.isfile(os.path.join(data, "VirusList.txt")))


    def test_the_guard_service_guards_until_the_uninstaller_removes_it(self):
        prefix = Prefix("wine-service")
        self.addCleanup(prefix.close)
        state = lambda: prefix.run("sc", "query", SERVICE)[1]

        # The user's list, there before the setup: the service guards with it.
        data = os.path.join(prefix.local_app_data(), "Pestrel")
        os.makedirs(data)
        with open(os.path.join(data, "VirusList.txt"), "wb") as file:
            file.write(b"evil.exe\r\n")
        status, out, err = prefix.run(os.path.join(BUILD, "pestrel-setup.exe"), "/S", "/SERVICE")
        self.assertEqual(status, 0, out + err)
        wait_until(lambda: "RUNNING" in state(), "the service runs")
        dropped = prefix.drive("windows", "system32", "evil.exe")
        shutil.copy(os.path.join(BUILD, "tests", "bin", "pestrel_test_helper.exe"), dropped)
        # Wine ends a prefix's services with its server, which stops a few seconds after the
        # last program ends, where Windows keeps them running: asking for the service's state
        # while waiting keeps the server.
        wait_until(lambda: "RUNNING" in state() and not os.path.exists(dropped),
                   "the dropped file goes")
        process, _ = start_evil(self, prefix)
        wait_until(lambda: process.poll() is not None, "the listed program ends")

        status, out, err = prefix.run("C:\\Program Files\\Pestrel\\Uninstall.exe", "/S")
        self.assertEqual(status, 0, out + err)
        prefix.wait_idle()
        self.assertNotEqual(prefix.run("sc", "query", SERVICE)[0], 0)
        self.assertFalse(os.path.exists(prefix.drive("Program Files", "Pestrel")))


if __name__ == "__main__":
    # TESTS names the tests to run (for example "Setup.test_silent_setup"); all when unset.
    unittest.main(argv=sys.argv[:1] + os.environ.get("TESTS", "").split(), verbosity=2)
