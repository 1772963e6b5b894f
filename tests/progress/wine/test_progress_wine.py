"""The progress display on real progress-bar controls under wine."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "msgbox" / "wine"))
from uiprobe import new_harness, run_probe  # noqa: E402


class ProgressWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.h = new_harness("progress")

    def test_bars_follow_the_driver(self):
        cases = [
            # (maximum, steps, position) -> range high, main position, activity position
            (dict(maximum=100, steps=6, position=0), "0,100", "6", "0"),
            (dict(maximum=70000, steps=3, position=10), "0,4464", "13", "3"),
            (dict(maximum=100, steps=7, position=0), "0,100", "7", "1"),
        ]
        for args, rng, main, activity in cases:
            with self.subTest(**args):
                got = run_probe(self.h, "progress", **args)
                self.assertEqual((got["range"], got["main"], got["activity"]), (rng, main, activity))
                self.assertEqual(got["after_finish"], "0,0")

    def test_label_direction_by_charset(self):
        for charset, rtl in ((178, "1"), (177, "1"), (0, "0"), (1, "0")):
            with self.subTest(charset=charset):
                got = run_probe(self.h, "progress", charset=charset, label="Extracting")
                self.assertEqual((got["label_right"], got["label_rtl"], got["label"]), (rtl, rtl, "Extracting"))


if __name__ == "__main__":
    unittest.main()
