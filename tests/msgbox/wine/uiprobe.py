"""Runs the Windows probe program ui_probe.exe under the wine harness and reads the one
line it prints (name=value pairs)."""
import os
import subprocess
import time
from pathlib import Path

from winharness import Harness, HarnessError

PROBE_EXE = "tests/msgbox/ui_probe.exe"


def artifacts_dir():
    """Screenshots are kept in the build folder next to the wine work folders."""
    work = os.environ.get("KEB_WINE_WORK")
    path = Path(work).parent / "screenshots" if work else Path.cwd() / "screenshots"
    path.mkdir(parents=True, exist_ok=True)
    return path


def parse(line):
    values = {}
    for part in line.split():
        if "=" in part:
            name, value = part.split("=", 1)
            values[name] = value
    return values


def rect(text):
    return tuple(int(v) for v in text.split(","))


class Probe:
    """One run of the probe: start(), drive its window, then result()."""

    def __init__(self, harness, mode, args, env_extra=None, exe=None):
        self.h = harness
        env = dict(harness.env)
        env.update(env_extra or {})
        exe = exe or harness.program(PROBE_EXE)
        self.started = time.time()
        self.proc = subprocess.Popen(["wine", str(exe), mode] + [f"{k}={v}" for k, v in args.items()], env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, cwd=str(harness.work_root))

    def window(self, title, timeout=20):
        return self.h.find_window(name=f"^{title}$", timeout=timeout)

    def result(self, timeout=20):
        try:
            out, _ = self.proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.communicate()
            raise HarnessError("probe did not end")
        self.elapsed = time.time() - self.started
        lines = [l for l in out.decode("latin-1").splitlines() if "=" in l]
        if not lines:
            raise HarnessError("probe printed nothing")
        return parse(lines[-1])


def run_probe(harness, mode, **args):
    """A probe run that needs no input (viewer with a link only, progress, language)."""
    return Probe(harness, mode, args).result()


def new_harness(work_name):
    h = Harness.from_environment()
    h.work_root = h.work_dir(work_name)
    return h
