#!/usr/bin/python3
"""Usage: check-packages.py PACKAGES WORK VERSION ACCEPTANCE-TESTS MEDIA
What a user downloads, proven by using it in a Wine prefix of the check's
own: the portable zip converts through ZEPc from its unpacked folder and
leaves that folder as it was; the installer, run silently, installs ZEP with
its shortcuts and uninstall key, its ZEP converts through the black-box
harness, its ZEPc converts and tells the version; a running program of the
installation holds a silent installer back;
the uninstaller removes all that and keeps the settings; an installer of a
lower version upgraded keeps the settings too."""
import os, shutil, subprocess, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "cli"))
from zepc_checks import check, report, winpath

packages, work, version, acceptance, media = sys.argv[1:6]
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
prefix = os.path.join(work, "prefix")
env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
           LC_ALL="en_US.UTF-8", WINEARCH=os.environ.get("WINEARCH", "win32"))
drive = os.path.join(prefix, "drive_c")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZEP"
SETTINGS = r"HKCU\Software\KARU\ZEP\data"

def wine(*args, timeout=300):
    ran = subprocess.run(["wine", *args], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                         timeout=timeout)
    return ran.returncode, ran.stdout.decode("utf-8", "replace").replace("\r", "")

def listing(folder):
    return sorted((os.path.relpath(os.path.join(d, f), folder),
                   os.stat(os.path.join(d, f)).st_size) for d, _, names in os.walk(folder)
                  for f in names)

def registry(key, value=None):
    rc, said = wine("reg", "query", key, *(["/v", value] if value else []))
    return said if rc == 0 else None

def host_path(windows_path):
    """Where a C: path of the prefix lies on the host."""
    return os.path.join(drive, *windows_path.strip()[3:].split("\\"))

def registry_value(key, value):
    said = registry(key, value) or ""
    return said.split("REG_SZ", 1)[1].strip() if "REG_SZ" in said else ""

def wait_until(condition, seconds=60):
    for _ in range(seconds * 4):
        if condition():
            return True
        time.sleep(0.25)
    return condition()

def converts(zepc_folder, what):
    """ZEPc of the folder: its version, a WAV to mp3 and a FLAC to flac elsewhere."""
    zepc = winpath(os.path.join(zepc_folder, "ZEPc.exe"))
    rc, said = wine(zepc, "--version")
    check(rc == 0 and said.strip() == f"ZEPc {version}", f"{what}: --version said {said!r}")
    for source, fmt in (("tone.wav", "mp3"), ("tone.flac", "flac")):
        output = os.path.join(work, f"{what}-{source}.{fmt}")
        rc, _ = wine(zepc, winpath(os.path.join(work, source)), "-f", fmt, "-o", winpath(output), "-q")
        check(rc == 0 and os.path.getsize(output) > 1000, f"{what}: {source} to {fmt}, exit code {rc}")

subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", os.path.join(work, "tone.wav"),
                "synth", "2", "sine", "440"], check=True)
subprocess.run(["sox", os.path.join(work, "tone.wav"), os.path.join(work, "tone.flac")], check=True)
wine("wineboot", "-i")

# The portable zip: converts from its folder and writes nothing there.
portable = os.path.join(work, "portable")
subprocess.run(["unzip", "-q", os.path.join(packages, f"ZEP-{version}-win32.zip"), "-d", portable],
               check=True)
unpacked = os.path.join(portable, f"ZEP-{version}-win32")
before = listing(unpacked)
check({"ZEP.exe", "ZEPc.exe", "Jotter.exe", "gogo.dll", "Res.dll", "zep.chm", "NOTICE.txt",
       "LICENSE.txt", "README.txt"} == {name for name, _ in before}, f"the zip holds {before}")
converts(unpacked, "portable")
check(listing(unpacked) == before, "a run from the unpacked folder changed it")

# An older version first, with settings of the user's; then this version over it.
menu = os.path.join(drive, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "ZEP")
older = os.path.join(work, "ZEP-1.0.0-setup.exe")
subprocess.run(["makensis", "-V1", "-INPUTCHARSET", "UTF8", "-DVERSION=1.0.0", f"-DDIST={unpacked}",
                f"-DICON={os.path.join(os.path.dirname(__file__), '..', '..', 'resources', 'ZEP.ico')}",
                f"-DOUTFILE={older}", os.path.join(os.path.dirname(__file__), "..", "..", "packaging",
                                                   "ZEP.nsi")], check=True, capture_output=True)
