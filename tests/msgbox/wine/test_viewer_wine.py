"""The text viewer under wine: link only, text with a link button, nothing to show, and a
screenshot of the viewer with its link button."""
import time
import unittest

from uiprobe import Probe, artifacts_dir, new_harness, rect, run_probe

LONG_TEXT = "\r\n".join(f"Line {i}: what is new in this version of the program." for i in range(1, 60))


class ViewerWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.h = new_harness("viewer")

    def test_nothing_to_show(self):
        got = run_probe(self.h, "viewer", text="", link="   ")
        self.assertEqual((got["shown"], got["openedlink"]), ("0", "0"))

    def test_link_only_opens_it_without_a_window(self):
        target = self.h.work_root / "notice.url"
        got = run_probe(self.h, "viewer", text="", link="  Z:\\nonexistent\\notice.txt  ")
        self.assertEqual((got["shown"], got["openedlink"], got["hadbutton"]), ("1", "1", "0"))

    def test_viewer_with_link_button(self):
        textfile = self.h.work_root / "notice.txt"
        textfile.write_bytes(LONG_TEXT.encode())
        probe = Probe(self.h, "viewer", dict(caption="News", label="Open the web page", width=520, height=360,
                                             link="Z:\\nonexistent\\page.html",
                                             textfile="Z:" + str(textfile).replace("/", "\\")))
        window = probe.window("News")
        time.sleep(0.8)
        self.h.screenshot(artifacts_dir() / "viewer_link.png")
        self.h.key(window, "Return")  # the focused default button opens the link and closes
        got = probe.result()
        self.assertEqual((got["shown"], got["hadbutton"], got["openedlink"]), ("1", "1", "1"))
        text, button = rect(got["text"]), rect(got["button"])
        self.assertEqual((text[0], text[1]), (3, 0))
        self.assertEqual(button[2:], (160, 25))
        client_h = text[3] + 43
        self.assertEqual(button[1], client_h - 33)

    def test_viewer_without_link_closes_with_alt_f4(self):
        probe = Probe(self.h, "viewer", dict(caption="Plain", text="Just text", width=300, height=200))
        window = probe.window("Plain")
        time.sleep(0.3)
        self.h.key(window, "alt+F4")
        got = probe.result()
        self.assertEqual((got["shown"], got["hadbutton"], got["openedlink"]), ("1", "0", "0"))


if __name__ == "__main__":
    unittest.main()
