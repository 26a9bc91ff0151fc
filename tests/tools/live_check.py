#!/usr/bin/python3
"""corvadel-live under a JACK server of this test's own (the dummy backend): one client sends
messages at known frames into midi_in, another records midi_out with each event's frame. The
program connects them itself (--connect-in, --connect-out). Run under an X server (xvfb-run) for the
window's case. usage: live_check.py CORVADEL-LIVE"""
import ctypes, os, shutil, signal, struct, subprocess, sys, tempfile, threading, time

if shutil.which("jackd") is None:
    print("SKIPPED: jackd is not installed (jackd2)")
    sys.exit(0)
import jack  # python3-jack-client: a missing binding fails the test

program = os.path.abspath(sys.argv[1])
tmp = tempfile.mkdtemp(prefix="corvadel-live.")
os.environ.update(JACK_DEFAULT_SERVER="corvadel-live-%d" % os.getpid(), JACK_NO_AUDIO_RESERVATION="1")
failures = []

def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)

def on(ch, note, vel=100): return bytes([0x8F + ch, note, vel])
def off(ch, note): return bytes([0x7F + ch, note, 0])
def cc(n, v): return bytes([0xB0, n, v])
PRESS, RELEASE = cc(64, 127), cc(64, 0)
C, AM, F = [60, 64, 67], [57, 60, 64], [53, 57, 60]
CHART = "[C4 E4 G4] [A3 C4 E4] [F3 A3 C4]"

class Rig:
    """The sender sends one batch of (frame, bytes) a cycle; the recorder keeps (absolute frame, bytes)."""
    def __init__(self):
        self.lock = threading.Lock()
        self.batches, self.sent, self.received = [], [], []
        self.sender, self.recorder = jack.Client("live-send"), jack.Client("live-record")
        self.out = self.sender.midi_outports.register("out")
        self.inp = self.recorder.midi_inports.register("in")
        self.sender.set_process_callback(self.send)
        self.recorder.set_process_callback(self.record)
        self.sender.activate(); self.recorder.activate()

    def send(self, frames):
        self.out.clear_buffer()
        with self.lock:
            if self.batches:
                batch = self.batches.pop(0)
                for frame, data in batch:
                    self.out.write_midi_event(frame, data)
                self.sent.append(self.sender.last_frame_time)

    def record(self, frames):
        for offset, data in self.inp.incoming_midi_events():
            with self.lock:
                self.received.append((self.recorder.last_frame_time + offset, bytes(data)))

    def play(self, batches):
        """Sends the batches in consecutive cycles; the events received, frames made relative to
        the first batch's cycle."""
        with self.lock:
            self.sent, self.received, self.batches = [], [], list(batches)
        time.sleep(0.3 + 0.01 * len(batches))
        with self.lock:
            start = self.sent[0]
            return [(frame - start, data) for frame, data in self.received], [f - start for f in self.sent]

