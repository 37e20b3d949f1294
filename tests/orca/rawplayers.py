#!/usr/bin/env python3
"""Seats raw players at a vexlo server and keeps them there until killed.
   rawplayers.py PORT NAME[:REQUEST] ...
REQUEST is a message sent before the login (e.g. "CMD_newtable+" or
"CMD_watch+1"); a player without one takes the place the server gives.
Prints "seated" once every player has logged in."""
import selectors
import socket
import sys
import time

FF = b"\xff"


def seat(port, spec):
    name, _, request = spec.partition(":")
    sock = socket.create_connection(("127.0.0.1", port), timeout=10)
    if request:
        sock.sendall(request.encode("latin-1") + FF)
    asked = not request
    buf = b""
    while True:
        data = sock.recv(4096)
        if not data:
            sys.exit(f"rawplayers: the server closed on {name}")
        buf += data
        *messages, buf = buf.split(FF)
        for m in messages:
            if m.startswith(b"CMD_seated+"):
                asked = True
            elif asked and m.startswith(b"CMD_sendlogininfo+"):
                slot = m[len(b"CMD_sendlogininfo+"):]
                sock.sendall(b"CMD_logininfo+" + slot + b"+1.0.3+" + name.encode("latin-1") + FF)
                sock.settimeout(None)
                return sock


port = int(sys.argv[1])
players = []
for spec in sys.argv[2:]:
    players.append(seat(port, spec))
    time.sleep(0.3)  # one at a time, in order
print("seated", flush=True)
# Reads (and drops) what the server sends, so its buffers never fill.
sel = selectors.DefaultSelector()
for player in players:
    sel.register(player, selectors.EVENT_READ)
while True:
    for key, _ in sel.select():
        if not key.fileobj.recv(65536):
            sys.exit("rawplayers: the server went away")