rc, _ = wine(older, "/S")
check(rc == 0 and "1.0.0" in (registry(UNINSTALL, "DisplayVersion") or ""), f"the older installer: {rc}")
wine("reg", "add", SETTINGS, "/v", "FlacLevel", "/t", "REG_DWORD", "/d", "7", "/f")
rc, _ = wine(os.path.join(packages, f"ZEP-{version}-setup.exe"), "/S")
check(rc == 0, f"the installer's exit code {rc}")
installed = host_path(registry_value(UNINSTALL, "InstallLocation") or "C:\\nowhere")
shown = registry(UNINSTALL) or ""
check(all(f in shown for f in (version, "The ZEP developers", "DisplayIcon", "EstimatedSize",
                               "UninstallString")), f"the uninstall key: {shown}")
check(sorted(os.listdir(menu)) == ["Uninstall ZEP.lnk", "ZEP Help.lnk", "ZEP.lnk"],
      f"the Start menu holds {os.listdir(menu) if os.path.isdir(menu) else 'nothing'}")
converts(installed, "installed")
# The black-box harness works the installed ZEP.exe (from the build's prefix).
installs = os.path.join(work, "installs", "en")
os.makedirs(installs)
os.symlink(installed, os.path.join(installs, "full"))
os.makedirs(os.path.join(work, "out", "en"))
harness = subprocess.run(
    [os.path.join(os.path.dirname(__file__), "..", "wine-run.sh"), acceptance,
     "--gtest_filter=UserJourney.AWavToMp3AndAFlacToFlac"], stdin=subprocess.DEVNULL,
    capture_output=True, timeout=300, env=dict(os.environ, ZEP_TEST_LANGUAGE="en",
    ZEP_ACCEPT_MEDIA=media, ZEP_ACCEPT_INSTALLS=os.path.dirname(installs),
    ZEP_ACCEPT_OUT=os.path.join(work, "out"), LC_ALL="en_US.UTF-8"))
check(harness.returncode == 0, "the harness on the installed ZEP.exe: " +
      harness.stdout.decode(errors="replace")[-600:])
made = [os.path.join(work, "out", "en", f"installed.{kind}") for kind in ("mp3", "flac")]
check(all(os.path.exists(f) and os.path.getsize(f) > 1000 for f in made),
      "the installed ZEP.exe made no mp3 and flac")
check("0x7" in (registry(SETTINGS, "FlacLevel") or ""), "the upgrade lost the settings")
check(registry(r"HKLM\Software\Classes\SystemFileAssociations\.flac\shell\ZEP\command") is not None,
      "no \"Convert with ZEP\" entry")

# Uninstall: the uninstaller's copy in the temporary folder runs on its own.
rc, _ = wine(os.path.join(installed, "Uninstall.exe"), "/S")
check(rc == 0 and wait_until(lambda: not os.path.exists(installed)),
      f"the installation folder stayed: {listing(installed) if os.path.exists(installed) else ''}")
check(not os.path.exists(menu), "the Start menu entries stayed")
check(registry(UNINSTALL) is None, "the uninstall key stayed")
check(registry(r"HKLM\Software\Classes\SystemFileAssociations\.flac\shell\ZEP") is None,
      "the context menu entry stayed")
check("0x7" in (registry(SETTINGS, "FlacLevel") or ""), "the uninstaller removed the settings")
# Only the uninstaller's copy in the temporary folder may stay, until the system clears it.
left = [os.path.join(d, f) for d, _, names in os.walk(drive) for f in names
        if f in ("ZEP.exe", "ZEPc.exe", "Uninstall.exe", "ZEP.lnk") and "\\temp\\" not in
        os.path.join(d, f).lower().replace("/", "\\")]
check(not left, f"the uninstaller left {left}")

# Per user: the user's programs folder, and the key under the user's branch.
rc, _ = wine(os.path.join(packages, f"ZEP-{version}-setup.exe"), "/S", "/CurrentUser")
user_key = UNINSTALL.replace("HKLM", "HKCU")
location = registry_value(user_key, "InstallLocation")
check(rc == 0 and location.endswith(r"\AppData\Local\Programs\ZEP") and
      os.path.exists(os.path.join(host_path(location), "ZEP.exe")) and registry(UNINSTALL) is None,
      f"a per-user install: {rc}, {location!r}")

# A program of the installation still running: a silent installer waits,
# then ends with exit code 3 and replaces nothing.
program = os.path.join(host_path(location), "Jotter.exe")
jotter = subprocess.Popen(["wine", program], env=env,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
running = wait_until(lambda: program.encode() in subprocess.run(["ps", "-eo", "args"],
                                                                capture_output=True).stdout, 60)
time.sleep(3)
before = listing(host_path(location))
rc, _ = wine(os.path.join(packages, f"ZEP-{version}-setup.exe"), "/S", "/CurrentUser")
check(running and rc == 3 and listing(host_path(location)) == before,
      f"with Jotter running the installer's exit code was {rc}")
jotter.kill()
subprocess.run(["wineserver", "-k"], env=env)
report("packages")