class XDisplay:
    """The test's own X connection: held open, it keeps the server's atoms; it closes a window as a
    window manager does (WM_DELETE_WINDOW)."""
    def __init__(self):
        x = self.x = ctypes.cdll.LoadLibrary("libX11.so.6")
        vp, ul = ctypes.c_void_p, ctypes.c_ulong
        x.XOpenDisplay.restype, x.XDefaultRootWindow.restype, x.XInternAtom.restype = vp, ul, ul
        x.XDefaultRootWindow.argtypes, x.XFlush.argtypes = [vp], [vp]
        x.XInternAtom.argtypes = [vp, ctypes.c_char_p, ctypes.c_int]
        x.XQueryTree.argtypes = [vp, ul, ctypes.POINTER(ul), ctypes.POINTER(ul), ctypes.POINTER(ctypes.POINTER(ul)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWMName.argtypes = [vp, ul, vp]
        x.XSendEvent.argtypes = [vp, ul, ctypes.c_int, ctypes.c_long, vp]
        self.d = x.XOpenDisplay(None)
        self.protocols, self.delete = (x.XInternAtom(self.d, a, 0) for a in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW"))

    def close(self, title):
        ul = ctypes.c_ulong
        root, parent, children, count = ul(), ul(), ctypes.POINTER(ul)(), ctypes.c_uint()
        self.x.XQueryTree(self.d, self.x.XDefaultRootWindow(self.d), root, parent, children, count)
        for window in children[:count.value]:
            name = (ctypes.c_char_p * 4)()  # XTextProperty: value, encoding, format, nitems
            if self.x.XGetWMName(self.d, window, name) and name[0] == title:
                # XClientMessageEvent: type 33, serial, send_event, display, window, message_type, format, data.
                event = (ctypes.c_ulong * 24)(33, 0, 0, 0, window, self.protocols, 32, self.delete)
                self.x.XSendEvent(self.d, window, 0, 0, event)
                self.x.XFlush(self.d)
                return True
        return False

def start_live(args, grid, window=False):
    proc = subprocess.Popen([program] + ([] if window else ["--no-window"]) + ["--grid", grid, "--connect-in", "live-send",
                             "--connect-out", "live-record"] + args, cwd=tmp, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    deadline = time.time() + 10
    while time.time() < deadline and proc.poll() is None:
        names = [p.name for p in rig.sender.get_all_connections(rig.out)]
        if any(n.endswith(":midi_in") for n in names) and rig.recorder.get_all_connections(rig.inp):
            return proc
        time.sleep(0.05)
    proc.kill()
    raise SystemExit("FAIL: corvadel-live did not start and connect: " + proc.communicate()[1])

def stop_live(proc, sig=signal.SIGTERM):
    proc.send_signal(sig)
    out, err = proc.communicate(timeout=10)
    return proc.returncode, out, err

def chord(make, ch, notes, frame): return [(frame, make(ch, n)) for n in notes]

# name, options, batches sent (one a cycle), events expected (frame from the first batch's cycle)
SCENARIOS = [
    ("a press plays the first column at its frame, in its cycle; a release and a press the next",
     ["--chart", CHART], [[(100, PRESS)], [(10, RELEASE), (200, PRESS)]],
     lambda c: chord(on, 1, C, 100) + chord(off, 1, C, c + 200) + chord(on, 1, AM, c + 200)),
    ("--next-cc 66 --channel 2 --transpose +2: the pedal does nothing, controller 66 steps",
     ["--chart", CHART, "--next-cc", "66", "--channel", "2", "--transpose", "+2"],
     [[(5, PRESS), (50, cc(66, 127))]], lambda c: chord(on, 2, [n + 2 for n in C], 50)),
    ("--jump-by-program: program change 2 makes the press play the third column",
     ["--chart", CHART, "--jump-by-program"], [[(20, bytes([0xC0, 2])), (30, PRESS)]],
     lambda c: chord(on, 1, F, 30)),
    ("a CC 123 and notes are swallowed (the recorder's control: the row below)",
     ["--chart", CHART], [[(40, cc(123, 0)), (60, on(1, 70))]], lambda c: []),
    ("--pass-through: the CC 123 comes out at its frame",
     ["--chart", CHART, "--pass-through"], [[(40, cc(123, 0))]], lambda c: [(40, cc(123, 0))]),
]

jackd = subprocess.Popen(["timeout", "300", "jackd", "--no-realtime", "-d", "dummy", "-r", "48000", "-p", "256"],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    subprocess.run(["timeout", "20", "jack_wait", "-w", "-t", "20"], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    rig = Rig()
    for i, (name, args, batches, expected) in enumerate(SCENARIOS):
        proc = start_live(args, os.path.join(tmp, "row%d.state" % i))
        got, cycles = rig.play(batches)
        stop_live(proc)
        want = expected(cycles[1] if len(cycles) > 1 else None)
        check(got == want, name + ("" if got == want else ": got %r, want %r" % (got, want)))

    # Lifecycle, on one kept grid file.
    grid = os.path.join(tmp, "kept", "live.state")
    proc = start_live(["--chart", CHART], grid)
    rig.play([[(100, PRESS)]])
    with rig.lock:
        rig.received = []
    code, out, err = stop_live(proc)
    with rig.lock:
        ending = [data for _, data in rig.received]
    check(ending == [off(1, n) for n in C], "SIGTERM ends the sounding chord: %r" % ending)
    saved = open(grid, "rb").read()
    check(code == 0 and "saved" in out and struct.unpack("<ii", saved[:8]) == (3, 128),
          "SIGTERM exits 0 with the grid saved (exit %d, %r)" % (code, out.strip()))

    proc = start_live([], grid)
    got, _ = rig.play([[(7, PRESS)]])
    check(got == chord(on, 1, C, 7), "a restart plays the saved grid from its first column: %r" % got)
    rig.sender.blocksize = 1024  # as PipeWire changes it at will
    time.sleep(0.3)
    got, _ = rig.play([[(10, RELEASE), (900, PRESS)]])
    rig.sender.blocksize = 256
    check(got == chord(off, 1, C, 900) + chord(on, 1, AM, 900), "the server's cycle grows to 1024 frames: %r" % got)
    late = rig.recorder.midi_inports.register("late")
    time.sleep(0.5)
    check([p.name for p in rig.recorder.get_all_connections(late)] == ["corvadel:midi_out"],
          "a matching port that appears later is connected too")
    second = subprocess.run([program, "--no-window", "--grid", grid], capture_output=True, text=True, timeout=10)
    check(second.returncode == 1 and "locked" in second.stderr and second.stderr.count("\n") == 1,
          "a second program on the same grid refuses in one line: %r" % second.stderr)
    stop_live(proc)

    proc = start_live(["--chart", "[D4]"], grid)
    stop_live(proc)
    check(open(grid + ".prev", "rb").read() == saved and len(open(grid, "rb").read()) == 8 + 1024,
          "a grid from the command line replaces the kept one, which is kept as .prev")

    open(grid, "wb").write(b"no grid at all")
    proc = start_live([], grid)
    got, _ = rig.play([[(7, PRESS)]])
    code, out, err = stop_live(proc, signal.SIGINT)
    check(open(grid + ".bad", "rb").read() == b"no grid at all" and err.count("\n") == 1 and ".bad" in err
          and got == [] and len(open(grid, "rb").read()) == 8 + 2 * 1024 and code == 0,
          "a malformed file is set aside as .bad in one line; two empty columns play (%r)" % err)

    if os.environ.get("DISPLAY"):
        display = XDisplay()
        proc = start_live([], grid, window=True)
        # Asked again while the program runs: a request that comes before the framework watches
        # the window is lost, as a click on a window still being drawn would be.
        closed = False
        for _ in range(50):
            closed = display.close(b"Corvadel Live") or closed
            try:
                proc.wait(timeout=0.5 if closed else 0.1)
                break
            except subprocess.TimeoutExpired:
                pass
        code, out, _ = stop_live(proc) if proc.poll() is None else (proc.returncode, proc.stdout.read(), None)
        check(closed and code == 0 and "ended; the grid is saved" in out,
              "the window titled Corvadel Live, closed, ends the program: exit 0, the grid saved (%r)" % out)
    else:
        print("SKIPPED (the window's case): no DISPLAY")

    os.remove(grid)
    proc = start_live([], grid)
    rig.sender.close(); rig.recorder.close()
    jackd.send_signal(signal.SIGTERM)
    jackd.wait(timeout=10)
    out, err = proc.communicate(timeout=10)
    check(proc.returncode == 1 and "went away" in out and err == "" and os.path.getsize(grid) == 8 + 2 * 1024,
          "the server going away: exit 1, one line, the grid saved (%r)" % out.strip())
finally:
    if jackd.poll() is None:
        jackd.kill()
    jackd.wait()

alone = subprocess.run([program, "--no-window", "--grid", os.path.join(tmp, "x.state")], capture_output=True,
                       text=True, timeout=10)
check(alone.returncode == 1 and alone.stderr.count("\n") == 1 and "no JACK server" in alone.stderr
      and not os.path.exists(os.path.join(tmp, "x.state")), "no server: one line, exit 1: %r" % alone.stderr)

shutil.rmtree(tmp, ignore_errors=True)
print("FAIL: %d of the checks" % len(failures) if failures else "PASS")
sys.exit(1 if failures else 0)
