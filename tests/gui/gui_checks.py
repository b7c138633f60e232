#!/usr/bin/env python3
"""The checks of the GUI tests: drives dirtree.exe under Wine with real key
and mouse events (xdotool on the Xvfb display that run_gui_tests.sh started)
and reads the window back with inspect.exe. Prints one line per check and a
final "N passed, N failed"; exits 1 on any failure.

Wine windows under Xvfb without a window manager take input only through the
virtual desktop window, which sits at 0,0 of the screen, so Windows screen
coordinates are X screen coordinates."""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "scripts", "wine-run")

MAIN_CAPTION = "Velquor_目录树生成器"
ABOUT_CAPTION = "Velquor目录树生成器 v1.0"
BROWSER_TITLE = "选择目录树的目标目录"
OUTER_SIZE = (516, 268)
SCREEN = (1366, 768)

# Name, window class, button type (style & 0xF) or None, rectangle in the
# client area's coordinates, text, enabled, check state (None: not a check).
EDIT, STATIC, BUTTON = "Edit", "Static", "Button"
PUSH, RADIO, GROUP = "push", "radio", "group"
CONTROLS = [
    ("标签1", STATIC, None, (8, 8, 64, 24), "目标目录：", True, None),
    ("编辑框1", EDIT, None, (80, 8, 392, 24), "", True, None),
    ("按钮1", BUTTON, PUSH, (476, 8, 29, 24), "...", True, None),
    ("标签2", STATIC, None, (8, 40, 64, 24), "保存路径：", True, None),
    ("编辑框2", EDIT, None, (80, 40, 392, 24), "", True, None),
    ("按钮2", BUTTON, PUSH, (476, 40, 29, 24), "...", True, None),
    ("分组框2", BUTTON, GROUP, (8, 72, 152, 48), "过滤", True, None),
    ("编辑框3", EDIT, None, (54, 88, 96, 24), "*", True, None),
    ("分组框4", BUTTON, GROUP, (168, 72, 232, 48), "深度", True, None),
    ("单选框5", BUTTON, RADIO, (192, 88, 48, 24), "无限", True, 1),
    ("单选框6", BUTTON, RADIO, (256, 88, 48, 24), "指定", True, 0),
    ("编辑框4", EDIT, None, (312, 88, 80, 24), "", False, None),
    ("分组框5", BUTTON, GROUP, (406, 72, 98, 48), "附加空白数", True, None),
    ("编辑框5", EDIT, None, (450, 90, 46, 24), "12", True, None),
    ("分组框1", BUTTON, GROUP, (8, 128, 240, 80), "附加", True, None),
    ("单选框1", BUTTON, RADIO, (16, 144, 80, 24), "文件大小", True, 1),
    ("单选框3", BUTTON, RADIO, (96, 144, 88, 24), "修改时间", True, 0),
    ("单选框0", BUTTON, RADIO, (192, 144, 32, 24), "空", True, 0),
    ("单选框2", BUTTON, RADIO, (16, 168, 80, 24), "创建时间", True, 0),
    ("单选框4", BUTTON, RADIO, (96, 168, 80, 24), "访问时间", True, 0),
    ("分组框3", BUTTON, GROUP, (256, 128, 144, 80), "文件大小样式", True, None),
    ("单选框7", BUTTON, RADIO, (264, 144, 80, 24), "字节", True, 1),
    ("单选框8", BUTTON, RADIO, (264, 168, 80, 24), "常规", True, 0),
    ("按钮3", BUTTON, PUSH, (408, 136, 96, 72), "开始", True, None),
]
BUTTON_TYPES = {PUSH: {0x0}, RADIO: {0x4, 0x9}, GROUP: {0x7}}  # BS_PUSHBUTTON, BS_(AUTO)RADIOBUTTON, BS_GROUPBOX
RECT_OF = {name: rect for name, _, _, rect, _, _, _ in CONTROLS}
# Stands for a control that is not where the table puts it.
MISSING = {"hwnd": None, "class": "", "text": None, "rect": None, "enabled": None, "visible": False,
           "checked": None, "selection": None, "style": "0x0"}


class Failure(Exception):
    """A check that cannot go on; the message says what was seen."""


class Report:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, name, ok, detail=""):
        if ok:
            self.passed += 1
            print(f"PASS: {name}", flush=True)
        else:
            self.failed += 1
            print(f"FAIL: {name}" + (f": {detail}" if detail else ""), flush=True)
        return ok

    def run(self, name, body):
        """Runs a group of checks; an exception fails it without ending the run."""
        try:
            body()
        except Failure as error:
            self.check(name, False, str(error))
        except subprocess.TimeoutExpired as error:
            self.check(name, False, f"timed out: {error}")
        except Exception as error:  # a fault of the harness: say where, go on
            self.check(name, False, "harness error: " + "".join(
                traceback.format_exception_only(error)).strip() + " at " +
                traceback.extract_tb(error.__traceback__)[-1].line)


