"""Start-up under wine: the four roles, second starts, forwarding switches, switch rules,
the start-up trace and the exit code."""
import re
import time
import unittest
from pathlib import Path

import winharness as w

SHUTDOWN, LOCAL, AGENT = 0x463, 0x464, 0x465
LOG_LINE = re.compile(r"^\d\d/\d\d/\d\d \d\d:\d\d:\d\d [ \d]{4}\d(   | X )(.*)$")


def agent_package(exe, agent_name="agent.exe", logging=True):
    return w.append_package(exe, config=("http://", ".info", agent_name, "", ""), is_agent=True,
                            flags=w.FLAG_AGENT_LOGGING if logging else 0)


def log_texts(log_file):
    """(indentation, text) of every agent-log line; fails on a line of another shape."""
    out = []
    for line in Path(log_file).read_bytes().decode("latin-1").split("\n"):
        if not line:
            continue
        m = LOG_LINE.match(line.rstrip("\r"))
        assert m and line.endswith("\r"), f"bad log line {line!r}"
        out.append((m.group(1), m.group(2)))
    return out


class StartupTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.h = w.Harness.from_environment()

    def setUp(self):
        self.work = self.h.work_dir("startup_" + self._testMethodName)

    def stub(self, name="setup.exe", **package):
        exe = self.h.copy_stub(self.work / name)
        w.append_package(exe, **package)
        return exe

    # --- plain stub -------------------------------------------------------------------
    def test_plain_stub_traces_start_window_and_end(self):
        exe = self.stub()
        with self.h.trace_viewer() as viewer:
            code = self.h.run_stub(exe, '/x="a b"')
        self.assertEqual(code, 0)
        lines = viewer.lines()
        raw = f'"{w.windows_path(exe)}" /x="a b"'
        pid = lines[0].split(" ", 1)[0]
        self.assertTrue(pid.isdigit(), lines)
        self.assertEqual(lines, [
            f"{pid} ==== STUB START ====> {raw}<",
            f"{pid} ==== ThisIs_AutoUpdateProg=FALSE",
            "- wm_Destroy -",
            f"{pid} ==== STUB END ====> {raw}<",
        ])
        self.assertEqual(list(self.work.glob("*.log")), [], "a plain stub writes no agent log")

    def test_stub_without_valid_package_runs_as_empty_plain_stub(self):
        cases = {
            "none.exe": lambda exe: None,
            "short.exe": lambda exe: exe.write_bytes(exe.read_bytes() + b"\x00\x10\x00\x00"),  # claims 4096
            "huge.exe": lambda exe: exe.write_bytes(exe.read_bytes() + b"\xff\xff\xff\xff"),
        }
        for name, damage in cases.items():
            with self.subTest(name):
                exe = self.h.copy_stub(self.work / name)
                damage(exe)
                with self.h.trace_viewer() as viewer:
                    self.assertEqual(self.h.run_stub(exe), 0)
                self.assertIn("- wm_Destroy -", viewer.lines())
                self.assertTrue(viewer.lines()[-1].endswith("==== STUB END ====> " + f'"{w.windows_path(exe)}"<'))

    def test_second_start_of_the_same_stub_does_nothing(self):
        exe = self.stub()
        # Another instance of the same file owns the class (its full path).
        holder = self.h.message_recorder(self.work / "holder.exe", w.windows_path(exe), title="Holder")
        with holder, self.h.trace_viewer() as viewer:
            started = time.time()
            code = self.h.run_stub(exe)
            elapsed = time.time() - started
        self.assertEqual(code, 0)
        self.assertNotIn("- wm_Destroy -", viewer.lines())
        self.assertEqual(len(viewer.lines()), 3, viewer.lines())
        self.assertLess(elapsed, 5)
        self.assertEqual(holder.messages(), [])

    # --- agent launcher, running agent ---------------------------------------------------
    def test_agent_launcher_makes_and_starts_its_x_copy(self):
        exe = self.h.copy_stub(self.work / "agent.exe")
        agent_package(exe)
        copy = self.work / "X_agent.exe"
        with self.h.trace_viewer() as viewer:
            self.assertEqual(self.h.run_stub(exe, "/TRANSIENT=abc /DELAY=5"), 0)
            self.assertTrue(copy.exists())
            # The copy runs with the passed-on switches, one timer step, then ends.
            start = viewer.wait_for("X_agent.exe\" /TRANSIENTx=abc /SleepX=5<")
            self.assertIn("==== STUB START ====>", start)
            viewer.wait_for("X_agent.exe\" /TRANSIENTx=abc /SleepX=5<", timeout=1)
            self.assertTrue(self.h.wait_until(lambda: sum("STUB END" in l for l in viewer.lines()) == 2, 10),
                            viewer.lines())
        self.assertIn(" CreateAndRun_X_Exe-2", "\n".join(viewer.lines()))
        # The running agent deletes its own file once it has ended.
        self.assertTrue(self.h.wait_until(lambda: not copy.exists(), 15), "X_ copy not deleted")
        self.assertTrue(exe.exists())

        log = log_texts(self.work / "X_agent.log")
        texts = [t for _, t in log]
        for expected in ("DoRunStubWin() --- Start", "ThisIs_Plain_AutoUpdate_Exe=TRUE", "CreateAndRun_X_Exe() --- Start",
                         "Wait 0 SEC", f"WinExec: {w.windows_path(copy)} /TRANSIENTx=abc /SleepX=5",
                         "HandleParamOK() --- Start", "Agent Version=1.0.0.1", f"=== EXIT === {w.windows_path(exe)}"):
            self.assertIn(expected, texts)
        # The running agent's own lines carry its indentation.
        agent_lines = [t for indent, t in log if indent == " X "]
        for expected in ("ThisIs_X_AutoUpdate_Exe=TRUE", "CheckTestMode", "WinMain", ".. DestroyMainWindow() - Start",
                         "DeleteMySelf", f"=== EXIT === {w.windows_path(copy)}"):
            self.assertIn(expected, agent_lines)
        self.assertLess(texts.index("WinMain"), texts.index("DeleteMySelf"))

    def test_running_agent_finds_its_class_taken_and_does_nothing(self):
        copy = self.h.copy_stub(self.work / "X_agent.exe")
        agent_package(copy)
        holder = self.h.message_recorder(self.work / "other.exe", ".AutoUpdate.X_agent", title="Agent")
        with holder, self.h.trace_viewer() as viewer:
            self.assertEqual(self.h.run_stub(copy), 0)
        self.assertNotIn("- wm_Destroy -", viewer.lines())
        texts = [t for _, t in log_texts(self.work / "X_agent.log")]
        self.assertIn("X_ExeIsRunning=TRUE", texts)
        self.assertNotIn("WinMain", texts)
        time.sleep(0.5)
        self.assertTrue(copy.exists(), "a copy that did not run must not delete itself")

    def test_second_launcher_start_only_forwards_switches(self):
        exe = self.h.copy_stub(self.work / "agent.exe")
        agent_package(exe)
        running = self.h.message_recorder(self.work / "X_agent.exe", ".AutoUpdate.X_agent", title="Agent")
        cases = [
            ("/STOP=5", [(SHUTDOWN, 5, 0)]),
            ("/WM_MSG=7", [(LOCAL, 7, 0)]),
            ('/WM_MSG="7:9"', [(LOCAL, 7, 9)]),
            ("/TEST=3", [(AGENT, 31, 3), (SHUTDOWN, 2, 0)]),
            ("/TEST=0 /STOP=1 /WM_MSG=4:2", [(SHUTDOWN, 1, 0), (LOCAL, 4, 2), (AGENT, 31, 0)]),
            # Written with "-" instead of "/": not a switch.
            ("-STOP=5 -TEST=3", []),
            # A value ends at a blank followed by "/".
            ("/WM_MSG=8 /9", [(LOCAL, 8, 0)]),
        ]
        with running:
            for args, expected in cases:
                with self.subTest(args):
                    before = len(running.messages())
                    self.assertEqual(self.h.run_stub(exe, args), 0)
                    got = running.wait_for_count(before + len(expected), timeout=3)[before:]
                    if not expected:
                        time.sleep(0.3)
                        got = running.messages()[before:]
                    self.assertEqual(got, expected)
        # The running copy was not replaced.
        self.assertEqual((self.work / "X_agent.exe").read_bytes(), self.h.program(w.MESSAGE_RECORDER_EXE).read_bytes())
        texts = [t for _, t in log_texts(self.work / "X_agent.log")]
        self.assertIn("X_ExeIsRunning=TRUE", texts)
        self.assertIn(f"PostProcessMessage(wm_ShutDown) to: {w.windows_path(self.work / 'X_agent.exe')}", texts)
        self.assertNotIn("Create X_ File " + w.windows_path(self.work / "X_agent.exe"), texts)

    def test_forwarding_needs_the_target_file(self):
        exe = self.h.copy_stub(self.work / "agent.exe")
        agent_package(exe)
        # The running class exists, but no X_ file lies next to the launcher.
        holder = self.h.message_recorder(self.work / "elsewhere.exe", ".AutoUpdate.X_agent", title="Agent")
        with holder:
            self.assertEqual(self.h.run_stub(exe, "/STOP=5"), 0)
            time.sleep(0.3)
            self.assertEqual(holder.messages(), [])
        self.assertFalse((self.work / "X_agent.exe").exists())

    def test_exit_code_is_the_one_the_package_run_sets(self):
        exe = self.work / "setup.exe"
        exe.write_bytes(self.h.program("tests/startup/exitcode_probe.exe").read_bytes())
        w.append_package(exe)
        for code in (0, 7, 255, 3010):
            with self.subTest(code):
                self.assertEqual(self.h.run_stub(exe, f"/ExitWith={code}") & 0xFF, code & 0xFF)

    # --- main window ----------------------------------------------------------------------
    def test_main_window_handles_its_message_table(self):
        probe = self.h.program("tests/startup/mainwindow_probe.exe")
        expected_common = [
            "message box font", "tick 1", "title Brisel Installation Suite", "size 492x110", "visible 0",
            None, "progress 70,38 392x13 shown", None,
            # 0x465 returns the handler's result; 0x463 and 0x464 reach the handler too.
            "control 1125 31 7", "agent result 4242", "control 1123 5 0", "control 1124 1 2",
            "autoplay 1",
            # The first close request only sets the abort flag; the second one closes.
            "after first close: window 1 abort 1", "tick 2", "after second close: window 0",
            "close http", "notify 43 0", "loop ended after 2 ticks",
        ]
        layouts = {
            "": ("status 70,20 340x18", "activity 416,20 46x13 hidden"),
            "rtl": ("status 122,20 340x18", "activity 70,20 46x13 hidden"),
        }
        for mode, (status, activity) in layouts.items():
            with self.subTest(mode or "ltr"):
                out = self.work / f"probe{mode}.txt"
                proc = self.h.start_program(probe, [w.windows_path(out)] + ([mode] if mode else []))
                self.assertEqual(proc.wait(30), 0)
                expected = list(expected_common)
                expected[5], expected[7] = status, activity
                self.assertEqual(out.read_text().splitlines(), expected)

    # --- temporary span copy -------------------------------------------------------------
    def test_temporary_span_copy_relaunches_from_the_working_folder(self):
        exe = self.stub(flags=w.FLAG_RUN_FROM_TEMP_COPY)
        with self.h.trace_viewer() as viewer:
            self.assertEqual(self.h.run_stub(exe, "/hide"), 0)
            origin = w.windows_path(exe)
            line = viewer.wait_for("Y_setup.exe", timeout=10)
            start = viewer.wait_for(f'/hide /SpanCdLvl=2 /SpanDiskFName1="{origin}.001" /OriginExe="{origin}"<')
            self.assertIn("==== STUB START ====>", start)
            self.assertTrue(self.h.wait_until(lambda: sum("STUB END" in l for l in viewer.lines()) == 2, 10))
        self.assertIn("TemporarySpanCopy", line)
        # The first stub ran no window; the copy ran one.
        self.assertEqual(sum(l == "- wm_Destroy -" for l in viewer.lines()), 1)
        copy_path = re.search(r'"(C:\\[^"]*\\Y_setup\.exe)"', start).group(1)
        folder = self.h.prefix / "drive_c" / Path(*copy_path[3:].split("\\")).parent
        self.assertRegex(folder.name, r"^SETUP_\d+$")
        # The copy deletes itself and its folder when it has ended.
        self.assertTrue(self.h.wait_until(lambda: not folder.exists(), 15), f"{folder} still there")

    def test_span_level_switch_rules(self):
        cases = [
            ("/SpanCdLvl=2", False),   # running as the copy: no relaunch
            ("-SpanCdLvl=2", True),    # "-" is not accepted: level stays 1
            ("/SpanCdLvl=", True),     # empty value: the default 1
            ("/spancdlvl=1", True),
        ]
        for args, relaunched in cases:
            with self.subTest(args):
                folder = self.h.work_dir(f"startup_span_{len(args)}_{relaunched}")
                exe = self.h.copy_stub(folder / "setup.exe")
                w.append_package(exe, flags=w.FLAG_RUN_FROM_TEMP_COPY)
                with self.h.trace_viewer() as viewer:
                    self.assertEqual(self.h.run_stub(exe, args), 0)
                    if relaunched:
                        viewer.wait_for("Y_setup.exe")
                        self.h.wait_until(lambda: sum("STUB END" in l for l in viewer.lines()) == 2, 10)
                    else:
                        time.sleep(0.3)
                self.assertEqual(any("Y_setup.exe" in l for l in viewer.lines()), relaunched, viewer.lines())


if __name__ == "__main__":
    unittest.main()
