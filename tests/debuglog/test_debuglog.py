"""Debug log under wine: trace delivery to the viewer window and the agent log file."""
import re
import time
import unittest

import winharness as w

LOG_LINE = re.compile(rb"^(\d\d)/(\d\d)/(\d\d) (\d\d):(\d\d):(\d\d) ([ \d]{4}\d)(   | X )(.*)\r$")


class DebugLogTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.h = w.Harness.from_environment()

    def setUp(self):
        self.work = self.h.work_dir("debuglog_" + self._testMethodName)

    def test_no_viewer_and_no_agent_logging_means_no_output(self):
        cases = {
            "setup.exe": dict(),
            # An agent whose package does not ask for logging.
            "agent.exe": dict(config=("http://", ".info", "other.exe", "", ""), is_agent=True),
            # Logging asked for, but not an agent: not honoured.
            "plain.exe": dict(flags=w.FLAG_AGENT_LOGGING),
        }
        for name, package in cases.items():
            with self.subTest(name):
                exe = self.h.copy_stub(self.work / name)
                w.append_package(exe, **package)
                self.assertEqual(self.h.run_stub(exe), 0)
        self.assertEqual(sorted(p.name for p in self.work.iterdir()), sorted(cases))

    def test_long_trace_text_arrives_whole(self):
        exe = self.h.copy_stub(self.work / "setup.exe")
        w.append_package(exe)
        long_value = "".join(chr(ord("a") + i % 26) for i in range(900))
        with self.h.trace_viewer() as viewer:
            self.assertEqual(self.h.run_stub(exe, f"/Long={long_value}"), 0)
        start = [l for l in viewer.lines() if "STUB START" in l]
        self.assertEqual(len(start), 1, viewer.lines())
        self.assertTrue(start[0].endswith(f"/Long={long_value}<"))

    def test_running_agent_logs_to_its_own_name_with_its_indentation(self):
        exe = self.h.copy_stub(self.work / "X_agent.exe")
        w.append_package(exe, config=("http://", ".info", "agent.exe", "", ""), is_agent=True,
                         flags=w.FLAG_AGENT_LOGGING)
        with self.h.trace_viewer() as viewer:
            self.assertEqual(self.h.run_stub(exe), 0)
        self.assertIn(" ==== ThisIs_AutoUpdateProg=TRUE", viewer.lines()[1])
        self.assertTrue(self.h.wait_until(lambda: not exe.exists(), 15), "running agent did not delete itself")
        self.assertFalse((self.work / "X_X_agent.log").exists())
        raw = (self.work / "X_agent.log").read_bytes()
        lines = raw.split(b"\n")
        self.assertEqual(lines[-1], b"")
        parsed = [LOG_LINE.match(line) for line in lines[:-1]]
        self.assertTrue(all(parsed), raw)
        self.assertEqual({m.group(8) for m in parsed}, {b" X "})
        self.assertEqual(len({m.group(7) for m in parsed}), 1, "one thread writes every line")
        texts = [m.group(9).decode() for m in parsed]
        self.assertEqual(texts[:5], ["", "", f"=== START === {w.windows_path(exe)}",
                                     f'CommandLine="{w.windows_path(exe)}"', "Agent Version=1.0.0.1"])
        self.assertEqual(texts[-2:], [f"=== EXIT === {w.windows_path(exe)}", ""])
        day, month, year = (int(parsed[0].group(i)) for i in (1, 2, 3))
        now = time.localtime()
        self.assertEqual((day, month, year), (now.tm_mday, now.tm_mon, now.tm_year % 100))


if __name__ == "__main__":
    unittest.main()
