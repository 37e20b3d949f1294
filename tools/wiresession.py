#!/usr/bin/env python3
"""A scripted network session with the real vexlo windows, every byte recorded.

  wiresession.py play BIN OUTDIR   plays the session with BIN/vexlo on the display
                                   in $DISPLAY and writes OUTDIR/wire.pcap and one
                                   file per connection and direction
  wiresession.py compare A B       compares two OUTDIRs byte for byte

Run through tools/wiresession.sh, which builds the clock shim, starts the virtual
display and runs both steps on two builds.

The session: Red hosts, Blue and Green join; chat lines and an action; a game of
two rounds of 30 seconds with accepted words, refused ones (not a word, and a word
that does not fit), passes; the host removes Green during the first round; the
winner. Then the host seats three computer players, removes one of them, and a
second game of two rounds is played by the computer players alone, to its winner.
Every step waits until its effect shows on the wire before the next key is
pressed, so the same build plays the same bytes on every run. At the end the
screen is saved as end.png; compare also counts the pixels that differ there.
"""
import os
import socket
import struct
import subprocess
import sys
import time

FF = b"\xff"


# ---------------------------------------------------------------- the recording

class Connection:
    def __init__(self, number, client):
        self.number = number
        self.client = client  # (address, port) of the connecting end
        self.isn = {}  # direction -> first sequence number of the data
        self.parts = {"c2s": {}, "s2c": {}}
        self.closed = False

    def data(self, direction):
        """The bytes of one direction, as far as they are contiguous."""
        out = bytearray()
        for offset in sorted(self.parts[direction]):
            chunk = self.parts[direction][offset]
            if offset > len(out):
                break
            out += chunk[len(out) - offset:]
        return bytes(out)

    def whole(self, direction):
        """Whether every byte captured in a direction joins up (no segment missing)."""
        parts = self.parts[direction]
        return not parts or max(o + len(c) for o, c in parts.items()) == len(self.data(direction))

    def messages(self, direction):
        """The whole messages (0xFF-terminated) of one direction, without terminators."""
        return self.data(direction).split(FF)[:-1]

    def name(self):
        for m in self.messages("c2s"):
            if m.startswith(b"CMD_logininfo+"):
                return m.split(b"+", 3)[3].decode("latin-1")
        return "unnamed"


def read_pcap(path, port):
    """The TCP connections to PORT in a pcap file, in the order they opened."""
    try:
        with open(path, "rb") as f:
            blob = f.read()
    except FileNotFoundError:
        return []
    if len(blob) < 24:
        return []
    magic = struct.unpack("<I", blob[:4])[0]
    endian = "<" if magic in (0xA1B2C3D4, 0xA1B23C4D) else ">"
    linktype = struct.unpack(endian + "I", blob[20:24])[0]
    skip = {1: 14, 113: 16, 276: 20, 0: 4, 101: 0}.get(linktype)
    if skip is None:
        raise SystemExit(f"wiresession: pcap link type {linktype} not understood")
    conns, byclient = [], {}
    pos = 24
    while pos + 16 <= len(blob):
        incl = struct.unpack(endian + "I", blob[pos + 8:pos + 12])[0]
        if pos + 16 + incl > len(blob):
            break  # the record is still being written
        frame = blob[pos + 16:pos + 16 + incl]
        pos += 16 + incl
        ip = frame[skip:]
        if len(ip) < 20 or ip[0] >> 4 != 4 or ip[9] != 6:
            continue
        ihl = (ip[0] & 15) * 4
        total = struct.unpack("!H", ip[2:4])[0]
        tcp = ip[ihl:total]
        sport, dport, seq = struct.unpack("!HHI", tcp[:8])
        flags = tcp[13]
        payload = tcp[(tcp[12] >> 4) * 4:]
        src, dst = (ip[12:16], sport), (ip[16:20], dport)
        if dport == port:
            client, direction = src, "c2s"
        elif sport == port:
            client, direction = dst, "s2c"
        else:
            continue
        syn, fin, rst = flags & 2, flags & 1, flags & 4
        if syn and direction == "c2s" and not flags & 16:
            c = Connection(len(conns) + 1, client)
            conns.append(c)
            byclient[client] = c
        c = byclient.get(client)
        if c is None:
            continue
        if syn:
            c.isn[direction] = (seq + 1) & 0xFFFFFFFF
            continue
        if fin or rst:
            c.closed = True
        if payload and direction in c.isn:
            offset = (seq - c.isn[direction]) & 0xFFFFFFFF
            c.parts[direction].setdefault(offset, payload)
    return conns


