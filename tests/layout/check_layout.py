#!/usr/bin/env python3
"""Fails when code outside app/ includes more of app/ than its public surface, or
when a program source file grows past 800 lines.

The subsystem folders may include the string table, the resource module, the
settings record, the message pump, the debug string and the resource files in
app/res/. The console tool shares the engine with the program and may also use
the settings file, the CPU sampler, the plug-in loader and the language files.
Tests and benchmarks may include anything."""
import os
import re
import sys

PUBLIC = {
    "app/menus/StringTable.h",
    "app/language/ResourceModule.h",
    "app/settings/UserSettings.h",
    "app/startup/MessagePump.h",
    "app/startup/ClDebugString.h",
}
CONSOLE_TOOL = PUBLIC | {
    "app/settings/UserSettingsFile.h",
    "app/cpugraph/CpuUsageSampler.h",
    "app/pluginhost/PluginLoader.h",
    "app/language/HelpFile.h",
    "app/language/LanguageModuleList.h",
}
CHECKED = ("sysinfo", "image", "report", "views", "tools", "launchers", "controls", "sysutils", "gdiutils", "cli")
SOURCE = (".cpp", ".h", ".c", ".rc", ".rc2")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def app_path(including, name, root):
    """The include as a path from the root when it lands in app/, else None."""
    for base in (os.path.dirname(including), ""):
        path = os.path.normpath(os.path.join(base, name))
        if os.path.exists(os.path.join(root, path)):
            return path if path.startswith("app" + os.sep) else None
    return None


def violations(root):
    found = []
    for folder in CHECKED:
        allowed = CONSOLE_TOOL if folder == "cli" else PUBLIC
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if not name.endswith(SOURCE):
                    continue
                full = os.path.join(directory, name)
                relative = os.path.relpath(full, root)
                with open(full, encoding="latin-1") as source:
                    text = source.read()
                for included in INCLUDE.findall(text):
                    target = app_path(relative, included, root)
                    if target and target not in allowed and not target.startswith("app/res/"):
                        found.append("%s includes %s" % (relative, target))
    return found


# Program sources stay readable: split a file by responsibility before it grows past this.
MAX_LINES = 800
PROGRAM = ("app", "sysinfo", "image", "report", "views", "tools", "launchers", "controls", "sysutils", "gdiutils", "cli")


def long_files(root):
    found = []
    for folder in PROGRAM:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if name.endswith((".cpp", ".h", ".c")):
                    full = os.path.join(directory, name)
                    with open(full, encoding="latin-1") as source:
                        count = sum(1 for _ in source)
                    if count > MAX_LINES:
                        found.append("%s has %d lines (at most %d)" % (os.path.relpath(full, root), count, MAX_LINES))
    return found


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    found = violations(root) + long_files(root)
    for line in found:
        print(line)
    if found:
        print("%d finding(s): includes of app/ beyond its public surface or files too long (see docs/developers.md)"
              % len(found))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
