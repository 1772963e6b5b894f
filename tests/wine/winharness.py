"""Wine harness for the stub's tests (python3, standard library only).

One test run = one Xvfb display + one persistent wineserver + one private WINEPREFIX,
started by `setup` and stopped by `teardown` (CTest fixture tests do both), by process id.
Test files reach the running environment through `Harness.from_environment()`.

Command line (used by the CTest fixtures):
    python3 winharness.py setup STATE_FILE PREFIX_DIR WIN_BUILD_DIR
    python3 winharness.py teardown STATE_FILE

Use in a test (see tests/startup/test_*.py):
    h = Harness.from_environment()
    work = h.work_dir("my_test")                # fresh folder for this test
    exe = h.copy_stub(work / "setup.exe")       # pkgstub.exe copy
    with h.trace_viewer() as viewer:            # ".BDebug." window writing to a file
        code = h.run_stub(exe, "/hide", timeout=10)
    lines = viewer.lines()

Functions for GUI tests: find_window(name=..., cls=...), key(window, *keys),
click(x, y), screenshot(path), window_geometry(window). Registry: reg_add, reg_query.
"""
import contextlib
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

STATE_ENV = "KEB_WINE_STATE"
WIN_BUILD_ENV = "KEB_WIN_BUILD_DIR"
WORK_ENV = "KEB_WINE_WORK"

# Programs of the Windows build (relative to the Windows build folder).
STUB_EXE = "stub/pkgstub.exe"
TRACE_VIEWER_EXE = "tests/wine/traceviewer.exe"
MESSAGE_RECORDER_EXE = "tests/wine/msgrecorder.exe"
RAW_RUN_EXE = "tests/wine/rawrun.exe"


class HarnessError(RuntimeError):
    pass


# ---------------------------------------------------------------------------------------
# environment set-up and teardown

def _wine_env(prefix, display):
    env = dict(os.environ)
    for proxy in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"):
        env.pop(proxy, None)
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        "WINEARCH": "win32",
        "DISPLAY": display,
    })
    return env


def _start_xvfb():
    """Starts Xvfb on the first free display from :100 on; returns (display, pid)."""
    first = 100 + (os.getpid() % 50)
    for number in list(range(first, 200)) + list(range(100, first)):
        if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
            continue
        proc = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        deadline = time.time() + 5
        while time.time() < deadline:
            if proc.poll() is not None:
                break  # display taken meanwhile: try the next one
            if Path(f"/tmp/.X11-unix/X{number}").exists():
                return f":{number}", proc.pid
            time.sleep(0.02)
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    raise HarnessError("no free X display for Xvfb")


def _run(cmd, env, timeout, cwd=None):
    """Runs a command and collects its output through a file: wine programs may leave
    background processes (services, devices) behind that inherit the output handle, so
    a pipe would never reach its end."""
    with tempfile.TemporaryFile() as out:
        proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL)
        try:
            proc.wait(timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            raise
        out.seek(0)
        return subprocess.CompletedProcess(cmd, proc.returncode, out.read(), None)


def setup(state_file, prefix_dir, win_build_dir):
    """Starts Xvfb and a persistent wineserver and prepares the prefix (once)."""
    state_file = Path(state_file)
    if state_file.exists():
        teardown(state_file)  # a previous run that was not torn down
    prefix = Path(prefix_dir).resolve()
    prefix.parent.mkdir(parents=True, exist_ok=True)
    display, xvfb_pid = _start_xvfb()
    env = _wine_env(prefix, display)
    prefix.mkdir(parents=True, exist_ok=True)
    server = subprocess.Popen(["wineserver", "-f", "-p"], env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, start_new_session=True)
    state = {"display": display, "xvfb_pid": xvfb_pid, "wineserver_pid": server.pid,
             "prefix": str(prefix), "win_build_dir": str(Path(win_build_dir).resolve())}
    state_file.parent.mkdir(parents=True, exist_ok=True)
    state_file.write_text(json.dumps(state, indent=1))

    ready = prefix / ".keb-prefix-ready"
    if not ready.exists():
        neutral = tempfile.mkdtemp(prefix="keb-wine-")  # no reg.exe of ours in the way
        try:
            result = _run(["wineboot", "-i"], env, 180, cwd=neutral)
            if result.returncode != 0:
                raise HarnessError("wineboot failed: " + result.stdout.decode(errors="replace")[-2000:])
            fonts = prefix / "drive_c/windows/Fonts"
            fonts.mkdir(parents=True, exist_ok=True)
            for font in Path("/usr/share/wine/fonts").glob("*"):
                link = fonts / font.name
                if not link.exists():
                    link.symlink_to(font)
            _run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"],
                 env, 60, cwd=neutral)
        finally:
            shutil.rmtree(neutral, ignore_errors=True)
        ready.write_text("ok\n")
    return state