def labels(conns):
    """One file name stem per connection: its order and its player's name."""
    out, seen = [], {}
    for c in conns:
        n = c.name().replace(" ", "_").replace("(", "").replace(")", "")
        seen[n] = seen.get(n, 0) + 1
        out.append(f"{c.number:02d}-{n}" + (f"-{seen[n]}" if seen[n] > 1 else ""))
    return out


# ---------------------------------------------------------------- the windows

class Session:
    def __init__(self, bindir, outdir):
        self.bin = os.path.join(bindir, "vexlo")
        self.out = outdir
        self.pcap = os.path.join(outdir, "wire.pcap")
        self.port = free_port()
        self.procs = {}
        self.windows = {}
        self.words = load_words()
        self.wordset = set(self.words)
        self.step = 0

    # --- the wire
    def conns(self):
        return read_pcap(self.pcap, self.port)

    def conn(self, name):
        found = [c for c in self.conns() if c.name() == name]
        return found[-1] if found else None

    def got(self, name, prefix):
        """The messages to NAME that start with PREFIX."""
        c = self.conn(name)
        return [m for m in c.messages("s2c") if m.startswith(prefix)] if c else []

    def wait(self, what, done, timeout=30.0):
        self.step += 1
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if done():
                print(f"  {self.step:3d} {what}", flush=True)
                return
            time.sleep(0.1)
        self.shot(f"failed-{self.step}")
        raise SystemExit(f"wiresession: step {self.step} did not show on the wire: {what}")

    def wait_count(self, name, prefix, count, what, timeout=30.0):
        self.wait(what, lambda: len(self.got(name, prefix)) >= count, timeout)

    def wait_heard(self, name, text, what):
        self.wait(what, lambda: any(text in m for m in self.conn(name).messages("s2c")))

    # --- the programs
    def start(self, name, args, x, y):
        home = os.path.join(self.out, "home-" + name)
        os.makedirs(os.path.join(home, "run"), mode=0o700, exist_ok=True)
        if name == "Red":
            # Two rounds of 30 seconds: the game options the host's window starts with.
            with open(os.path.join(home, "quorbitlobby.ini"), "w") as f:
                f.write("[Vexlo]\nPlaytoscore=2\nTimeperturn=30\nBotspeed=500\n")
        env = dict(os.environ, VEXLO_HOME=home, XDG_RUNTIME_DIR=os.path.join(home, "run"),
                   VEXLO_PORT=str(self.port))
        env.pop("VEXLO_SECOND_MS", None)
        # The clock shim pins the time of day and the random bytes that seed the game.
        env["LD_PRELOAD"] = os.environ["WIRESESSION_SHIM"]
        env["QT_HASH_SEED"] = "0"  # hashes in the same order on every run
        env["WIRECLOCK_MS"] = os.environ.get("WIRECLOCK_MS", "1796731200000")
        log = open(os.path.join(self.out, f"{name}.log"), "w")
        p = subprocess.Popen([self.bin] + args, env=env, stdout=log, stderr=subprocess.STDOUT)
        self.procs[name] = p
        wid = xdo("search", "--sync", "--onlyvisible", "--all", "--pid", str(p.pid),
                  "--name", "^Vexlo($| —)").split()[0]
        self.windows[name] = wid
        xdo("windowmove", wid, str(x), str(y))
        time.sleep(0.5)

    def point(self, name, x, y):
        """Puts the pointer at a point of a window and gives the window the keys
        (with no window manager, a click elsewhere may have kept them)."""
        xdo("windowfocus", "--sync", self.windows[name])
        xdo("mousemove", "--window", self.windows[name], str(x), str(y))
        time.sleep(0.2)

    def click(self, name, x, y, button=1):
        self.point(name, x, y)
        xdo("click", str(button))
        time.sleep(0.3)

    def keys(self, *keys):
        xdo("key", "--delay", "60", *keys)

    def type(self, text):
        xdo("type", "--delay", "40", text)

    def chat(self, name, text):
        self.click(name, 400, 536)  # the chat entry
        self.type(text)
        self.keys("Return")

    def start_game(self):
        # START GAME, then START GAME in the game options: the values shown.
        self.click("Red", 128, 365)
        dialog = xdo("search", "--sync", "--onlyvisible", "--name", "^Vexlo - Game Start$").split()[0]
        time.sleep(0.3)
        xdo("mousemove", "--window", dialog, "150", "172", "click", "1")

    def board(self, name):
        self.point(name, 388, 160)  # over the board, which holds the keys in a round

    def shot(self, tag):
        subprocess.run(["import", "-window", "root", os.path.join(self.out, f"{tag}.png")],
                       check=False)

    def stop(self):
        for p in self.procs.values():
            if p.poll() is None:
                p.terminate()
        for p in self.procs.values():
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()

    # --- the words
    def pattern(self, name):
        """The pattern of NAME's current word, from what the server told NAME."""
        last = None
        for m in self.conn(name).messages("s2c"):
            f = m.split(b"+")
            if f[0] == b"CMD_nextplayer" and len(f) >= 4:
                last = f[3].decode("latin-1")
            elif f[0] == b"CMD_newword" and len(f) >= 5:
                last = f[4].decode("latin-1")
            elif f[0] == b"CMD_startround":
                last = None
        return last

    def word_for(self, pattern):
        return next(w for w in self.words if fits(w, pattern))

    def nonword_for(self, pattern):
        for filler in "zqxjvk":
            w = "".join(filler if c == "_" else c.lower() for c in pattern)
            if w not in self.wordset:
                return w
        raise SystemExit("wiresession: no non-word for " + pattern)

    def misfit_for(self, pattern):
        return next(w for w in self.words if not fits(w, pattern))

    # Each play waits for the server's answer to it on the player's connection.
    def play_word(self, name, word, answer, what):
        before = len(self.got(name, answer))
        self.board(name)
        self.type(word)
        self.keys("Return")
        self.wait_count(name, answer, before + 1, f"{name}: {what} {word!r}")

    def accepted(self, name):
        w = self.word_for(self.pattern(name))
        before = len(self.got(name, b"CMD_newword")) + len(self.got(name, b"CMD_allfilled"))
        self.board(name)
        self.type(w)
        self.keys("Return")
        self.wait(f"{name}: accepted {w!r}",
                  lambda: len(self.got(name, b"CMD_newword")) + len(self.got(name, b"CMD_allfilled")) > before)

    def refused(self, name, word, reason):
        seat = self.got(name, b"CMD_sendlogininfo+")[0].split(b"+")[1]
        self.play_word(name, word, b"CMD_invalid+" + seat + b"+" + reason,
                       "refused (not a word)" if reason == b"2" else "refused (does not fit)")

    def passed(self, name):
        before = len(self.got(name, b"CMD_newword"))
        self.board(name)
        self.keys("1")
        self.wait_count(name, b"CMD_newword", before + 1, f"{name}: pass")

    # ------------------------------------------------------------ the session
    def play(self):
        tcpdump = subprocess.Popen(["tcpdump", "-i", "lo", "-U", "-s", "0", "-w", self.pcap,
                                    f"tcp port {self.port}"], stderr=subprocess.PIPE)
        # tcpdump says "listening on lo" once it captures.
        while b"listening on" not in tcpdump.stderr.readline():
            if tcpdump.poll() is not None:
                raise SystemExit("wiresession: tcpdump did not start")
        try:
            self.session()
        finally:
            self.stop()
            time.sleep(1)
            tcpdump.terminate()
            # Its last words count the packets it captured and any the kernel dropped.
            said = tcpdump.communicate()[1].decode(errors="replace")
            with open(os.path.join(self.out, "tcpdump.txt"), "w") as f:
                f.write(said)
        self.save()
        dropped = [line for line in said.splitlines() if "dropped" in line and not line.startswith("0 ")]
        if dropped:
            raise SystemExit("wiresession: tcpdump lost packets: " + "; ".join(dropped))

    def session(self):
        print(f"wiresession: {self.bin} on port {self.port}", flush=True)
        self.start("Red", ["Red", "127.0.0.1", "true"], 0, 0)
        self.wait("Red hosts and logs in", lambda: self.conn("Red") is not None)
        self.start("Blue", ["Blue", "127.0.0.1", "false"], 800, 0)
        self.wait_count("Red", b"CMD_newplayerinfo+2+Blue", 1, "Blue joins")
        self.start("Green", ["Green", "127.0.0.1", "false"], 800, 600)
        self.wait_count("Red", b"CMD_newplayerinfo+3+Green", 1, "Green joins")
        self.wait_count("Blue", b"CMD_newplayerinfo+3+Green", 1, "Blue hears of Green")

        # Chat: a line from each, an action from the host.
        self.chat("Blue", "hello everybody")
        self.wait_heard("Green", b"hello everybody", "Blue chats")
        self.chat("Red", "/me deals the tiles")
        self.wait_heard("Green", b"deals the tiles", "Red acts")
        self.chat("Green", "good luck")
        self.wait_heard("Red", b"good luck", "Green chats")

        # The game: two rounds of 30 seconds.
        self.start_game()
        self.wait_count("Blue", b"CMD_startround+1", 1, "round 1 starts")
        for name in ("Red", "Blue", "Green"):
            self.wait(f"{name} has a word", lambda n=name: self.pattern(n) is not None)

        self.accepted("Blue")
        self.refused("Red", self.nonword_for(self.pattern("Red")), b"2")
        self.board("Red")
        self.keys("0")  # clears the word (no message)
        self.refused("Red", self.misfit_for(self.pattern("Red")), b"1")
        self.accepted("Red")
        self.passed("Blue")
        self.accepted("Green")
        # The host removes Green (the third seat) through the seat's pop-up.
        self.click("Red", 40, 439, button=3)
        self.keys("r")
        self.wait_count("Red", b"CMD_playerdisconnected+3+Green", 1, "the host removes Green")
        self.wait("Green's connection closes", lambda: self.conn("Green").closed)
        self.accepted("Red")
        self.passed("Red")
        self.accepted("Red")
        self.wait_count("Red", b"CMD_postscores", 1, "round 1 is scored", timeout=60)

        self.wait_count("Blue", b"CMD_startround+2", 1, "round 2 starts", timeout=60)
        self.wait("Red has a word", lambda: self.pattern("Red") is not None)
        self.wait("Blue has a word", lambda: self.pattern("Blue") is not None)
        self.accepted("Red")
        self.refused("Blue", self.nonword_for(self.pattern("Blue")), b"2")
        self.board("Blue")
        self.keys("BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace")
        self.accepted("Blue")
        self.passed("Red")
        self.accepted("Red")
        self.wait_count("Red", b"CMD_winner", 1, "the winner", timeout=90)
        self.chat("Blue", "well played")
        self.wait_heard("Red", b"well played", "Blue chats")

        # Computer players: three seated by the host, one removed, a game of their own.
        for n in range(3):
            self.click("Red", 20, 9)  # File
            self.keys("a")  # Add Computer Player
            self.wait(f"computer player {n + 1} logs in",
                      lambda k=n: sum(1 for c in self.conns() if c.name().endswith("(bot)")) == k + 1)
            self.wait(f"Blue hears of computer player {n + 1}",
                      lambda k=n: sum(b"(bot)" in m for m in self.got("Blue", b"CMD_newplayerinfo")) == k + 1)
        self.click("Red", 40, 461, button=3)  # the fourth seat
        self.keys("r")
        self.wait_count("Blue", b"CMD_playerdisconnected+4", 1, "the host removes the fourth seat")
        self.start_game()
        self.wait_count("Blue", b"CMD_startround+1", 2, "the computer players' game starts")
        self.wait_count("Blue", b"CMD_winner", 2, "the computer players' winner", timeout=300)
        self.shot("end")

    def save(self):
        conns = self.conns()
        with open(os.path.join(self.out, "summary.txt"), "w") as f:
            for c, stem in zip(conns, labels(conns)):
                for d in ("c2s", "s2c"):
                    data = c.data(d)
                    with open(os.path.join(self.out, f"{stem}.{d}"), "wb") as g:
                        g.write(data)
                    line = f"{stem}.{d} {len(data)} bytes, {len(c.messages(d))} messages"
                    if not c.whole(d):
                        line += " (A SEGMENT IS MISSING: the rest is cut off)"
                    print(line)
                    f.write(line + "\n")


