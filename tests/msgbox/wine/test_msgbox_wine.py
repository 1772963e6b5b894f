"""The message box under wine: each button set answered by keyboard and by mouse, Escape,
time-out, right-to-left, widening for bold text, modality, the box without rich text,
and screenshots of an error box, a Yes/No/Cancel box and a right-to-left box."""
import time
import unittest

from uiprobe import Probe, artifacts_dir, new_harness, rect

ENGLISH = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"
GERMAN = "|&OK|&Abbrechen|&Ja|&Nein|&Beenden|&Wiederholen|&Ignorieren|"

# Button sets: (style, codes of the slots left to right).
SETS = [(0, [1]), (1, [1, 2]), (2, [3, 4, 5]), (3, [6, 7, 2]), (4, [6, 7]), (5, [4, 2])]


class MsgBoxWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.h = new_harness("msgbox")
        cls.counter = 0

    def show(self, keys=None, click_slot=None, **args):
        """Shows a box with a unique caption, sends keys or clicks a slot, returns the
        probe's values."""
        type(self).counter += 1
        caption = args.pop("caption", f"Box{self.counter}")
        args.setdefault("owner", 1)
        args.setdefault("buttons", ENGLISH)
        probe = Probe(self.h, "box", dict(caption=caption, **args))
        window = probe.window(caption)
        if keys:
            time.sleep(0.2)
            self.h.key(window, *keys)
        if click_slot is not None:
            time.sleep(0.2)
            self._click(probe, window, click_slot, args)
        return probe.result()

    def _click(self, probe, window, slot, args):
        # The probe reports the client area only at the end; compute it from the X window:
        # wine draws its own frame, the client starts at the frame's inner corner.
        x, y, w, hgt = self.h.window_geometry(window)
        count = len(dict(SETS)[int(args.get("style", "0"), 0) & 0xF])
        frame = 3
        client_w = w - 2 * frame
        client_bottom = y + hgt - frame
        left = x + frame + client_w - 80 - 70 * (count - 1 - slot)
        self.h.click(left + 35, client_bottom - 29 + 11)

    def test_keyboard_answers_every_set(self):
        for style, codes in SETS:
            with self.subTest(style=style):
                # Enter on the default (first) button, Tab + Enter on the second.
                self.assertEqual(int(self.show(["Return"], style=hex(style), text="Enter")["result"]), codes[0])
                if len(codes) > 1:
                    self.assertEqual(int(self.show(["Tab", "Return"], style=hex(style), text="Tab")["result"]), codes[1])
                # Left from the first button wraps to the last one.
                self.assertEqual(int(self.show(["Left", "Return"], style=hex(style), text="Left")["result"]), codes[-1])

    def test_letters_alt_letters_and_escape(self):
        cases = [
            (["n"], 0x3, 7), (["c"], 0x3, 2), (["i"], 0x2, 5), (["alt+y"], 0x4, 6), (["alt+r"], 0x5, 4),
            (["Escape"], 0x3, 0), (["Escape"], 0x0, 0), (["Down", "Down", "Return"], 0x3, 2),
            (["Right", "Up", "Return"], 0x2, 3),
        ]
        for keys, style, code in cases:
            with self.subTest(keys=keys, style=style):
                self.assertEqual(int(self.show(keys, style=hex(style), text="Keys")["result"]), code)

    def test_default_button_bits(self):
        self.assertEqual(int(self.show(["Return"], style="0x203", text="Default")["result"]), 2)
        self.assertEqual(int(self.show(["Return"], style="0x204", text="Default")["result"]), 6)

    def test_mouse_answers_every_button(self):
        for style, codes in SETS:
            for slot, code in enumerate(codes):
                with self.subTest(style=style, slot=slot):
                    got = self.show(click_slot=slot, style=hex(style), text="Click")
                    self.assertEqual(int(got["result"]), code)

    def test_timeout_answers_with_the_first_button(self):
        started = time.time()
        got = self.show(style="0x4", text="Waits five seconds", timeout=5000)
        self.assertEqual(int(got["result"]), 6)
        self.assertGreaterEqual(time.time() - started, 4.8)
        got = self.show(style="0x7", text="No buttons", timeout=500)   # no button: 0
        self.assertEqual(int(got["result"]), 0)

    def test_right_to_left_charset(self):
        for charset, expected in ((178, "1"), (177, "1"), (0, "0")):
            with self.subTest(charset=charset):
                got = self.show(["Return"], style="0x0", text="Right to left text", charset=charset)
                self.assertEqual((got["right"], got["rtl"]), (expected, expected))

    def test_narrow_area_is_widened_for_bold_text(self):
        text = "<B>" + "W" * 30 + " bold text measured in the normal font</B>"
        got = self.show(["Return"], style="0x0", text=text)
        measured_w = int(got["measured"].split(",")[0])
        area_w = int(got["area"].split(",")[0])
        self.assertGreater(area_w, measured_w)
        self.assertEqual(got["lines"], "1")  # the bold line is not wrapped
        self.assertEqual(rect(got["text"])[2], area_w)

    def test_window_size_follows_the_text(self):
        got = self.show(["Return"], style="0x0", text="Short")
        self.assertEqual(rect(got["window"])[2], 360)   # at least 360 wide
        long_line = "x" * 400
        got = self.show(["Return"], style="0x0", text=long_line)
        self.assertEqual(int(got["area"].split(",")[0]), 610)   # 600 + 10

    def test_owner_disabled_then_reactivated(self):
        got = self.show(["Return"], style="0x0", text="Modal", ownerwindow=1)
        self.assertEqual((got["owner_disabled_during"], got["owner_enabled_after"], got["owner_active_after"]),
                         ("1", "1", "1"))

    def test_close_disabled_in_owner_mode_two(self):
        got = self.show(["alt+F4", "Escape"], style="0x1", text="Close greyed", owner=2)
        self.assertEqual((got["closegreyed"], got["result"]), ("1", "0"))
        got = self.show(["alt+F4"], style="0x1", text="Close works", owner=1)
        self.assertEqual((got["closegreyed"], got["result"]), ("0", "0"))

    def test_without_rich_text_library(self):
        type(self).counter += 1
        caption = f"Box{self.counter}"
        probe = Probe(self.h, "box", dict(caption=caption, style="0x1", text="Hidden", buttons=ENGLISH),
                      env_extra={"KEB_TEST_NO_RICHEDIT": "1"})
        window = probe.window(caption)
        self.h.key(window, "Tab", "Return")
        got = probe.result()
        self.assertEqual((got["textarea"], got["result"]), ("0", "2"))

    def test_answers_query_cancel_auto_play(self):
        got = self.show(style="0x0", text="Insert the next disk", autoplay=1, timeout=1500)
        self.assertEqual((got["autoplay"], got["result"]), ("1", "1"))

    def test_box_opened_inside_another_box(self):
        type(self).counter += 1
        caption = f"Box{self.counter}"
        probe = Probe(self.h, "box", dict(caption=caption, style="0x3", text="Outer", buttons=ENGLISH, nested=1))
        inner = probe.window("Inner")
        time.sleep(0.2)
        self.h.key(inner, "Tab", "Return")     # Cancel of the inner box
        self.assertTrue(self.h.window_gone(inner))
        outer = probe.window(caption)
        time.sleep(0.2)
        self.h.key(outer, "n")                 # the outer box still answers: No
        got = probe.result()
        self.assertEqual((got["inner"], got["result"]), ("2", "7"))

    def _screenshot(self, name, keys=("Return",), **args):
        type(self).counter += 1
        caption = args.pop("caption")
        probe = Probe(self.h, "box", dict(caption=caption, **args))
        window = probe.window(caption)
        time.sleep(0.8)  # let the box paint
        path = self.h.screenshot(artifacts_dir() / name)
        self.h.key(window, *keys)
        got = probe.result()
        self.assertTrue(path.exists())
        return got

    def test_screenshots(self):
        got = self._screenshot("msgbox_error.png", front="error", owner=0, caption="Error", buttons=ENGLISH,
                               text="Bad CRC!<P>This indicates that your setup file might be corrupted...")
        self.assertEqual(got["bold"], "1")  # the ERROR header
        block = self.h.work_root / "german.block"
        block.write_bytes(b"\x02\x01German\x01Charset=0\x01FontName=Tahoma\x01FontSize=8\x01BtnText=" +
                          GERMAN.encode() + b"\x01Confirm=Frage\x01\x02")
        got = self._screenshot(
            "msgbox_yesnocancel_bold.png", keys=("Escape",), caption="Frage", owner=1, style="0x23",
            block=str(block).replace("/", "\\").join(["Z:", ""]),
            text="Please insert <B>DISK #2</B> and press OK to continue<P><P>Die <b>fette</b> Schrift<T>mit Tabulator")
        self.assertEqual((got["bold"], got["result"]), ("2", "0"))
        got = self._screenshot("msgbox_rtl.png", caption="RTL", owner=0, style="0x24", charset=178, buttons=ENGLISH,
                               text="Right-to-left reading order<P>for <B>Arabic</B> and Hebrew packages")
        self.assertEqual((got["right"], got["rtl"]), ("1", "1"))


if __name__ == "__main__":
    unittest.main()
