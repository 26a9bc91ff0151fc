#!/usr/bin/python3
"""A JACK client pair around a plug-in running in jalv: one sends a sustain-pedal press into the
plug-in's MIDI input, the other records what the plug-in's MIDI output sends in the cycles after it.
usage: jalv_press.py PLUGIN-CLIENT-NAME SECONDS
Prints one line per event received, "cycle frame status data1 data2" in hexadecimal bytes, after a
line "press cycle frame" for the press; exits 1 when the plug-in's ports never appear."""
import sys
import threading
import time

import jack

plugin, seconds = sys.argv[1], float(sys.argv[2])
sender = jack.Client("corvadel-press")
receiver = jack.Client("corvadel-record")
out_port = sender.midi_outports.register("out")
in_port = receiver.midi_inports.register("in")
press_frame = 100
state = {"cycle": 0, "press": None, "armed": False}
received = []
lock = threading.Lock()


@sender.set_process_callback
def send(frames):
    out_port.clear_buffer()
    if state["armed"] and state["press"] is None:
        out_port.write_midi_event(press_frame, bytes([0xB0, 64, 127]))
        state["press"] = (sender.last_frame_time, press_frame)


@receiver.set_process_callback
def record(frames):
    for offset, data in in_port.incoming_midi_events():
        with lock:
            received.append((receiver.last_frame_time, offset, bytes(data)))


with sender, receiver:
    deadline = time.time() + 20
    while time.time() < deadline:
        names = [p.name for p in sender.get_ports()]
        if plugin + ":in" in names and plugin + ":out" in names:
            break
        time.sleep(0.1)
    else:
        print("the plug-in's ports did not appear:", names)
        sys.exit(1)
    sender.connect(out_port, plugin + ":in")
    receiver.connect(plugin + ":out", in_port)
    # jalv registers its ports before it has loaded the state and started running: the press
    # waits until it has surely done both.
    time.sleep(2.0)
    state["armed"] = True
    time.sleep(seconds)
    print("press %d %d" % state["press"] if state["press"] else "press none")
    with lock:
        for cycle, offset, data in received:
            print("%d %d %s" % (cycle, offset, " ".join("%02x" % b for b in data)))