def _wait_pid_gone(pid, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return True
        try:  # reap it when it is our child
            if os.waitpid(pid, os.WNOHANG)[0] == pid:
                return True
        except ChildProcessError:
            pass
        time.sleep(0.05)
    return False


def _is_process(pid, name):
    try:
        return name in Path(f"/proc/{pid}/cmdline").read_bytes().decode(errors="replace")
    except OSError:
        return False


def teardown(state_file):
    """Stops the wineserver (which ends every wine process of the prefix) and Xvfb."""
    state_file = Path(state_file)
    if not state_file.exists():
        return
    state = json.loads(state_file.read_text())
    env = _wine_env(state["prefix"], state["display"])
    pid = state.get("wineserver_pid")
    if pid and _is_process(pid, "wineserver"):
        try:
            _run(["wineserver", "-k"], env, 30)
        except subprocess.TimeoutExpired:
            pass
        if not _wait_pid_gone(pid, 10) and _is_process(pid, "wineserver"):
            os.kill(pid, signal.SIGKILL)
    pid = state.get("xvfb_pid")
    if pid and _is_process(pid, "Xvfb"):
        os.kill(pid, signal.SIGTERM)
        if not _wait_pid_gone(pid, 5) and _is_process(pid, "Xvfb"):
            os.kill(pid, signal.SIGKILL)
    state_file.unlink()


# ---------------------------------------------------------------------------------------
# use by the tests

def windows_path(path):
    """Linux path -> the path wine programs see (drive Z: maps the root folder)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def quote_args(args):
    """Arguments joined for a Windows command line; a text with blanks is quoted."""
    if isinstance(args, str):
        return args
    return " ".join(f'"{a}"' if (" " in a and not a.startswith('"')) else a for a in args)


class _HelperProgram:
    """A Windows helper program that writes out_file once it is ready and ends when
    the stop file appears beside it."""

    label = "helper program"

    def __init__(self, harness, exe, args, out_file):
        self.harness, self.exe, self.args = harness, Path(exe), list(args)
        self.out_file = Path(out_file)
        self.stop_file = self.out_file.with_suffix(".stop")
        self.proc = None

    def start(self, timeout=15):
        for f in (self.out_file, self.stop_file):
            if f.exists():
                f.unlink()
        self.proc = self.harness.start_program(
            self.exe, self.args + [windows_path(self.out_file), windows_path(self.stop_file)])
        deadline = time.time() + timeout
        while not self.out_file.exists():
            if self.proc.poll() is not None or time.time() > deadline:
                raise HarnessError(f"{self.label} did not start")
            time.sleep(0.01)
        return self

    def stop(self, timeout=10):
        if self.proc is None:
            return
        self.stop_file.write_text("stop\n")
        try:
            self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.proc = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


class TraceViewer(_HelperProgram):
    """The test trace viewer: a running traceviewer.exe and the file it writes."""

    label = "trace viewer"

    def __init__(self, harness, out_file):
        super().__init__(harness, harness.program(TRACE_VIEWER_EXE), [], out_file)

    def text(self):
        return self.out_file.read_bytes().decode("latin-1") if self.out_file.exists() else ""

    def lines(self):
        """Every trace line received so far, without line ends."""
        return [line.rstrip("\r") for line in self.text().split("\n") if line != ""] if self.text() else []

    def wait_for(self, fragment, timeout=10):
        """Waits until a trace line contains fragment; returns that line."""
        deadline = time.time() + timeout
        while True:
            for line in self.lines():
                if fragment in line:
                    return line
            if time.time() > deadline:
                raise HarnessError(f"no trace line with {fragment!r}; got {self.lines()!r}")
            time.sleep(0.02)


class MessageRecorder(_HelperProgram):
    """A stand-in program owning a window of a given class; records messages it gets."""

    label = "message recorder"

    def __init__(self, harness, exe, window_class, title, out_file):
        super().__init__(harness, exe, [window_class, title], out_file)
        self.window_class, self.title = window_class, title

    def messages(self):
        """Recorded (message, wParam, lParam) tuples."""
        if not self.out_file.exists():
            return []
        return [tuple(int(v) for v in line.split()) for line in self.out_file.read_text().splitlines() if line]

    def wait_for_count(self, count, timeout=5):
        deadline = time.time() + timeout
        while len(self.messages()) < count and time.time() < deadline:
            time.sleep(0.02)
        return self.messages()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


class Harness:
    """The running wine environment of this test run."""

    def __init__(self, state, work_root):
        self.state = state
        self.display = state["display"]
        self.prefix = Path(state["prefix"])
        self.win_build_dir = Path(state["win_build_dir"])
        self.work_root = Path(work_root)
        self.env = _wine_env(self.prefix, self.display)

    @classmethod
    def from_environment(cls):
        state_file = os.environ.get(STATE_ENV)
        if not state_file or not Path(state_file).exists():
            raise HarnessError(f"{STATE_ENV} does not name a running wine environment (run the wine_setup fixture)")
        state = json.loads(Path(state_file).read_text())
        work = os.environ.get(WORK_ENV) or str(Path(state_file).parent / "work")
        return cls(state, work)

    # --- files and programs
    def program(self, relative):
        path = self.win_build_dir / relative
        if not path.exists():
            raise HarnessError(f"missing Windows program {path}")
        return path

    @property
    def stub_exe(self):
        return self.program(STUB_EXE)

    def work_dir(self, name):
        """A fresh, empty folder for one test."""
        path = self.work_root / name
        shutil.rmtree(path, ignore_errors=True)
        path.mkdir(parents=True)
        return path

    def copy_stub(self, target):
        target = Path(target)
        shutil.copyfile(self.stub_exe, target)
        return target

    # --- running
    def start_program(self, exe, args=(), env=None):
        """Starts a Windows program in the background; returns the Popen object."""
        return subprocess.Popen(["wine", str(exe)] + [str(a) for a in args], env=env or self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=str(self.work_root))

    def run_raw(self, command_line, timeout=20):
        """Runs an exact Windows command line (program first); returns the exit code."""
        env = dict(self.env)
        env["KEB_RAW_CMDLINE"] = command_line
        self.work_root.mkdir(parents=True, exist_ok=True)
        result = _run(["wine", str(self.program(RAW_RUN_EXE))], env, timeout, cwd=str(self.work_root))
        return result.returncode

    def run_stub(self, exe=None, args="", timeout=20, quote_program=True):
        """Runs a stub (pkgstub.exe by default) with args (a raw text or a list) under a
        time limit and returns its exit code. The program is written quoted unless
        quote_program is False."""
        exe = Path(exe) if exe else self.stub_exe
        program = windows_path(exe)
        if quote_program:
            program = f'"{program}"'
        tail = quote_args(args)
        return self.run_raw(program + (" " + tail if tail else ""), timeout)

    def trace_viewer(self, name="trace"):
        """A TraceViewer (use with `with`), writing to a file in the work folder."""
        self.work_root.mkdir(parents=True, exist_ok=True)
        return TraceViewer(self, self.work_root / f"{name}.txt")

    def message_recorder(self, exe_path, window_class, title="Recorder", out_file=None):
        """A MessageRecorder running a copy of msgrecorder.exe placed at exe_path (so that
        it can stand in for a program found by its file name)."""
        exe_path = Path(exe_path)
        shutil.copyfile(self.program(MESSAGE_RECORDER_EXE), exe_path)
        out = Path(out_file) if out_file else exe_path.with_suffix(".messages.txt")
        return MessageRecorder(self, exe_path, window_class, title, out)

    def wait_until(self, predicate, timeout=10, step=0.05):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if predicate():
                return True
            time.sleep(step)
        return predicate()

    # --- registry
    def reg_add(self, key, name, value, kind="REG_SZ"):
        self.work_root.mkdir(parents=True, exist_ok=True)
        _run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", str(value), "/f"], self.env, 60,
             cwd=str(self.work_root))

    def reg_query(self, key, name):
        """The value's data as text, or None when absent."""
        self.work_root.mkdir(parents=True, exist_ok=True)
        out = _run(["wine", "reg", "query", key, "/v", name], self.env, 60, cwd=str(self.work_root))
        for line in out.stdout.decode(errors="replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
                return parts[2] if len(parts) == 3 else ""
        return None

    # --- X11 windows (xdotool)
    def _xdotool(self, *args, timeout=10):
        return subprocess.run(["xdotool", *args], env=self.env, timeout=timeout, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL).stdout.decode().split()

    def find_window(self, name=None, cls=None, timeout=10):
        """X window id of a visible window whose title (a regular expression, e.g.
        '^Confirm$') or class matches; polls every 20 ms; raises HarnessError on time-out."""
        args = ["search", "--onlyvisible"]
        args += ["--name", name] if name is not None else ["--class", cls]
        deadline = time.time() + timeout
        while True:
            found = self._xdotool(*args)
            if found:
                return found[0]
            if time.time() > deadline:
                raise HarnessError(f"no window {name or cls!r}")
            time.sleep(0.02)

    def window_gone(self, window, timeout=10):
        return self.wait_until(lambda: window not in self._xdotool("search", "--onlyvisible", "--name", ".*"),
                               timeout)

    def key(self, window, *keys):
        """Focuses the window, then types keys (xdotool names: Tab, Return, alt+n, Escape)."""
        self._xdotool("windowfocus", "--sync", window)
        self._xdotool("key", *keys)

    def click(self, x, y):
        """Left click at absolute screen coordinates."""
        self._xdotool("mousemove", str(x), str(y), "click", "1")

    def window_geometry(self, window):
        """(x, y, width, height) of an X window."""
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=self.env, timeout=10,
                             stdout=subprocess.PIPE).stdout.decode()
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def screenshot(self, path):
        """Screenshot of the whole virtual screen (PNG)."""
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)], env=self.env,
                       timeout=30, check=True)
        return Path(path)