# ---------------------------------------------------------------- comparing

def compare(a, b):
    def files(d):
        return sorted(n for n in os.listdir(d) if n.endswith((".c2s", ".s2c")))
    fa, fb = files(a), files(b)
    same = fa == fb
    if not same:
        print(f"connections differ:\n  {a}: {fa}\n  {b}: {fb}")
    total = 0
    for n in sorted(set(fa) & set(fb)):
        x, y = open(os.path.join(a, n), "rb").read(), open(os.path.join(b, n), "rb").read()
        total += len(x)
        if x == y:
            print(f"  same      {n} ({len(x)} bytes)")
            continue
        same = False
        mx, my = x.split(FF), y.split(FF)
        i = next((i for i in range(min(len(mx), len(my))) if mx[i] != my[i]), min(len(mx), len(my)))
        print(f"  DIFFERENT {n} ({len(x)} / {len(y)} bytes), first at message {i + 1}:")
        for m in (mx, my):
            print("    " + b" | ".join(m[max(0, i - 2):i + 3]).decode("latin-1"))
    print(("identical" if same else "DIFFERENT") + f": {len(fa)} recordings, {total} bytes")
    # The windows at the end of the session, pixel by pixel (ImageMagick: pixels that differ).
    ea, eb = os.path.join(a, "end.png"), os.path.join(b, "end.png")
    if os.path.exists(ea) and os.path.exists(eb):
        ae = subprocess.run(["compare", "-metric", "AE", ea, eb, os.path.join(b, "end-diff.png")],
                            capture_output=True, text=True).stderr.strip()
        print(f"the windows at the end: AE {ae}")
        same = same and ae == "0"
    return 0 if same else 1


# ---------------------------------------------------------------- helpers

def xdo(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout


def free_port():
    # A port the system hands out; taken again at once by the host's server.
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def fits(word, pattern):
    return len(word) == len(pattern) and all(p == "_" or p.lower() == c for p, c in zip(pattern, word))


def load_words():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "..", "resources", "words", "dictionary.txt"), encoding="latin-1") as f:
        return [w for w in (line.strip().lower() for line in f) if len(w) == 5 and w.isalpha()]


def main(argv):
    if len(argv) == 4 and argv[1] == "play":
        os.makedirs(argv[3], exist_ok=True)
        Session(argv[2], argv[3]).play()
        return 0
    if len(argv) == 4 and argv[1] == "compare":
        return compare(argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
