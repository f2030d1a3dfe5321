#!/usr/bin/python3
"""TamoCove as assistive tools see it: on its own X display and session bus
with the accessibility bus on, the drawer, the recent-clips panel, the app
menu and the settings window are found and used through AT-SPI, as a screen
reader or a test robot finds them, and every control in them has a name.
Usage: accessible_tree.py <path to tamocove>; exit status 77 when a tool is
missing (scripts/deps test)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
for tool in ("Xvfb", "openbox", "trayer", "xdotool", "xclip", "dbus-daemon", "gdbus"):
    if not shutil.which(tool):
        print(f"accessible_tree: {tool} is missing (scripts/deps test)")
        sys.exit(SKIP)
try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
except (ImportError, ValueError):
    print("accessible_tree: python3-gi with gir1.2-atspi-2.0 is missing (scripts/deps test)")
    sys.exit(SKIP)

CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box", "slider", "spin button",
            "text", "entry", "password text", "menu item", "check menu item", "radio menu item", "page tab",
            "list item", "link", "list", "table", "tree", "tree table"}

work = tempfile.mkdtemp()
children = []


def start(argv, env, **kwargs):
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
    children.append(process)
    return process


def fail(message):
    print("accessible_tree: " + message)
    sys.exit(1)


def wait_for(what, probe, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def states(node):
    return node.get_state_set()


def showing(node):
    return states(node).contains(Atspi.StateType.SHOWING)


def walk(node, depth=0):
    """Every shown node under `node`, itself first."""
    if node is None or (depth > 0 and not showing(node)):
        return
    yield node
    for i in range(node.get_child_count()):
        yield from walk(node.get_child_at_index(i), depth + 1)


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "TamoCove":
            return app
    return None


def window(role, name):
    app = application()
    for i in range(app.get_child_count() if app else 0):
        child = app.get_child_at_index(i)
        if child is not None and child.get_role_name() == role and child.get_name() == name and showing(child):
            return child
    return None


def find(root, role, name):
    for node in walk(root):
        if node.get_role_name() == role and node.get_name() == name:
            return node
    return None


def unnamed(root):
    found = []
    for node in walk(root):
        role = node.get_role_name()
        focusable = states(node).contains(Atspi.StateType.FOCUSABLE)
        if (role in CONTROLS or (focusable and role != "scroll bar")) and not (node.get_name() or "").strip():
            found.append(role)
    return found


def click(node, env, button=1):
    box = node.get_extents(Atspi.CoordType.SCREEN)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2),
                    "click", str(button)], env=env, check=True)


def hold(keys, env):
    # As a person presses a chord: held for a moment, not tapped.
    subprocess.run(["xdotool", "keydown", keys], env=env, check=True)
    time.sleep(0.15)
    subprocess.run(["xdotool", "keyup", keys], env=env, check=True)


def expect_named(root, what):
    missing = unnamed(root)
    if missing:
        fail(f"{what} has controls without a name: {', '.join(missing)}")


try:
    reading, writing = os.pipe()
    children.append(subprocess.Popen(["Xvfb", "-displayfd", str(writing), "-screen", "0", "1280x800x24",
                                      "-nolisten", "tcp"], pass_fds=(writing,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL))
    os.close(writing)
    with os.fdopen(reading) as announced:
        display = announced.readline().strip()
    if not display:
        fail("the X server did not start")
    home = os.path.join(work, "home")
    os.makedirs(os.path.join(home, "config", "TamoCove"))
    os.makedirs(os.path.join(home, "run"), mode=0o700)
    # A returning user: no first-run window takes the keys the test presses.
    with open(os.path.join(home, "config", "TamoCove", "defaults.json"), "w") as defaults:
        defaults.write('{"personalizeShown": true, "whatsNewShown": "1.74"}')
    env = {"PATH": os.environ["PATH"], "HOME": home, "DISPLAY": ":" + display,
           "XDG_RUNTIME_DIR": os.path.join(home, "run"), "XDG_DATA_HOME": os.path.join(home, "data"),
           "XDG_CONFIG_HOME": os.path.join(home, "config"), "XDG_CACHE_HOME": os.path.join(home, "cache"),
           "QT_QPA_PLATFORM": "xcb"}
    bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"], env=env,
                         capture_output=True, text=True, check=True).stdout.split()
    env["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
    bus_pid = int(bus[1])
    subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path", "/org/a11y/bus",
                    "--method", "org.freedesktop.DBus.Properties.Set", "org.a11y.Status", "IsEnabled", "<true>"],
                   env=env, check=True, stdout=subprocess.DEVNULL)
    os.environ.update(env)  # this process's AT-SPI client joins the same bus

    def tray_panel():
        trayer = subprocess.run(["xdotool", "search", "--class", "trayer"], env=env, capture_output=True,
                                text=True).stdout
        return next((w for w in trayer.split() if subprocess.run(["xdotool", "getwindowname", w], env=env,
                                                                 capture_output=True, text=True).stdout.strip()
                     == "panel"), None)

    def window_manager():
        # Answers only once a window manager publishes the desktops.
        return subprocess.run(["xdotool", "get_desktop"], env=env, capture_output=True).returncode == 0

    # The desktop is up, as after a log-in, before TamoCove starts: a loaded machine is slow to bring it.
    start(["openbox"], env)
    wait_for("the window manager", window_manager)
    trayer = start(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"], env)
    panel = wait_for("the tray", lambda: tray_panel() or (trayer.poll() is not None and fail(
        f"trayer exited with status {trayer.returncode}")))
    app = start([sys.argv[1]], env)
    Atspi.init()
    wait_for("TamoCove on the accessibility bus", application)
    subprocess.run(["xclip", "-selection", "clipboard"], input=b"seen by a screen reader", env=env, check=True)

    # The drawer, opened by its shortcut; its cards are named by what they show.
    time.sleep(1)
    hold("ctrl+shift+v", env)
    drawer = wait_for("the drawer", lambda: window("frame", "TamoCove"))
    wait_for("the copied clip's card", lambda: next((n for n in walk(drawer) if n.get_role_name() == "list item"
                                                     and "seen by a screen reader" in n.get_name()), None))
    expect_named(drawer, "the drawer")
    hold("Escape", env)
    wait_for("the drawer to hide", lambda: not window("frame", "TamoCove"))

    # The recent-clips panel, from the tray icon; its menu button opens the app menu.
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", panel], env=env, capture_output=True,
                              text=True).stdout
    box = dict(line.split("=") for line in geometry.split())
    subprocess.run(["xdotool", "mousemove", str(int(box["X"]) + int(box["WIDTH"]) // 2),
                    str(int(box["Y"]) + int(box["HEIGHT"]) // 2), "click", "1"], env=env, check=True)
    recent = wait_for("the recent-clips panel", lambda: window("frame", "Recent Clips"))
    expect_named(recent, "the recent-clips panel")
    click(wait_for("the menu button", lambda: find(recent, "push button", "TamoCove Menu")), env)

    # The app menu: a pop-up, yet among the app's windows, its rows named by their titles.
    menu = wait_for("the app menu", lambda: next((n for n in walk(application()) if n.get_role_name() == "popup menu"),
                                                 None))
    settings = wait_for("its Settings… row", lambda: find(menu, "menu item", "Settings…"))
    expect_named(menu, "the app menu")
    click(settings, env)
    preferences = wait_for("the settings window", lambda: window("frame", "General"))
    expect_named(preferences, "the settings window")
    print("accessible_tree: every window found and named")
finally:
    for process in reversed(children):
        process.kill()
        process.wait()
    if "bus_pid" in globals():
        try:
            os.kill(bus_pid, 15)
        except ProcessLookupError:
            pass
    shutil.rmtree(work, ignore_errors=True)
