"""Language choice from the thread locale that wine derives from LANG / LC_ALL, and the
language ini file next to the program."""
import shutil
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "msgbox" / "wine"))
from uiprobe import PROBE_EXE, Probe, new_harness, parse  # noqa: E402
from winharness import append_package  # noqa: E402


def entry(name, **keys):
    return b"\x01" + name.encode() + b"\x01" + b"".join(f"{k}={v}".encode() + b"\x01" for k, v in keys.items())


BLOCK = (b"\x02" + entry("English", s0="English_title") + b"\x02" + entry("German", s0="Deutscher_Titel", Charset="0",
         FontSize="9") + b"\x02" + entry("Chinese(Simplified)", s0="Chinese_title") + b"\x02")


class LanguageWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.h = new_harness("language")
        cls.block = cls.h.work_root / "block.bin"
        cls.block.write_bytes(BLOCK)

    def run_language(self, locale, exe=None, block=True):
        args = {"block": "Z:" + str(self.block).replace("/", "\\")} if block else {}
        env = {"LANG": locale, "LC_ALL": locale}
        return Probe(self.h, "language", args, env_extra=env, exe=exe).result()

    def test_entry_follows_the_locale(self):
        cases = [
            ("de_DE.UTF-8", "GERMAN", "Deutscher_Titel", "9"),
            ("en_US.UTF-8", "ENGLISH", "English_title", "8"),
            ("fr_FR.UTF-8", "FRENCH", "English_title", "8"),        # no French entry: English
            ("xh_ZA.UTF-8", "CHINESE(SIMPLIFIED)", "Chinese_title", "8"),  # 52 found in 2052
            ("hr_HR.UTF-8", "CROATIAN", "English_title", "8"),
        ]
        for locale, system, title, size in cases:
            with self.subTest(locale=locale):
                got = self.run_language(locale)
                self.assertEqual((got["system"], got["s0"], got["size"]), (system, title, size))

    def test_no_block_gives_defaults(self):
        got = self.run_language("de_DE.UTF-8", block=False)
        self.assertEqual((got["s0"], got["charset"], got["size"], got["font"]), ("Brisel", "0", "8", "Tahoma"))

    def test_language_ini_file(self):
        folder = self.h.work_dir("language_ini")
        exe = folder / "probe.exe"
        shutil.copyfile(self.h.program(PROBE_EXE), exe)
        got = self.run_language("en_US.UTF-8", exe=exe)
        self.assertEqual(got["ini"], "RunTimeDir")   # default "RunTimeDir (C:\RT)..." cut at the blank
        ini = folder / "HELP" / "English"
        ini.mkdir(parents=True)
        (ini / "Brisel.language.ini").write_text("[STRINGS]\r\nRunTimeDir_01=|Laufzeit:<?>|\r\n")
        got = self.run_language("en_US.UTF-8", exe=exe)
        self.assertEqual(got["ini"], "Laufzeit:C:\\RT")


    def test_main_window_title_and_direction_from_the_block(self):
        cases = [("Titel_aus_dem_Paket", "0", "0"), ("Arabic_title", "178", "1")]
        for number, (title, charset, rtl) in enumerate(cases):
            with self.subTest(charset=charset):
                folder = self.h.work_dir(f"title{number}")
                exe = self.h.copy_stub(folder / f"langtitle{number}.exe")
                append_package(exe, language=f"\x02\x01German\x01s0={title}\x01Charset={charset}\x01\x02")
                stub = self.h.start_program(exe, env=dict(self.h.env, LANG="de_DE.UTF-8", LC_ALL="de_DE.UTF-8"))
                try:
                    got = Probe(self.h, "mainwindow", {"suffix": exe.name, "timeout": 15000}).result()
                finally:
                    stub.kill()
                    stub.wait()
                self.assertEqual((got["found"], got.get("title"), got.get("rtl")), ("1", title, rtl))

if __name__ == "__main__":
    unittest.main()
