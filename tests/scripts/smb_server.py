"""A private Samba server for the tests and the benchmark: smbd on 127.0.0.1 and a free high port,
with a generated configuration and its state under a temporary folder. Nothing else on the
network is ever asked: the server binds to 127.0.0.1 only and NetBIOS is off.

    with SambaServer(work, {"share": tree_path}) as srv:
        srv.url("share")          # smb://127.0.0.1:PORT/share
"""
import os
import pwd
import shutil
import signal
import socket
import subprocess
import time

SKIP = 77  # the exit status CTest reads as "skipped"


def find_smbd():
    for candidate in (shutil.which("smbd"), "/usr/sbin/smbd"):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    return None


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class SambaServer:
    def __init__(self, work, shares, denied=(), hidden=(), extra=""):
        """shares: name -> folder, open to guests; denied: names of shares no guest may open;
        hidden: names of shares whose name ends in "$"; extra: more configuration lines."""
        self.work = os.path.join(work, "samba")
        self.shares = dict(shares)
        self.denied = list(denied)
        self.hidden = list(hidden)
        self.extra = extra
        self.port = free_port()
        self.proc = None

    def url(self, share=""):
        return "smb://127.0.0.1:%d/%s" % (self.port, share)

    def _config(self):
        user = pwd.getpwuid(os.getuid()).pw_name
        dirs = {k: os.path.join(self.work, k) for k in
                ("lock", "state", "cache", "pid", "private", "ncalrpc", "empty")}
        for d in dirs.values():
            os.makedirs(d, exist_ok=True)
        lines = [
            "[global]",
            "  netbios name = ORVANETEST",
            "  workgroup = ORVANEWG",
            "  server role = standalone server",
            "  interfaces = 127.0.0.1",
            "  bind interfaces only = yes",
            "  smb ports = %d" % self.port,
            "  disable netbios = yes",
            "  lock directory = %s" % dirs["lock"],
            "  state directory = %s" % dirs["state"],
            "  cache directory = %s" % dirs["cache"],
            "  pid directory = %s" % dirs["pid"],
            "  private dir = %s" % dirs["private"],
            "  ncalrpc dir = %s" % dirs["ncalrpc"],
            "  log file = %s/log.%%m" % self.work,
            "  log level = 0",
            "  map to guest = Bad User",
            "  guest account = %s" % user,
            "  load printers = no",
            "  printing = bsd",
            "  printcap name = /dev/null",
            "  disable spoolss = yes",
            # DOS attributes from the Unix modes: read-only from the owner's write bit, archive
            # from the owner's execute bit, hidden for names that start with ".".
            "  map readonly = yes",
            "  map archive = yes",
            "  store dos attributes = no",
            "  hide dot files = yes",
        ]
        for name, path in self.shares.items():
            lines += ["[%s]" % name, "  path = %s" % path, "  guest ok = yes",
                      "  read only = yes", "  force user = %s" % user]
        for name in self.hidden:
            lines += ["[%s]" % name, "  path = %s" % dirs["empty"], "  guest ok = yes"]
        for name in self.denied:
            lines += ["[%s]" % name, "  path = %s" % dirs["empty"],
                      "  valid users = orvane-nobody-at-all"]
        conf = os.path.join(self.work, "smb.conf")
        with open(conf, "w") as f:
            f.write("\n".join(lines) + "\n" + self.extra)
        return conf

    def __enter__(self):
        smbd = find_smbd()
        if not smbd:
            raise RuntimeError("smbd is not installed")
        conf = self._config()
        log = open(os.path.join(self.work, "smbd.out"), "w")
        self.proc = subprocess.Popen(
            [smbd, "--foreground", "--no-process-group", "--configfile=" + conf,
             "--debug-stdout"], stdin=subprocess.PIPE, stdout=log, stderr=subprocess.STDOUT,
            start_new_session=True)
        # smbd in the foreground ends when its standard input closes: the pipe stays open while
        # this object lives, and closes by itself should the test die.
        deadline = time.time() + 30
        while time.time() < deadline:
            if self.proc.poll() is not None:
                log.flush()
                with open(log.name) as f:
                    raise RuntimeError("smbd ended at once: " + f.read()[-600:])
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=1):
                    return self
            except OSError:
                time.sleep(0.1)
        self.__exit__(None, None, None)
        raise RuntimeError("smbd did not start listening within 30 s")

    def _helpers(self):
        """The RPC helpers smbd started for this server: they leave its session, but name its
        configuration file on their command lines."""
        mark = ("--configfile=" + os.path.join(self.work, "smb.conf")).encode()
        pids = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    if mark in f.read().split(b"\0"):
                        pids.append(int(entry))
            except OSError:
                pass
        return pids

    def __exit__(self, *exc):
        if self.proc and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGTERM)
                self.proc.wait(timeout=10)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                try:
                    os.killpg(self.proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        for sig in (signal.SIGTERM, signal.SIGKILL):
            pids = self._helpers()
            for pid in pids:
                try:
                    os.kill(pid, sig)
                except ProcessLookupError:
                    pass
            deadline = time.time() + 5
            while pids and time.time() < deadline and self._helpers():
                time.sleep(0.1)
        return False
