"""What the command-line host checks share: ZEPc installed from the
distribution into a work folder with settings of its own, run under Wine,
and checks counted and reported."""
import os, shutil, subprocess, sys

failures, counted = [], [0]

def check(ok, what):
    counted[0] += 1
    if not ok:
        failures.append(what)

def report(name):
    """Prints the failures and the count; exits 1 on any failure."""
    for failure in failures:
        print("FAIL:", failure)
    print(f"{name}: {counted[0] - len(failures)} passed, {len(failures)} failed")
    sys.exit(1 if failures else 0)

def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")

def install(dist, work, branch):
    """A fresh work folder holding ZEPc and its companions, whose settings
    live in the registry branch named."""
    shutil.rmtree(work, ignore_errors=True)
    folder = os.path.join(work, "install")
    os.makedirs(folder)
    for name in ("ZEPc.exe", "Res.dll", "gogo.dll"):
        shutil.copy(os.path.join(dist, name), folder)
    open(os.path.join(folder, "Setting.ini"), "w").write(f"[SAVE]\r\nRegPos={branch}\r\n")
    def zepc(*args, language="en_US.UTF-8", quiet=True, environment=None):
        """The exit code; what ZEPc said is in zepc.stdout and zepc.stderr."""
        env = dict(os.environ, LC_ALL=language, **(environment or {}))
        ran = subprocess.run(["wine", os.path.join(folder, "ZEPc.exe"), *args,
                              *(["-q"] if quiet else [])], env=env,
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
        zepc.stdout = ran.stdout.decode("utf-8", "replace")
        zepc.stderr = ran.stderr.decode("utf-8", "replace")
        return ran.returncode
    return zepc

# What a stock Windows lacks: GStreamer's elements for these formats ranked
# out of the reach of Wine's DirectShow, which leaves the filters Windows has.
STOCK_WINDOWS = dict(line.strip().split("=", 1) for line in open(
    os.path.join(os.path.dirname(__file__), "..", "support", "stock-windows.env")) if "=" in line)
