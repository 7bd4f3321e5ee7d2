#!/usr/bin/python3
"""What a desktop asks of a window, and what it hears from a program.

  desktop.py ping WINDOW SECONDS   sends the EWMH ping (_NET_WM_PING) to the
      window five times a second, as a window manager does, and times each
      answer; prints the figures; fails if any ping waits more than 1 s
  desktop.py saver TIMEOUT         sets the X server's own screen saver to
      start after TIMEOUT seconds without input (0: never), and ends it now
  desktop.py saver                 prints the X server's screen saver
      timeout, whether the saver is on now, and whether DPMS is enabled
  desktop.py screensaver-service LOG  stands in for the desktop's
      screen-saver service on the session bus (org.freedesktop.ScreenSaver)
      and writes every Inhibit and UnInhibit to LOG, a line each, at once
  desktop.py sway-window PID       reads sway's tree (swaymsg -t get_tree)
      on standard input and prints the window of the process PID: its
      app_id, its title, and where its contents lie (x, y, width, height),
      a line each; fails if there is none
"""
import sys
import time

ANSWER_WITHIN = 1.0


def ping(window_id, seconds):
    from Xlib import X, display, protocol
    d = display.Display()
    root = d.screen().root
    window = d.create_resource_object('window', window_id)
    wm_protocols = d.intern_atom('WM_PROTOCOLS')
    net_wm_ping = d.intern_atom('_NET_WM_PING')
    # The answer comes back to the root window, as the window manager's does.
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    sent, answers = {}, {}
    stamp = 0x5EED0000  # not a time the window manager would use
    end = time.monotonic() + seconds
    next_ping = time.monotonic()
    while time.monotonic() < end or (len(answers) < len(sent)
                                     and time.monotonic() < end + ANSWER_WITHIN):
        now = time.monotonic()
        if now >= next_ping and now < end:
            stamp += 1
            event = protocol.event.ClientMessage(
                window=window, client_type=wm_protocols,
                data=(32, [net_wm_ping, stamp, window_id, 0, 0]))
            window.send_event(event, event_mask=X.NoEventMask)
            d.flush()
            sent[stamp] = now
            next_ping = now + 0.2
        while d.pending_events():
            e = d.next_event()
            if (e.type == X.ClientMessage and e.client_type == wm_protocols
                    and e.data[1][0] == net_wm_ping and e.data[1][1] in sent):
                answers.setdefault(e.data[1][1], time.monotonic() - sent[e.data[1][1]])
        time.sleep(0.002)
    late = [s for s in sent if answers.get(s, ANSWER_WITHIN + 1) > ANSWER_WITHIN]
    slowest = max(answers.values(), default=float('nan')) * 1000
    print(f'{len(sent)} pings, {len(answers)} answered, {len(late)} not within '
          f'{ANSWER_WITHIN:g} s; slowest answer {slowest:.1f} ms')
    return 0 if sent and not late else 1


def saver(timeout=None):
    from Xlib import X, display
    from Xlib.ext import screensaver
    d = display.Display()
    if timeout is not None:
        d.set_screen_saver(int(timeout), 0, X.DefaultBlanking, X.DefaultExposures)
        d.force_screen_saver(X.ScreenSaverReset)
        d.sync()
        return 0
    state = d.screen().root.screensaver_query_info().state
    dpms = d.dpms_info().state if d.has_extension('DPMS') else None
    print(f'timeout {d.get_screen_saver().timeout} '
          f'saver {"on" if state == screensaver.StateOn else "off"} '
          f'dpms {"none" if dpms is None else "enabled" if dpms else "disabled"}')
    return 0


def screensaver_service(log_path):
    import dbus
    import dbus.service
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib
    DBusGMainLoop(set_as_default=True)
    log = open(log_path, 'a', buffering=1)
    cookies = iter(range(1001, 2**31))

    class ScreenSaver(dbus.service.Object):
        @dbus.service.method('org.freedesktop.ScreenSaver', in_signature='ss',
                             out_signature='u', sender_keyword='sender')
        def Inhibit(self, application, reason, sender=None):
            cookie = next(cookies)
            log.write(f'inhibit {cookie} {sender} {application!s}: {reason!s}\n')
            return cookie

        @dbus.service.method('org.freedesktop.ScreenSaver', in_signature='u',
                             sender_keyword='sender')
        def UnInhibit(self, cookie, sender=None):
            log.write(f'uninhibit {cookie} {sender}\n')

    bus = dbus.SessionBus()
    # The bus name and the objects last as long as these references, which
    # outlive the loop.
    name = dbus.service.BusName('org.freedesktop.ScreenSaver', bus)
    objects = [ScreenSaver(bus, path) for path in ('/org/freedesktop/ScreenSaver', '/ScreenSaver')]
    log.write('ready\n')
    GLib.MainLoop().run()


def sway_window(pid):
    import json
    nodes = [json.load(sys.stdin)]
    while nodes:
        node = nodes.pop()
        if node.get('pid') == pid:
            outer, inner = node['rect'], node['window_rect']
            print(node.get('app_id'), node.get('name'),
                  outer['x'] + inner['x'], outer['y'] + inner['y'], inner['width'], inner['height'], sep='\n')
            return 0
        nodes += node.get('nodes', []) + node.get('floating_nodes', [])
    return 1


if __name__ == '__main__':
    command, args = sys.argv[1], sys.argv[2:]
    if command == 'ping':
        sys.exit(ping(int(args[0], 0), float(args[1])))
    if command == 'saver':
        sys.exit(saver(*args))
    if command == 'screensaver-service':
        sys.exit(screensaver_service(args[0]))
    if command == 'sway-window':
        sys.exit(sway_window(int(args[0])))
    sys.exit(__doc__)