def windows_path(unix_path):
    """The path on Wine's drive C: when it lies in the prefix's drive_c, so
    that it stays short however deep the build folder is; else on Z:."""
    unix_path = os.path.abspath(unix_path)
    prefix = os.environ.get("DIRTREE_WINEPREFIX")
    if prefix:
        drive_c = os.path.join(os.path.abspath(prefix), "drive_c")
        if unix_path.startswith(drive_c + os.sep):
            return "C:" + unix_path[len(drive_c):].replace("/", "\\")
    return "Z:" + unix_path.replace("/", "\\")


def short_folder(name):
    """A fresh folder in the prefix's drive C:, for paths whose length must
    not depend on where the build folder is."""
    folder = os.path.join(os.environ["DIRTREE_WINEPREFIX"], "drive_c", "dirtree-gui", name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def poll(read, accept, timeout, interval=0.1):
    """Reads until accept(value) or the time is up; the last value read."""
    deadline = time.monotonic() + timeout
    while True:
        value = read()
        if accept(value) or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Gui:
    def __init__(self, args):
        self.args = args
        self.desktop_window = None

    # --- Wine and the inspector -------------------------------------------

    def wine_command(self, program, *program_args):
        return [WINE_RUN, "--locale", self.args.locale, program, *program_args]

    def inspect(self, mode, *options, timeout=60):
        # Output goes to a file, not a pipe: a wineserver or desktop process
        # that this run happens to start would inherit a pipe and keep it open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(self.wine_command(self.args.inspect, mode, *options), stdout=out, stderr=err,
                                  stdin=subprocess.DEVNULL, timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            text = out.read().decode("utf-8", "replace").strip()
            errors = err.read().decode("utf-8", "replace")
        try:
            return code, json.loads(text) if text else {}
        except json.JSONDecodeError:
            raise Failure(f"inspector printed no JSON: {text[:200]!r} {errors[-300:]!r}")

    def find(self, wait=0.0, gone=False, **criteria):
        options = []
        for key in ("caption", "class", "text"):
            if criteria.get(key) is not None:
                options += [f"--{key}", criteria[key]]
        if wait:
            options += ["--wait", str(wait)]
        if gone:
            options.append("--gone")
        code, found = self.inspect("find", *options, timeout=wait + 60)
        return code == 0, found.get("windows", [])

    def window(self, caption=MAIN_CAPTION, wait=0.0):
        """The top-level window with this caption, its controls named where
        they sit at a rectangle of the control table."""
        _, windows = self.find(caption=caption, wait=wait)
        if not windows:
            return None
        window = windows[0]
        by_rect = {tuple(c["rect"]): c for c in window["controls"]}
        window["named"] = {name: by_rect.get(rect, MISSING) for name, rect in RECT_OF.items()}
        window["focus_name"] = next((name for name, c in window["named"].items()
                                     if c is not MISSING and c["hwnd"] == window["focus"]), None)
        return window

    def main(self, wait=0.0):
        window = self.window(wait=wait)
        if window is None:
            raise Failure("the main window is not there")
        return window

    def main_until(self, accept, timeout=5.0):
        """The main window once accept(window) holds, or as last seen."""
        return poll(lambda: self.main(), accept, timeout)

    # --- X input ----------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], check=True, timeout=30, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL)

    def focus_desktop(self):
        if self.desktop_window is None:
            found = poll(lambda: subprocess.run(["xdotool", "search", "--name", "Default - Wine desktop"],
                                                capture_output=True, text=True).stdout.split(),
                         bool, 20, 0.2)
            if not found:
                raise Failure("no Wine desktop window on the display")
            self.desktop_window = found[0]
        self.xdotool("windowfocus", "--sync", self.desktop_window)

    def keys(self, *keys):
        self.focus_desktop()
        self.xdotool("key", "--delay", "40", *keys)

    def click(self, window, name, button="1"):
        x, y, w, h = RECT_OF[name]
        cx, cy = window["client"][0], window["client"][1]
        self.focus_desktop()
        self.xdotool("mousemove", str(cx + x + w // 2), str(cy + y + h // 2), "click", button)

    def type_into(self, name, text):
        """Types text into the focused box with real key events and waits
        until the box shows it. Characters outside the keyboard map reach
        Wine through a keycode that xdotool remaps for the moment, and Wine
        sometimes reads that key before it has the new map: such a character
        is typed again until the box shows it."""
        expected = self.main()["named"][name]["text"]
        runs = []
        for ch in text:
            if ord(ch) < 128 and runs and runs[-1].isascii():
                runs[-1] += ch
            else:
                runs.append(ch)
        for run in runs:
            attempts = 1 if run.isascii() else 8
            expected += run
            for attempt in range(attempts):
                self.focus_desktop()
                self.xdotool("type", "--delay", "30" if run.isascii() else "120", run)
                seen = self.main_until(lambda w: w["named"][name]["text"] == expected)
                if seen["named"][name]["text"] == expected:
                    if attempt:
                        print(f"note: {run!r} reached {name} on attempt {attempt + 1}", flush=True)
                    break
            else:
                raise Failure(f"typing {text!r} into {name}: the box shows {seen['named'][name]['text']!r}")

    def clear_box(self, window, name):
        self.click(window, name)
        self.keys("End", "shift+Home", "BackSpace")
        seen = self.main_until(lambda w: w["named"][name]["text"] == "")
        if seen["named"][name]["text"] != "":
            raise Failure(f"cannot empty {name}: it shows {seen['named'][name]['text']!r}")

    def screenshot(self, window, path):
        x, y, w, h = window["outer"]
        subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path],
                       check=True, timeout=30, capture_output=True)


def describe(control):
    if control is MISSING:
        return "missing"
    return (f"{control['class']} {control['text']!r} at {control['rect']} enabled={control['enabled']} "
            f"visible={control['visible']} checked={control['checked']}")


# --- the checks -------------------------------------------------------------


def check_layout(gui, report):
    window = gui.main()
    report.check("caption", window["caption"] == MAIN_CAPTION, window["caption"])
    report.check("outer size 516 x 268", tuple(window["outer"][2:]) == OUTER_SIZE, f"got {window['outer'][2:]}")
    centred = ((SCREEN[0] - OUTER_SIZE[0]) // 2, (SCREEN[1] - OUTER_SIZE[1]) // 2)
    report.check("centred on the 1366 x 768 screen at 425, 250", tuple(window["outer"][:2]) == centred,
                 f"outer top-left {window['outer'][:2]}")
    report.check("client area holds 505 x 208", window["client"][2] >= 505 and window["client"][3] >= 208,
                 f"client {window['client'][2:]}")
    for name, cls, kind, rect, text, enabled, checked in CONTROLS:
        control = window["named"][name]
        problems = []
        if control is MISSING:
            problems.append(f"no control at {rect}")
        else:
            if control["class"].lower() != cls.lower():
                problems.append(f"class {control['class']}")
            if kind is not None and int(control["style"], 16) & 0xF not in BUTTON_TYPES[kind]:
                problems.append(f"style {control['style']} is not a {kind} button")
            if control["text"] != text:
                problems.append(f"text {control['text']!r}")
            if control["enabled"] != enabled:
                problems.append(f"enabled={control['enabled']}")
            if not control["visible"]:
                problems.append("hidden")
            if checked is not None and control["checked"] != checked:
                problems.append(f"checked={control['checked']}")
        report.check(f"{name} {text!r} at {rect[0]},{rect[1]} size {rect[2]}x{rect[3]}", not problems,
                     "; ".join(problems))
    known = {c["hwnd"] for c in window["named"].values() if c is not MISSING}
    extra = [describe(c) for c in window["controls"] if c["hwnd"] not in known and c["visible"]]
    report.check("no other visible controls", not extra, "; ".join(extra))
    report.check("focus in 编辑框1 at start", window["focus_name"] == "编辑框1",
                 f"focus on {window['focus_name'] or window['focus']}")


def expect_focus(gui, report, label, name):
    window = gui.main_until(lambda w: w["focus_name"] == name)
    report.check(label, window["focus_name"] == name, f"focus on {window['focus_name'] or window['focus']}")
    return window


def check_keyboard(gui, report):
    for step, name in enumerate(["按钮1", "编辑框2", "按钮2", "按钮3"], 1):
        gui.keys("Tab")
        expect_focus(gui, report, f"Tab {step} from 编辑框1 reaches {name}", name)

    window = gui.main()
    gui.click(window, "编辑框3")
    expect_focus(gui, report, "a click puts the focus in 编辑框3", "编辑框3")
    gui.keys("Tab")
    expect_focus(gui, report, "Tab from 编辑框3 passes over the disabled 编辑框4 to 单选框5", "单选框5")

    gui.keys("Down")
    window = gui.main_until(lambda w: w["named"]["单选框6"]["checked"] == 1 and w["named"]["编辑框4"]["enabled"])
    named = window["named"]
    report.check("Down on 单选框5 checks 单选框6, clears 单选框5, enables 编辑框4 and focuses 单选框6",
                 named["单选框6"]["checked"] == 1 and named["单选框5"]["checked"] == 0
                 and named["编辑框4"]["enabled"] and window["focus_name"] == "单选框6",
                 f"单选框5 {describe(named['单选框5'])}; 单选框6 {describe(named['单选框6'])}; "
                 f"编辑框4 {describe(named['编辑框4'])}; focus {window['focus_name']}")
    gui.keys("Down")
    window = gui.main_until(lambda w: w["named"]["单选框5"]["checked"] == 1 and not w["named"]["编辑框4"]["enabled"])
    named = window["named"]
    report.check("a second Down wraps back to 单选框5 and disables 编辑框4",
                 named["单选框5"]["checked"] == 1 and named["单选框6"]["checked"] == 0
                 and not named["编辑框4"]["enabled"] and window["focus_name"] == "单选框5",
                 f"单选框5 {describe(named['单选框5'])}; 单选框6 {describe(named['单选框6'])}; "
                 f"编辑框4 {describe(named['编辑框4'])}; focus {window['focus_name']}")

    gui.click(window, "编辑框1")
    expect_focus(gui, report, "a click puts the focus in 编辑框1", "编辑框1")
    gui.keys("shift+Tab")
    window = expect_focus(gui, report, "Shift+Tab from 编辑框1 reaches 单选框8", "单选框8")
    report.check("Shift+Tab leaves 单选框7 checked", window["named"]["单选框7"]["checked"] == 1,
                 describe(window["named"]["单选框7"]))

    gui.click(window, "编辑框5")
    expect_focus(gui, report, "a click puts the focus in 编辑框5", "编辑框5")
    gui.keys("End")
    gui.focus_desktop()
    gui.xdotool("type", "--delay", "40", "a1-b.2")
    window = gui.main_until(lambda w: w["named"]["编辑框5"]["text"] == "121-2")
    report.check("typing a1-b.2 into 编辑框5 adds 1-2", window["named"]["编辑框5"]["text"] == "121-2",
                 f"the box shows {window['named']['编辑框5']['text']!r}")
    gui.keys("BackSpace", "BackSpace", "BackSpace")
    window = gui.main_until(lambda w: w["named"]["编辑框5"]["text"] == "12")
    report.check("Backspace passes in 编辑框5", window["named"]["编辑框5"]["text"] == "12",
                 f"the box shows {window['named']['编辑框5']['text']!r}")


def check_screenshot(gui, report):
    window = gui.main()
    path = os.path.join(gui.args.out, "main_window.png")
    gui.screenshot(window, path)
    measured = subprocess.run(["identify", "-format", "%[fx:standard_deviation] %k", path],
                              capture_output=True, text=True, timeout=30).stdout.split()
    deviation, colours = (float(measured[0]), int(measured[1])) if len(measured) == 2 else (0.0, 0)
    report.check(f"screenshot {path} is not blank", deviation > 0.05 and colours > 8,
                 f"standard deviation {deviation}, {colours} colours")


def message_box(gui, caption, wait=10.0):
    """The box with this caption and the text of its static controls."""
    _, boxes = gui.find(caption=caption, wait=wait)
    if not boxes:
        return None, ""
    box = boxes[0]
    text = "\n".join(c["text"] for c in box["controls"] if c["class"].lower() == "static" and c["text"])
    return box, text


def close_box(gui, report, caption, label):
    """Closes the box with Enter, as a user would, and checks it goes."""
    gui.keys("Return")
    gone, _ = gui.find(caption=caption, wait=5, gone=True)
    report.check(f"Enter closes {label}", gone)
    if not gone:
        gui.inspect("press", "--caption", caption, "--id", "1")
        gui.find(caption=caption, wait=5, gone=True)


def check_about(gui, report):
    window = gui.main()
    gui.click(window, "编辑框1")
    expect_focus(gui, report, "focus in 编辑框1 before Ctrl+A", "编辑框1")
    gui.keys("ctrl+a")
    box, text = message_box(gui, ABOUT_CAPTION)
    report.check(f"Ctrl+A opens the About box {ABOUT_CAPTION!r}", box is not None)
    if box is None:
        return
    edit = gui.main()["named"]["编辑框1"]
    selected_nothing = bool(edit["text"]) and edit["selection"][0] == edit["selection"][1]
    report.check("Ctrl+A selects nothing in 编辑框1", selected_nothing,
                 f"text {edit['text']!r}, selection {edit['selection']}")
    report.check("the About box is owned by the main window", box["owner"] == window["hwnd"],
                 f"owner {box['owner']}, main window {window['hwnd']}")
    report.check("the About box has two lines of text", len(text.replace("\r\n", "\n").split("\n")) == 2,
                 repr(text))
    close_box(gui, report, ABOUT_CAPTION, "the About box")
    window = gui.main_until(lambda w: w["foreground"] and w["focus_name"] == "编辑框1")
    report.check("the main window has the focus back in 编辑框1 after the About box",
                 window["foreground"] and window["focus_name"] == "编辑框1",
                 f"foreground={window['foreground']} focus {window['focus_name']}")

    # The menu by keyboard: F10 opens the menu bar on "文件", Right moves to
    # "帮助", Enter opens it and Enter chooses its one item "关于".
    gui.keys("F10", "Right", "Return", "Return")
    box, _ = message_box(gui, ABOUT_CAPTION)
    report.check("帮助 > 关于 in the menu opens the About box", box is not None)
    if box is not None:
        close_box(gui, report, ABOUT_CAPTION, "the About box opened from the menu")


def check_folder_browser(gui, report):
    before = gui.main()
    texts = (before["named"]["编辑框1"]["text"], before["named"]["编辑框2"]["text"])
    for label, action in (("按钮1 \"...\"", lambda: gui.click(before, "按钮1")), ("Ctrl+O", lambda: gui.keys("ctrl+o"))):
        action()
        found, boxes = gui.find(text=BROWSER_TITLE, wait=10)
        report.check(f"{label} opens the folder browser showing {BROWSER_TITLE!r}", found,
                     "no window shows that text")
        if not found:
            continue
        report.check(f"the folder browser from {label} is owned by the main window",
                     boxes[0]["owner"] == before["hwnd"], f"owner {boxes[0]['owner']}")
        gui.keys("Escape")
        gone, _ = gui.find(text=BROWSER_TITLE, wait=5, gone=True)
        report.check(f"Esc cancels the folder browser from {label}", gone)
        if not gone:
            gui.inspect("press", "--text", BROWSER_TITLE, "--id", "2")
            gui.find(text=BROWSER_TITLE, wait=5, gone=True)
        after = gui.main()
        report.check(f"cancelling the browser from {label} leaves both path boxes as they were",
                     (after["named"]["编辑框1"]["text"], after["named"]["编辑框2"]["text"]) == texts,
                     f"{after['named']['编辑框1']['text']!r}, {after['named']['编辑框2']['text']!r}")
        report.check(f"the main window is still there after the browser from {label}", after["foreground"],
                     "not in the foreground")


def make_tree(root):
    """A small tree with GBK names, one entry or several per directory."""
    target = os.path.join(root, "目录树")
    os.makedirs(os.path.join(target, "子目录", "深层"), exist_ok=True)
    os.makedirs(os.path.join(target, "空目录"), exist_ok=True)
    with open(os.path.join(target, "a.txt"), "wb") as f:
        f.write(b"x" * 100)
    with open(os.path.join(target, "说明.txt"), "wb") as f:
        f.write(b"y" * 2049)
    with open(os.path.join(target, "子目录", "数据.bin"), "wb") as f:
        f.write(b"\0" * 5000)
    with open(os.path.join(target, "子目录", "深层", "文件.txt"), "wb") as f:
        f.write(b"z")
    return target


def cli_report(gui, target_win, out_path):
    """dirtree-cli's report with the window's default settings, in the same prefix."""
    if os.path.exists(out_path):
        os.remove(out_path)
    subprocess.run(gui.wine_command(gui.args.cli, "--annotate", "size", "--pad", "12", target_win, "-o",
                                    windows_path(out_path)), check=True, timeout=120,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(out_path, "rb") as f:
        return f.read()


def set_path_boxes(gui, target_win, report_win):
    window = gui.main()
    for name, text in (("编辑框1", target_win), ("编辑框2", report_win)):
        if window["named"][name]["text"]:
            gui.clear_box(window, name)
        gui.click(window, name)
        gui.type_into(name, text)


def require_short(*paths):
    """The program takes paths of up to 259 bytes (GBK), a folder's listing
    pattern "\\*" included: a test tree under a deeper build folder would
    test that limit instead of what the check is for."""
    for path in paths:
        length = len(windows_path(path).encode("gbk")) + 2
        if length > 259:
            raise Failure(f"the build folder is too deep for this check: {windows_path(path)!r} needs "
                          f"{length} bytes, over the 259 the program takes")


def check_report(gui, report, work):
    target = make_tree(work)
    target_win = windows_path(target)
    report_path = os.path.join(work, "报告.txt")
    require_short(os.path.join(target, "子目录", "深层", "文件.txt"), report_path)
    set_path_boxes(gui, target_win, windows_path(report_path))
    window = gui.main()
    report.check("编辑框1 and 编辑框2 hold the typed paths",
                 window["named"]["编辑框1"]["text"] == target_win
                 and window["named"]["编辑框2"]["text"] == windows_path(report_path),
                 f"{window['named']['编辑框1']['text']!r}, {window['named']['编辑框2']['text']!r}")

    gui.click(window, "按钮3")
    box, text = message_box(gui, "信息：", wait=30)
    report.check("clicking 开始 shows the box 信息： with 完成", box is not None and text == "完成",
                 f"box text {text!r}" if box else "no box captioned 信息：")
    if box is not None:
        report.check("the 完成 box has no owner", box["owner"] == 0, f"owner {box['owner']}")
        close_box(gui, report, "信息：", "the 完成 box")

    if not os.path.exists(report_path):
        report.check("the report file is written", False, f"{report_path} does not exist")
        return
    with open(report_path, "rb") as f:
        written = f.read()
    expected = cli_report(gui, target_win, os.path.join(work, "cli.txt"))
    report.check("the report equals dirtree-cli's report of the same tree byte for byte", written == expected,
                 first_difference(written, expected))
    report.check("the report's first line is the target as typed, in GBK, with CR LF",
                 written.startswith(target_win.encode("gbk") + b"\r\n"), repr(written[:80]))


def first_difference(a, b):
    lines_a, lines_b = a.split(b"\r\n"), b.split(b"\r\n")
    for i, (x, y) in enumerate(zip(lines_a, lines_b)):
        if x != y:
            return f"line {i + 1}: window {x.decode('gbk', 'replace')!r}, cli {y.decode('gbk', 'replace')!r}"
    return f"{len(lines_a)} lines against {len(lines_b)}"


def check_missing_target(gui, report, work):
    report_path = os.path.join(work, "报告.txt")
    before = open(report_path, "rb").read() if os.path.exists(report_path) else None
    stamp = os.stat(report_path).st_mtime_ns if before is not None else None
    missing_win = windows_path(os.path.join(work, "不存在的目录"))
    window = gui.main()
    gui.clear_box(window, "编辑框1")
    gui.click(window, "编辑框1")
    gui.type_into("编辑框1", missing_win)
    gui.click(gui.main(), "按钮3")
    box, text = message_box(gui, "错误", wait=30)
    expected = "目标目录不存在：" + missing_win
    report.check("a missing target shows the box 错误 with 目标目录不存在：<target>",
                 box is not None and text == expected,
                 f"box text {text!r}" if box else "no box captioned 错误")
    if box is not None:
        close_box(gui, report, "错误", "the error box")
    _, info = gui.find(caption="信息：")
    report.check("a missing target shows no 完成 box", not info)
    if info:
        close_box(gui, report, "信息：", "the 完成 box")
    after = open(report_path, "rb").read() if os.path.exists(report_path) else None
    report.check("a missing target leaves the report file untouched",
                 after == before and (stamp is None or os.stat(report_path).st_mtime_ns == stamp),
                 "the report file changed")


def check_escape(gui, report, process, label):
    window = gui.main()
    gui.click(window, "编辑框3")
    gui.keys("Escape")
    try:
        code = process.wait(timeout=15)
        report.check(f"Esc ends {label} with exit code 0", code == 0, f"exit code {code}")
    except subprocess.TimeoutExpired:
        report.check(f"Esc ends {label} with exit code 0", False, "the process is still running")


def check_close_box(gui, report, process, label):
    code, hit = gui.inspect("hit", "--caption", MAIN_CAPTION, "--code", "20")  # HTCLOSE
    if not report.check("the window has a close box in its title bar", code == 0 and hit.get("found"), repr(hit)):
        return
    gui.focus_desktop()
    gui.xdotool("mousemove", str(hit["x"]), str(hit["y"]), "click", "1")
    try:
        code = process.wait(timeout=15)
        report.check(f"the close box ends {label} with exit code 0", code == 0, f"exit code {code}")
    except subprocess.TimeoutExpired:
        report.check(f"the close box ends {label} with exit code 0", False, "the process is still running")


def check_drops(gui, report):
    # The program ignores a dropped path over 259 bytes, so the dropped
    # folders live on drive C:, not under the build folder.
    work = short_folder("drops")
    target = make_tree(work)
    other = os.path.join(work, "另一个")
    os.makedirs(other, exist_ok=True)
    code, desktop = gui.inspect("desktop")
    desktop_path = desktop.get("desktop", "")
    report.check("the desktop folder is known", code == 0 and desktop_path, repr(desktop))
    list_path = os.path.join(work, "drop.txt")

    def drop(*paths):
        with open(list_path, "w", encoding="utf-8") as f:
            f.write("".join(p + "\n" for p in paths))
        code, answer = gui.inspect("drop", "--caption", MAIN_CAPTION, "--list", windows_path(list_path))
        if code != 0 or answer.get("items") != len(paths):
            raise Failure(f"the test hook did not take the drop: {answer}")
        return gui.main()

    def boxes(window):
        return window["named"]["编辑框1"]["text"], window["named"]["编辑框2"]["text"]

    window = drop(windows_path(target))
    want = (windows_path(target), desktop_path + "\\目录树.TXT")
    report.check("a dropped folder sets 编辑框1 to it and 编辑框2 to desktop\\name.TXT", boxes(window) == want,
                 f"got {boxes(window)}, want {want}")
    end = len(window["named"]["编辑框1"]["text"])
    report.check("a dropped folder puts the caret of 编辑框1 at the end",
                 window["named"]["编辑框1"]["selection"] == [end, end],
                 f"selection {window['named']['编辑框1']['selection']}, text length {end}")

    window = drop(windows_path(os.path.join(target, "a.txt")))
    report.check("a dropped file changes neither box", boxes(window) == want, f"got {boxes(window)}")

    window = drop(windows_path(other), windows_path(os.path.join(target, "说明.txt")), windows_path(target))
    report.check("of several dropped items the last folder is what remains", boxes(window) == want,
                 f"got {boxes(window)}")

    window = drop(windows_path(target), windows_path(other))
    want_other = (windows_path(other), desktop_path + "\\另一个.TXT")
    report.check("a later folder of the same drop overwrites both boxes", boxes(window) == want_other,
                 f"got {boxes(window)}, want {want_other}")


def check_relative_report_path(gui, report, program_folder, start_folder):
    target_win = windows_path(start_folder)
    set_path_boxes(gui, target_win, "tree.txt")
    gui.click(gui.main(), "按钮3")
    box, text = message_box(gui, "信息：", wait=30)
    report.check("started from another folder, 开始 with the report path tree.txt shows 完成",
                 box is not None and text == "完成", f"box text {text!r}" if box else "no box captioned 信息：")
    if box is not None:
        close_box(gui, report, "信息：", "the 完成 box")
    in_program_folder = os.path.join(program_folder, "tree.txt")
    in_start_folder = os.path.join(start_folder, "tree.txt")
    report.check("the relative report path tree.txt lands next to dirtree.exe, not in the folder it was started from",
                 os.path.exists(in_program_folder) and not os.path.exists(in_start_folder),
                 f"next to dirtree.exe: {os.path.exists(in_program_folder)}, "
                 f"in the start folder: {os.path.exists(in_start_folder)}")
    if os.path.exists(in_program_folder):
        with open(in_program_folder, "rb") as f:
            written = f.read()
        report.check("that report's first line is the target, in GBK, with CR LF",
                     written.startswith(target_win.encode("gbk") + b"\r\n"), repr(written[:80]))


def icon_colour(gui, box):
    """The mean red, green and blue (0 to 1) of the icon a message box shows,
    or None when it shows none."""
    icon = next((c for c in box["controls"] if c["class"].lower() == "static" and c["visible"]
                 and int(c["style"], 16) & 0x1F == 0x3), None)  # SS_ICON
    if icon is None:
        return None
    x, y, w, h = icon["rect"]
    x += box["client"][0]
    y += box["client"][1]
    path = os.path.join(gui.args.out, "fatal_icon.png")
    subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path],
                   check=True, timeout=30, capture_output=True)
    measured = subprocess.run(["identify", "-format", "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]", path],
                              capture_output=True, text=True, timeout=30).stdout.split()
    return tuple(float(v) for v in measured) if len(measured) == 3 else None


def check_memory_failure(gui, report, process):
    window = gui.main()
    gui.clear_box(window, "编辑框5")
    gui.click(window, "编辑框5")
    gui.type_into("编辑框5", "2000000000")
    gui.click(gui.main(), "按钮3")
    box, text = message_box(gui, "错误", wait=30)
    expected = "运行时出错!\r\n\r\n错误信息：分配 2000000001 字节内存失败!\r\n"
    report.check("padding 2000000000 shows the box 错误 with 运行时出错! and 分配 2000000001 字节内存失败!",
                 box is not None and text == expected,
                 f"box text {text!r}, want {expected!r}" if box else "no box captioned 错误")
    if box is None:
        return
    report.check("the fatal error box has no owner", box["owner"] == 0, f"owner {box['owner']}")
    # The error icon is the red one: the warning icon is yellow, the
    # information and question icons blue.
    colour = icon_colour(gui, box)
    report.check("the fatal error box shows the error icon", colour is not None
                 and colour[0] > colour[1] + 0.15 and colour[0] > colour[2] + 0.15,
                 f"mean red, green, blue of the icon {colour}" if colour else "no icon")
    gui.keys("Return")
    try:
        code = process.wait(timeout=15)
        report.check("Enter on the fatal error box ends dirtree.exe with exit code 255 (-1)", code == 255,
                     f"exit code {code}")
    except subprocess.TimeoutExpired:
        _, still = gui.find(caption="错误")
        report.check("Enter on the fatal error box ends dirtree.exe with exit code 255 (-1)", False,
                     "the process is still running" + (", the box is still there" if still else ""))


def start(gui, exe, log_name, cwd=None):
    # A window of an earlier process that is still closing would be taken
    # for this one's.
    gui.find(caption=MAIN_CAPTION, wait=15, gone=True)
    log = open(os.path.join(gui.args.out, log_name), "wb")
    process = subprocess.Popen(gui.wine_command(exe), stdout=log, stderr=subprocess.STDOUT,
                               stdin=subprocess.DEVNULL, cwd=cwd)
    window = gui.window(wait=60)
    if window is None:
        process.kill()
        raise Failure(f"{os.path.basename(exe)} shows no window captioned {MAIN_CAPTION!r}")
    # The window shows before it has the focus; wait until it has.
    poll(gui.main, lambda w: w["foreground"] and w["focus"] != 0, 5.0)
    return process


def start_elsewhere(gui, exe):
    """A copy of dirtree.exe in a folder of its own, started with another
    folder as the current one, so a report that a relative path puts in the
    wrong place cannot land next to the build's program. Answers the process,
    the program's folder and the start folder."""
    # On drive C:, where the program's folder stays short enough (under
    # MAX_PATH) to be made the current folder, however deep the build is.
    scratch = short_folder("elsewhere")
    program_folder = os.path.join(scratch, "程序目录")
    start_folder = os.path.join(scratch, "start")
    os.makedirs(program_folder)
    os.makedirs(start_folder)
    # An entry to list: padding is only allocated for an annotated line.
    with open(os.path.join(start_folder, "a.txt"), "wb") as f:
        f.write(b"x")
    copy = os.path.join(program_folder, "dirtree.exe")
    shutil.copyfile(exe, copy)
    return start(gui, copy, "dirtree-elsewhere.log", cwd=start_folder), program_folder, start_folder


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--hook-exe")
    parser.add_argument("--inspect", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--locale", default="zh_CN.UTF-8")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    work = os.path.join(args.out, "trees")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    gui = Gui(args)
    report = Report()
    try:
        process = start(gui, args.exe, "dirtree.log")
    except Failure as error:
        report.check("dirtree.exe starts", False, str(error))
        process = None
    if process is not None:
        report.run("layout", lambda: check_layout(gui, report))
        report.run("screenshot", lambda: check_screenshot(gui, report))
        report.run("keyboard", lambda: check_keyboard(gui, report))
        report.run("folder browser", lambda: check_folder_browser(gui, report))
        report.run("report", lambda: check_report(gui, report, work))
        report.run("missing target", lambda: check_missing_target(gui, report, work))
        report.run("About box", lambda: check_about(gui, report))
        report.run("Esc", lambda: check_escape(gui, report, process, "dirtree.exe"))
        if process.poll() is None:
            process.kill()

    if args.hook_exe:
        try:
            process = start(gui, args.hook_exe, "dirtree-testhook.log")
        except Failure as error:
            report.check("dirtree-testhook.exe starts", False, str(error))
            process = None
        if process is not None:
            report.run("drops", lambda: check_drops(gui, report))
            report.run("close box", lambda: check_close_box(gui, report, process, "dirtree-testhook.exe"))
            if process.poll() is None:
                process.kill()

    try:
        process, program_folder, start_folder = start_elsewhere(gui, args.exe)
    except Failure as error:
        report.check("a copy of dirtree.exe started from another folder starts", False, str(error))
        process = None
    if process is not None:
        report.run("relative report path",
                   lambda: check_relative_report_path(gui, report, program_folder, start_folder))
        report.run("memory failure", lambda: check_memory_failure(gui, report, process))
        if process.poll() is None:
            process.kill()

    print(f"{report.passed} passed, {report.failed} failed", flush=True)
    return 1 if report.failed else 0


if __name__ == "__main__":
    sys.exit(main())