# ---------------------------------------------------------------------------------------
# packages for tests

TRAILER_MAGIC = 0x4A3B2C1D
FLAG_SHOW_TEMP_NOTICE, FLAG_MORE_VOLUMES, FLAG_RUN_FROM_TEMP_COPY = 1, 2, 4
FLAG_ACTIVITY_BAR, FLAG_AGENT_LOGGING = 8, 16


def english_language_block(**keys):
    """A language block with one English entry holding the given key=value pairs."""
    entry = "\x01English\x01" + "".join(f"{k}={v}\x01" for k, v in keys.items())
    return "\x02" + entry + "\x02"


def append_package(exe, config=("http://", ".info", ".exe", "", ""), language=None, download=None,
                   flags=0, is_agent=False, records=(), checksum=1234):
    """Appends a package (header blocks, stored records, trailer) to the file exe.
    records: (header line, bytes) pairs written as stored records."""
    exe = Path(exe)
    data = bytearray(exe.read_bytes())
    start = len(data)
    blocks = [language if language is not None else english_language_block(),
              "|" + "|".join(config) + "|"]
    if download is not None:
        blocks.append("|" + "|".join(download) + "|")
    for block in blocks:
        raw = block.encode("latin-1")
        data += struct.pack("<I", len(raw)) + raw
    for header, body in records:
        raw = header.encode("latin-1") + b"\0" + body
        data += struct.pack("<i", -len(raw)) + raw
    trailer = struct.pack("<BBHIIII8s9IBBBBBB", 1, len(blocks), 0, start, len(records), TRAILER_MAGIC, checksum,
                          bytes(8), *([0] * 9), 0, flags, 1 if download is not None else 0, 0, 0,
                          1 if is_agent else 0)
    data += trailer + struct.pack("<I", len(trailer) + 4)
    exe.write_bytes(bytes(data))
    return exe


def main(argv):
    if len(argv) >= 5 and argv[1] == "setup":
        state = setup(argv[2], argv[3], argv[4])
        print(f"wine environment ready: display {state['display']}, prefix {state['prefix']}")
        return 0
    if len(argv) >= 3 and argv[1] == "teardown":
        teardown(argv[2])
        print("wine environment stopped")
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
